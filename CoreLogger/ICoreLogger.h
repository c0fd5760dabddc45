#pragma once

#include "CoreLogger/LogComponents.h"

#include <string>

namespace CoreLogger {

class ICoreLogger {
public:
    virtual ~ICoreLogger() = default;
    virtual void LogMessage(LogComponents component, std::string message) = 0;
    virtual void LogMessageDebug(LogComponents component, std::string message) = 0;
    virtual void LogMessageError(LogComponents component, std::string message) = 0;
};

}  // namespace CoreLogger
