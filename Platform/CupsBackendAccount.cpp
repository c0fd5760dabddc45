#include "Platform/CupsBackendAccount.h"

#include "Platform/FileSystemRoot.h"
#include "Platform/UserAccount.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <grp.h>
#include <strings.h>
#include <vector>

namespace Platform {
namespace {

constexpr const char* kCupsServerRoot = "/etc/cups";
constexpr const char* kDefaultName = "lp";

// cups-files.conf in the folder that cupsd names to its backends
// (CUPS_SERVERROOT), or in CUPS's own folder under the filesystem root.
std::string CupsFilesConf()
{
    const char* serverRoot = std::getenv("CUPS_SERVERROOT");
    std::string folder = serverRoot != nullptr && serverRoot[0] == '/' ? serverRoot : HostPath(kCupsServerRoot);
    return folder + "/cups-files.conf";
}

// The value of a directive of cups-files.conf, whose names cupsd reads
// without regard to case; the last line that sets it wins, as in cupsd.
std::string DirectiveValue(const std::string& conf, const char* directive)
{
    std::ifstream file(conf);
    std::string line;
    std::string value = kDefaultName;
    while (std::getline(file, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        size_t end = line.find_first_of(" \t", start);
        if (end == std::string::npos)
            continue;
        std::string name = line.substr(start, end - start);
        if (strcasecmp(name.c_str(), directive) != 0)
            continue;
        size_t valueStart = line.find_first_not_of(" \t", end);
        size_t valueEnd = line.find_last_not_of(" \t\r");
        if (valueStart != std::string::npos)
            value = line.substr(valueStart, valueEnd - valueStart + 1);
    }
    return value;
}

// A number given in place of a name.
std::optional<unsigned long> Number(const std::string& text)
{
    unsigned long number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

std::optional<gid_t> LookupGroup(const std::string& name)
{
    if (auto number = Number(name))
        return static_cast<gid_t>(*number);
    std::vector<char> buffer(4096);
    for (;;) {
        group entry{};
        group* found = nullptr;
        int rc = getgrnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found);
        if (rc == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (rc != 0 || found == nullptr)
            return std::nullopt;
        return entry.gr_gid;
    }
}

}  // namespace

std::optional<CupsBackendAccount> LookupCupsBackendAccount(std::string& why)
{
    const std::string conf = CupsFilesConf();
    std::string userName = DirectiveValue(conf, "User");
    std::string groupName = DirectiveValue(conf, "Group");
    CupsBackendAccount account;
    if (auto number = Number(userName)) {
        account.uid = static_cast<uid_t>(*number);
    } else if (auto user = LookupUser(userName)) {
        account.uid = user->uid;
    } else {
        why = "CUPS's user " + userName + " is not known to the system";
        return std::nullopt;
    }
    auto gid = LookupGroup(groupName);
    if (!gid) {
        why = "CUPS's group " + groupName + " is not known to the system";
        return std::nullopt;
    }
    account.gid = *gid;
    if (account.uid == 0 || account.gid == 0) {
        why = "CUPS's user and group for backends must not be root's";
        return std::nullopt;
    }
    return account;
}

}  // namespace Platform
