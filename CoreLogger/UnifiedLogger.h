#pragma once

#include "CoreLogger/ICoreLogger.h"

namespace CoreLogger {

// A logger that writes nothing; only the factory's flag selects it.
class UnifiedLogger : public ICoreLogger {
public:
    void LogMessage(LogComponents, std::string) override {}
    void LogMessageDebug(LogComponents, std::string) override {}
    void LogMessageError(LogComponents, std::string) override {}
};

}  // namespace CoreLogger
