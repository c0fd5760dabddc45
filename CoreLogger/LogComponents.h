#pragma once

// The component that writes a log line; its text is written into the line.
enum class LogComponents : int {
    ConfigGeneral = 0,
    HookGeneral = 1,
    BackcheckGeneral = 2,
    CoreGeneral = 3,
    CoreMessaging = 4,
    CoreCups = 5,
    CoreSettings = 6,
    CoreRawPrint = 7,
    CoreClientCommunication = 8,
    CoreJobHandling = 9,
    ClientGeneral = 10,
    ClientUserInterface = 11,
    UninstallerGeneral = 12,
    CommonGeneral = 13,
    ParsetestGeneral = 14,
    Secure = 16,
    Memory = 17,
};
