#pragma once

#include "Platform/UserAccount.h"

#include <string>

namespace Platform {

// The folders the programs keep their files in, named by what they hold. Each
// has one home on Linux; every path of the system is built from this table so
// that a package and an administrator find the files where Debian keeps such
// things. Paths hang from the movable filesystem root.
enum class Folder {
    SystemPreferences,  // "/etc/quorvel": the administrator's preference files
    UserPreferences,    // "$XDG_CONFIG_HOME/quorvel": the user's preference files
    SystemLogs,         // "/var/log/quorvel": logs of programs run as root
    UserLogs,           // "$XDG_STATE_HOME/quorvel": the user's logs
    UserData,           // "$XDG_DATA_HOME/quorvel": job cache, stored jobs, settings cache
    UserCache,          // "$XDG_CACHE_HOME/quorvel": custom-field cache
    SystemData,         // "/var/lib/quorvel": secure-release copies, parser dumps
    SystemSpool,        // "/var/spool/quorvel"
    Install,            // "/usr/lib/quorvel": the installed programs and their resources
};

// Where a folder lives for the process's own user. The user's folders follow
// the XDG base-directory variables when they hold absolute paths, otherwise
// the defaults under the home folder (~/.config, ~/.local/state, ~/.local/share,
// ~/.cache). An empty text when a user folder is asked for and the effective
// user has no entry in the password database.
std::string FolderPath(Folder folder);

// Where a folder lives for another user, as a program running as root (the
// hook) sees it: the user's folders under the home folder that the password
// database gives, never the running process's XDG variables. System folders
// are the same for every user.
std::string FolderPathFor(Folder folder, const UserAccount& user);

}  // namespace Platform
