#include "CoreLogger/ComponentMapper.h"

namespace CoreLogger {

std::string ComponentMapper::MapComponents(LogComponents component)
{
    switch (component) {
    case LogComponents::ConfigGeneral: return "Config, General";
    case LogComponents::HookGeneral: return "Hook, General";
    case LogComponents::BackcheckGeneral: return "Backcheck, General";
    case LogComponents::CoreGeneral: return "Core, General";
    case LogComponents::CoreMessaging: return "Core, Messaging";
    case LogComponents::CoreCups: return "Core, CUPS";
    case LogComponents::CoreSettings: return "Core, Settings";
    case LogComponents::CoreRawPrint: return "Core, Raw Print";
    case LogComponents::CoreClientCommunication: return "Core, Client Communication";
    case LogComponents::CoreJobHandling: return "Core, Job Handling";
    case LogComponents::ClientGeneral: return "Client, General";
    case LogComponents::ClientUserInterface: return "Client, User Interface";
    case LogComponents::UninstallerGeneral: return "Uninstaller, General";
    case LogComponents::CommonGeneral: return "Common, General";
    case LogComponents::ParsetestGeneral: return "Parsetest, General";
    case LogComponents::Secure: return "Secure";
    case LogComponents::Memory: return "Memory, Memory";
    }
    return "General";
}

}  // namespace CoreLogger
