#pragma once

#include "Platform/UserAccount.h"

#include <cups/backend.h>

#include <string>

// The start-up steps of the CUPS backend hook before it handles the job:
// checking the preferences and making sure that the job owner's client runs,
// starting the owner's client agent and waiting for its socket when it does
// not.

// The exit status when the preferences are incomplete: CUPS stops the queue
// and keeps its jobs until the administrator has completed them.
inline constexpr int IncompleteSettingsStatus = CUPS_BACKEND_STOP;

// The job owner's data folder, where the client caches its settings; passed
// on to the job handling once the client check ran. Taken from the owner's
// home folder in the password database, never from the hook's environment;
// an empty text for a user the database does not know.
std::string HookCacheFolder(const char* userName);

// True only when the preference domain holds every required key.
bool ValidateSettings();

// Makes sure the user's client runs; false only without a user name. A client
// whose start failed, or that ended right after it, is not waited for; one
// that never comes up is caught later, when the connection fails.
bool ValidateClientStatus(const char* userName);

// The status of the process check: 0 when the user's client process runs.
int CheckForClientProcess(const Platform::UserAccount& user);

// Restarts the user's client agent and gives it time to start; the status of
// the start, not waited on when it is not 0.
int LaunchClientApplication(const Platform::UserAccount& user);

// Waits for the user's socket file; true once it is there.
bool PingSocketFile(const char* userName);

// Whether the user's socket file exists now.
bool CheckForSocketFile(const char* userName);
