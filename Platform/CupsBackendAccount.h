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

// How cupsd, running as root, would run a program as a backend.
enum class BackendRights {
    Root,      // no execute or write bits for others, nor write bits for the group
    CupsUser,  // others may execute it: CUPS's user and group
    Refused,   // cupsd would not run it at all
};

struct BackendVerdict {
    BackendRights rights = BackendRights::Refused;
    std::string why;  // for a refusal: the reason, naming the file or folder
};

// cupsd's own checks of a backend before it runs one: the program, after
// its links, is a regular file that belongs to root and that neither its
// group nor others may write, without the set-user-ID bit; the folder it is
// named in belongs to root and only root may write in it. Beyond cupsd,
// every folder above it and above what its links lead to must be root's and
// writable by root alone (a root-owned folder with the sticky bit, as /tmp,
// excepted, since no one else can replace root's entries there). A program
// that cannot be checked (stat fails) is refused.
BackendVerdict JudgeBackend(const std::string& path);

}  // namespace Platform
