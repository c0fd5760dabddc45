#pragma once

#include <ctime>

namespace CVClientData {

// Where the web service reads the current time, in whole seconds as time()
// gives them. Every time stamp and reuse window goes through one clock, so
// tests move time forward without sleeping.
class IClock {
public:
    virtual ~IClock() = default;
    virtual std::time_t Now() const = 0;
};

// The wall clock.
class SystemClock final : public IClock {
public:
    std::time_t Now() const override;

    // The one instance that services use when they are given no clock.
    static const SystemClock& Shared();
};

}  // namespace CVClientData
