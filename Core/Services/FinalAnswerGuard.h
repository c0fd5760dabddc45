#pragma once

#include "Core/Services/HookConnection.h"

#include <functional>

namespace CVCoreDataServices {

// Makes sure a job's connection gets its final answer: when the guard goes
// without one having been sent (an early return, an exception), it sends the
// fallback answer, so that no connection ends unanswered.
class FinalAnswerGuard {
public:
    using Answer = HookConnection::Answer;
    // Chooses the answer to send when none was sent; it must not throw.
    using Fallback = std::function<Answer()>;

    FinalAnswerGuard(HookConnection& connection, Fallback fallback);
    ~FinalAnswerGuard();
    FinalAnswerGuard(const FinalAnswerGuard&) = delete;
    FinalAnswerGuard& operator=(const FinalAnswerGuard&) = delete;

private:
    HookConnection& mConnection;
    Fallback mFallback;
};

}  // namespace CVCoreDataServices
