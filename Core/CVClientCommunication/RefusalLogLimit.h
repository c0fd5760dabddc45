#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

// Bounds the log lines of refused connections: another user can connect to a
// user's socket as often as they like, and a line for each would push the
// user's own history out of the log. The first refusal is logged at once;
// those that follow within the interval are only counted, and the next line
// (or Flush) says how many there were.
class RefusalLogLimit {
public:
    static constexpr std::chrono::milliseconds DefaultInterval{1000};

    explicit RefusalLogLimit(std::chrono::milliseconds interval = DefaultInterval) : mInterval(interval) {}

    // Counts one refusal at the time given; the number of refusals the line
    // to be written now stands for (this one and those held back), or none
    // when it is held back.
    std::optional<uint64_t> Refused(std::chrono::steady_clock::time_point now);

    // The refusals held back since the last line, counted as written.
    uint64_t Flush();

private:
    std::chrono::milliseconds mInterval;
    std::optional<std::chrono::steady_clock::time_point> mLastLine;
    uint64_t mintHeldBack = 0;
};
