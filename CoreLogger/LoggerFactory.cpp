#include "CoreLogger/LoggerFactory.h"

#include "CoreLogger/NonUnifiedLogger.h"
#include "CoreLogger/UnifiedLogger.h"

namespace CoreLogger {

std::unique_ptr<ICoreLogger> LoggerFactory::CreateLogger(bool unified)
{
    if (unified)
        return std::make_unique<UnifiedLogger>();
    return std::make_unique<NonUnifiedLogger>();
}

}  // namespace CoreLogger
