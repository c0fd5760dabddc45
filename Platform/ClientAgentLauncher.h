#pragma once

#include "Platform/UserAccount.h"

#include <string>
#include <string_view>

namespace Platform {

// Starts and stops a user's client agent: a systemd user unit in that user's
// own service manager, the counterpart of a per-user launch agent. The CUPS
// backend runs as root, so the systemctl that talks to the user's manager is
// run with the user's ids, groups and runtime folder (as runuser would, with
// no login session of its own); a process that is neither root nor that user
// cannot start another user's agent.
//
// The environment variable CVK_CLIENT_LAUNCHER replaces systemctl: an
// absolute program path, run as "<program> stop|start <unit> <user name>"
// with the user's ids and this process's own environment. Tests use it; in
// production the variable is unset (a backend's environment is what cupsd
// gives it, set by the administrator in cups-files.conf).
class ClientAgentLauncher {
public:
    static constexpr const char* LauncherVariable = "CVK_CLIENT_LAUNCHER";
    static constexpr const char* SystemctlPath = "/usr/bin/systemctl";

    explicit ClientAgentLauncher(std::string unitName);

    // Stops the user's agent unit; the exit status of the command (1 when it
    // could not run or did not exit normally).
    int Stop(const UserAccount& user) const;

    // Starts the user's agent unit; the exit status as for Stop.
    int Start(const UserAccount& user) const;

private:
    int mRun(const UserAccount& user, std::string_view action) const;

    std::string mstrUnitName;
};

}  // namespace Platform
