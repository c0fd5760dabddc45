#include "Client/CanLaunch.h"

#include "Common/SettingsManager.h"
#include "CoreLogger/Logger.h"

#include <cstdio>

bool CanLaunch()
{
    SettingsManager settings;
    if (settings.LoadSettings())
        return true;
    static constexpr const char* kReason =
        "Configuration incomplete, client URL not set. Unable to start Quorvel Client. Launch the "
        "Quorvel Configuration app to complete the configuration and try again.";
    Logger::Log_Error(LogComponents::ClientUserInterface, kReason);
    // Also where the user unit's journal keeps it, for an administrator who
    // looks there (journalctl --user -u quorvel-client).
    std::fprintf(stderr, "%s\n", kReason);
    return false;
}
