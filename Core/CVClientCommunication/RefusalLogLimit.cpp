#include "Core/CVClientCommunication/RefusalLogLimit.h"

std::optional<uint64_t> RefusalLogLimit::Refused(std::chrono::steady_clock::time_point now)
{
    if (mLastLine && now - *mLastLine < mInterval) {
        ++mintHeldBack;
        return std::nullopt;
    }
    mLastLine = now;
    uint64_t count = mintHeldBack + 1;
    mintHeldBack = 0;
    return count;
}

uint64_t RefusalLogLimit::Flush()
{
    uint64_t count = mintHeldBack;
    mintHeldBack = 0;
    return count;
}
