#include "Core/Services/FinalAnswerGuard.h"

#include "Common/StringFormat.h"
#include "CoreLogger/Logger.h"

#include <utility>

namespace CVCoreDataServices {

// Nothing is sent until an answer is given or the guard goes.
FinalAnswerGuard::FinalAnswerGuard(ClientCommunicationChannel& channel, Fallback fallback)
    : mChannel(channel), mFallback(std::move(fallback))
{
}

// Answers with the fallback when the job ended without a final answer. A
// destructor must not throw: a failure here is logged and the hook, finding
// the connection closed, acts as it does without a client.
FinalAnswerGuard::~FinalAnswerGuard()
{
    if (mAnswer)
        return;
    try {
        Answer answer = mFallback ? mFallback() : ClientMessageSubType::JobCompleted;
        Logger::Log_Error(LogComponents::CoreJobHandling,
                          stringFormat("JobHandler - the job ended without a final answer; answering '%c'.",
                                       static_cast<char>(answer)));
        Send(answer);
    } catch (...) {
        Logger::Log_Error(LogComponents::CoreJobHandling, "JobHandler - the final answer could not be sent.");
    }
}

// Only JobCompleted and JobCancelled are final answers; anything else is a
// programming error and answers "print", as a job that cannot be tracked does.
bool FinalAnswerGuard::Send(Answer answer)
{
    if (mAnswer) {
        Logger::Log_Debug(LogComponents::CoreJobHandling,
                          stringFormat("JobHandler - the hook was answered '%c' already; '%c' is not sent.",
                                       static_cast<char>(*mAnswer), static_cast<char>(answer)));
        return false;
    }
    if (answer != ClientMessageSubType::JobCompleted && answer != ClientMessageSubType::JobCancelled)
        answer = ClientMessageSubType::JobCompleted;
    mAnswer = answer;
    if (!mChannel.SendMessage(ClientMessage(ClientMessageType::Request, answer)))
        Logger::Log_Debug(LogComponents::CoreJobHandling,
                          "JobHandler - the final answer could not be delivered; the hook has gone.");
    return true;
}

}  // namespace CVCoreDataServices
