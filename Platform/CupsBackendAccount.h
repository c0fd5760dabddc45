#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

namespace Platform {

// The user and group that cupsd runs backends as when others may execute
// them: `User` and `Group` of cups-files.conf (in the folder CUPS_SERVERROOT
// names, as cupsd tells its backends, else /etc/cups under the filesystem
// root), each a name or a number, "lp" when the file does not say.
struct CupsBackendAccount {
    uid_t uid = 0;
    gid_t gid = 0;
};

// The account, or nothing with the reason in why (a user or group that the
// system does not know, or root, which would be no lowering at all).
std::optional<CupsBackendAccount> LookupCupsBackendAccount(std::string& why);

}  // namespace Platform
