#pragma once

#include "Common/StringFormat.h"
#include "CoreLogger/Logger.h"

#include <string>
#include <utility>

// The log lines of one component, formatted printf-style:
//     using Log = ComponentLog<LogComponents::CoreMessaging>;
//     Log::Debug("socket: %s", path);
template <LogComponents Component>
struct ComponentLog {
    // Whether debug lines are written now (Logger::IsDebugLoggingEnabled).
    static bool DebugEnabled() { return Logger::IsDebugLoggingEnabled(); }

    // Writes one debug line.
    template <typename... Args>
    static void Debug(std::string format, Args&&... args)
    {
        Logger::Log_Debug(Component, stringFormat(std::move(format), std::forward<Args>(args)...));
    }

    // Writes one information line.
    template <typename... Args>
    static void Info(std::string format, Args&&... args)
    {
        Logger::Log_Info(Component, stringFormat(std::move(format), std::forward<Args>(args)...));
    }

    // Writes one error line.
    template <typename... Args>
    static void Error(std::string format, Args&&... args)
    {
        Logger::Log_Error(Component, stringFormat(std::move(format), std::forward<Args>(args)...));
    }
};
