#include "Client/CanLaunch.h"

#include "Common/SettingsManager.h"
#include "CoreLogger/Logger.h"

bool CanLaunch()
{
    SettingsManager settings;
    if (settings.LoadSettings())
        return true;
    Logger::Log_Error(LogComponents::ClientUserInterface,
                      "Configuration incomplete, client URL not set. Unable to start Quorvel Client. Launch the "
                      "Quorvel Configuration app to complete the configuration and try again.");
    return false;
}
