#include "Platform/UserAccount.h"

#include "Platform/FileSystemRoot.h"

#include <cerrno>
#include <mutex>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace Platform {
namespace {

// Runs one reentrant password-database query, growing its buffer on ERANGE.
template <typename Query>
std::optional<UserAccount> QueryPasswd(Query query)
{
    long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(hint > 0 ? static_cast<size_t>(hint) : 1024);
    for (;;) {
        passwd entry{};
        passwd* found = nullptr;
        int rc = query(&entry, buffer.data(), buffer.size(), &found);
        if (rc == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (rc != 0 || found == nullptr)
            return std::nullopt;
        UserAccount account;
        account.name = entry.pw_name ? entry.pw_name : "";
        account.home = entry.pw_dir ? entry.pw_dir : "";
        account.uid = entry.pw_uid;
        account.gid = entry.pw_gid;
        return account;
    }
}

}  // namespace

std::optional<UserAccount> LookupUser(uid_t uid)
{
    return QueryPasswd([uid](passwd* e, char* b, size_t n, passwd** r) { return getpwuid_r(uid, e, b, n, r); });
}

std::optional<UserAccount> LookupUser(std::string_view name)
{
    std::string key(name);
    if (key.empty())
        return std::nullopt;
    return QueryPasswd(
        [&key](passwd* e, char* b, size_t n, passwd** r) { return getpwnam_r(key.c_str(), e, b, n, r); });
}

std::optional<UserAccount> CurrentUser()
{
    // Every log line asks for the user, and a password-database query reads
    // the whole database: the entry is kept for as long as the effective
    // user stays the same. The lock is only tried, so that a child forked
    // while another thread held it looks the user up itself instead of
    // waiting for ever.
    static std::mutex mutex;
    static std::optional<UserAccount> held;
    uid_t uid = geteuid();
    {
        std::unique_lock lock(mutex, std::try_to_lock);
        if (lock.owns_lock() && held && held->uid == uid)
            return held;
    }
    auto account = LookupUser(uid);
    if (account) {
        std::unique_lock lock(mutex, std::try_to_lock);
        if (lock.owns_lock())
            held = account;
    }
    return account;
}

std::string HomeFolder(const UserAccount& account)
{
    return HostPath(account.home);
}

std::string CurrentUserName()
{
    auto account = CurrentUser();
    return account ? account->name : std::string();
}

std::string CurrentHomeFolder()
{
    auto account = CurrentUser();
    return account ? HomeFolder(*account) : std::string();
}

}  // namespace Platform
