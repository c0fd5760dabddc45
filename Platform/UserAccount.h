#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace Platform {

// One entry of the password database.
struct UserAccount {
    std::string name;
    std::string home;  // as the password database gives it, not moved under the root
    uid_t uid = 0;
    gid_t gid = 0;
};

// The account of the process's effective user. Never taken from $USER, $HOME
// or getlogin(): under CUPS those describe somebody else or nobody. The entry
// is remembered while the effective user id stays the same.
std::optional<UserAccount> CurrentUser();

std::optional<UserAccount> LookupUser(std::string_view name);
std::optional<UserAccount> LookupUser(uid_t uid);

// The user's home folder under the current filesystem root.
std::string HomeFolder(const UserAccount& account);

// The effective user's login name, or an empty text when it has no entry.
std::string CurrentUserName();

// The effective user's home folder under the root, or an empty text.
std::string CurrentHomeFolder();

}  // namespace Platform
