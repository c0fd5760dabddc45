#pragma once

#include "CoreLogger/Logger.h"

#include <string>

// Brackets a function with its "*START*" and "*END*" debug lines: the start
// line when made, the end line when it leaves scope on any path.
class DebugScope {
public:
    DebugScope(LogComponents component, const char* name) : mComponent(component), mstrName(name)
    {
        Logger::Log_Debug_Start(mComponent, mstrName);
    }
    ~DebugScope() { Logger::Log_Debug_End(mComponent, mstrName); }
    DebugScope(const DebugScope&) = delete;
    DebugScope& operator=(const DebugScope&) = delete;

private:
    LogComponents mComponent;
    std::string mstrName;
};
