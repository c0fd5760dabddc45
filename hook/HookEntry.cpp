#include "hook/HookEntry.h"

#include "Common/SettingsManager.h"
#include "Common/StringFormat.h"
#include "CoreLogger/ComponentLog.h"
#include "Core/CVClientCommunication/SocketPlace.h"
#include "Platform/ClientAgentLauncher.h"
#include "Platform/ClientSocket.h"
#include "Platform/Folders.h"
#include "Platform/ProcessLookup.h"
#include "hook/HookTimings.h"
#include "hook/SchedulerMessages.h"

#include <string>

namespace {

constexpr auto kComponent = LogComponents::HookGeneral;
using Log = ComponentLog<kComponent>;

// The client program's process name and the user unit that starts it; both
// come from the build's CVK_CLIENT_PROGRAM.
constexpr const char* kClientProcessName = CVK_CLIENT_PROCESS_NAME;
constexpr const char* kClientUnitName = CVK_CLIENT_UNIT_NAME;

}  // namespace

bool ValidateSettings()
{
    SettingsManager settings;
    return settings.LoadSettings();
}

bool ValidateClientStatus(const char* userName)
{
    if (userName == nullptr || userName[0] == '\0') {
        Log::Error("No username provided for print job.");
        return false;
    }
    // A name the password database does not know has no client to wait for;
    // the connection then fails and the job is passed through.
    auto user = Platform::LookupUser(userName);
    if (!user) {
        Log::Error("Unknown user %s; no client can run for this user.", userName);
        return true;
    }
    // A start that failed at once (no user manager, no display for the
    // client) leaves nothing to wait for: the job goes the no-client way.
    if (CheckForClientProcess(*user) != 0) {
        if (LaunchClientApplication(*user) != 0) {
            Log::Error("The client of %s could not be started; the job goes on without it.", userName);
            return true;
        }
        // A client that ended right after its start (no display for it)
        // will not come either.
        if (CheckForClientProcess(*user) != 0 && !CheckForSocketFile(userName)) {
            Log::Error("The client of %s ended right after its start; the job goes on without it.", userName);
            return true;
        }
    }
    if (PingSocketFile(userName))
        Log::Debug("Client ready...");
    else
        PingSocketFile(userName);
    return true;
}

int CheckForClientProcess(const Platform::UserAccount& user)
{
    Log::Debug("First check for client running.");
    return Platform::IsProcessRunning(kClientProcessName, user.uid) ? 0 : 1;
}

int LaunchClientApplication(const Platform::UserAccount& user)
{
    Log::Debug("Client not running for user, Starting client...");
    SchedulerMessages::Info(stringFormat("Starting the Quorvel Client of %s.", user.name));
    Platform::ClientAgentLauncher launcher(kClientUnitName);
    Log::Debug("Stopping client agent returned: %d", launcher.Stop(user));
    int started = launcher.Start(user);
    if (started != 0)
        return started;
    Log::Debug("Waiting for client to start.");
    HookTimings::Sleep(HookTimings::ClientStartSeconds);
    return started;
}

bool PingSocketFile(const char* userName)
{
    if (CheckForSocketFile(userName))
        return true;
    for (int poll = 0; poll < HookTimings::SocketPolls; ++poll) {
        Log::Debug("Waiting for client to to be ready ....");
        HookTimings::Sleep(HookTimings::ClientStartSeconds);
        if (CheckForSocketFile(userName))
            return true;
    }
    return false;
}

// Looks at the same places as the connection will, in the same way: only a
// socket of the user's own (no link, no file of another user) counts.
bool CheckForSocketFile(const char* userName)
{
    auto user = Platform::LookupUser(userName != nullptr ? userName : "");
    if (!user)
        return false;
    for (const std::string& path : Platform::ClientSocketPaths(*user)) {
        SocketPlace::Found found = SocketPlace::Inspect(path, user->uid, "CheckForSocketFile", false);
        Log::Debug("stat(): %s, return value: %d", path, found == SocketPlace::Found::Nothing ? -1 : 0);
        if (found == SocketPlace::Found::OwnersSocket)
            return true;
    }
    return false;
}

std::string HookCacheFolder(const char* userName)
{
    auto user = userName != nullptr ? Platform::LookupUser(userName) : std::nullopt;
    return user ? Platform::FolderPathFor(Platform::Folder::UserData, *user) : std::string();
}
