#pragma once

#include "CoreLogger/LogComponents.h"

#include <string>

// The static entry points through which every deliverable logs. Each call
// builds a file logger, which reads the user, the log location and the debug
// switch at that moment, appends one line and is gone again.
class Logger {
public:
    static void Log(LogComponents component, std::string message);
    static void Log_Info(LogComponents component, std::string message);
    static void Log_Debug(LogComponents component, std::string message);
    static void Log_Error(LogComponents component, std::string message);
    static void Log_Debug_Start(LogComponents component, std::string name);
    static void Log_Debug_End(LogComponents component, std::string name);

    // Whether debug lines are written at this moment. A dump of many lines
    // asks once and is skipped when they would all be dropped: a dropped
    // line still costs a logger and a preference read.
    static bool IsDebugLoggingEnabled();
};
