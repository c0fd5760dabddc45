#include "Core/Services/FinalAnswerGuard.h"

#include "CoreLogger/ComponentLog.h"

#include <utility>

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreJobHandling>;

// Nothing is sent until the guard goes.
FinalAnswerGuard::FinalAnswerGuard(HookConnection& connection, Fallback fallback)
    : mConnection(connection), mFallback(std::move(fallback))
{
}

// Answers with the fallback when the job ended without a final answer. A
// destructor must not throw: a failure here is logged and the hook, finding
// the connection closed, acts as it does without a client.
FinalAnswerGuard::~FinalAnswerGuard()
{
    try {
        if (mConnection.HasAnswered())
            return;
        Answer answer = mFallback ? mFallback() : ClientMessageSubType::JobCompleted;
        Log::Error("JobHandler - the job ended without a final answer; answering '%c'.", static_cast<char>(answer));
        mConnection.SendFinalAnswer(answer);
    } catch (...) {
        Log::Error("JobHandler - the final answer could not be sent.");
    }
}

}  // namespace CVCoreDataServices
