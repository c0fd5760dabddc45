#pragma once

#include "CoreLogger/ICoreLogger.h"

#include <memory>

namespace CoreLogger {

class LoggerFactory {
public:
    // A silent logger when the flag is set, else the file logger.
    static std::unique_ptr<ICoreLogger> CreateLogger(bool unified);
};

}  // namespace CoreLogger
