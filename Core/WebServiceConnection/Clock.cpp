#include "Core/WebServiceConnection/Clock.h"

namespace CVClientData {

// The current time from the system.
std::time_t SystemClock::Now() const
{
    return std::time(nullptr);
}

// A process-wide instance; it holds no state, so sharing it is safe.
const SystemClock& SystemClock::Shared()
{
    static const SystemClock clock;
    return clock;
}

}  // namespace CVClientData
