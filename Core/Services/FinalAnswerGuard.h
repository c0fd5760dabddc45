#pragma once

#include "Core/CVClientCommunication/ClientCommunicationChannel.h"
#include "Core/CVClientCommunication/ClientMessageType.h"

#include <functional>
#include <optional>

namespace CVCoreDataServices {

// The one final answer of a hook connection: print ('R','Z') or cancel
// ('R','X'). The hook acts on the first final answer it reads, so only the
// first one is sent; later ones are dropped. When the guard goes without an
// answer having been sent (an early return, an exception), it sends the
// fallback answer, so that no connection ends unanswered.
class FinalAnswerGuard {
public:
    using Answer = ClientMessageSubType::ClientMessageSubType;
    // Chooses the answer to send when none was sent; it must not throw.
    using Fallback = std::function<Answer()>;

    FinalAnswerGuard(ClientCommunicationChannel& channel, Fallback fallback);
    ~FinalAnswerGuard();
    FinalAnswerGuard(const FinalAnswerGuard&) = delete;
    FinalAnswerGuard& operator=(const FinalAnswerGuard&) = delete;

    // Sends 'R' with the answer (JobCompleted or JobCancelled) unless a final
    // answer went out before; true when this call sent it. A send that fails
    // (the hook has gone) still counts as the answer.
    bool Send(Answer answer);

private:
    ClientCommunicationChannel& mChannel;
    Fallback mFallback;
    std::optional<Answer> mAnswer;
};

}  // namespace CVCoreDataServices
