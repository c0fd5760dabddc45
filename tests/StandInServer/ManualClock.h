#pragma once

#include "Core/WebServiceConnection/Clock.h"

#include <atomic>
#include <ctime>

namespace StandIn {

// A clock that stands still until a test moves it, so time windows are
// checked on both sides of their limits without sleeping.
class ManualClock final : public CVClientData::IClock {
public:
    explicit ManualClock(std::time_t start = 1700000000) : mintNow(start) {}

    std::time_t Now() const override { return mintNow.load(); }
    void Advance(std::time_t seconds) { mintNow += seconds; }
    void Set(std::time_t now) { mintNow = now; }

private:
    std::atomic<std::time_t> mintNow;
};

}  // namespace StandIn
