#include "Core/Services/HookConnection.h"

#include "CoreLogger/ComponentLog.h"

#include <unistd.h>
#include <utility>

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreJobHandling>;

HookConnection::HookConnection(std::unique_ptr<ClientCommunicationChannel> channel) : mChannel(std::move(channel)) {}

// Not under the lock: a receive may wait for long, and AnswerForQuit must be
// able to send meanwhile (the connection carries both directions at once).
ClientMessage HookConnection::Receive()
{
    ClientMessage message = mChannel->ReceiveMessage();
    std::lock_guard lock(mLock);
    mblnReplyAwaited = false;
    return message;
}

void HookConnection::SetReceiveTimeout(std::chrono::milliseconds timeout)
{
    mChannel->SetReceiveTimeout(timeout);
}

// Under the lock, so that no send from another thread meets a closed socket.
void HookConnection::Disconnect()
{
    std::lock_guard lock(mLock);
    mChannel->Disconnect();
}

bool HookConnection::Send(const ClientMessage& message)
{
    std::lock_guard lock(mLock);
    if (mAnswer)
        return false;
    mblnReplyAwaited = mblnReplyAwaited || message.Is(ClientMessageType::Request, ClientMessageSubType::PageSets);
    return mChannel->SendMessage(message);
}

// A hook asked for page data sends them before it reads any answer: they are
// taken first, so that the hook never sends into a connection closed after
// the answer (which would make it cancel a job the client let print).
bool HookConnection::SendFinalAnswer(Answer answer)
{
    bool awaited;
    {
        std::lock_guard lock(mLock);
        awaited = mblnReplyAwaited && !mAnswer;
    }
    if (awaited) {
        ClientMessage unread = Receive();
        if (int descriptor = TakeReceivedDescriptor(); descriptor >= 0)
            close(descriptor);
        Log::Debug("JobHandler - the hook's answer '%c','%c' came after the job was decided; it is not used.",
                   static_cast<char>(unread.GetType()), static_cast<char>(unread.GetSubType()));
        if (unread.Is(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure))
            MarkHookGone();
    }
    std::lock_guard lock(mLock);
    return mSendFinalAnswerNoLock(answer);
}

// Expects mLock held.
bool HookConnection::mSendFinalAnswerNoLock(Answer answer)
{
    if (mAnswer) {
        Log::Debug("JobHandler - the hook was answered '%c' already; '%c' is not sent.", static_cast<char>(*mAnswer),
                   static_cast<char>(answer));
        return false;
    }
    if (answer != ClientMessageSubType::JobCompleted && answer != ClientMessageSubType::JobCancelled
        && answer != ClientMessageSubType::JobHeld)
        answer = ClientMessageSubType::JobCompleted;
    mAnswer = answer;
    if (!mChannel->SendMessage(ClientMessage(ClientMessageType::Request, answer)))
        Log::Debug("JobHandler - the final answer could not be delivered; the hook has gone.");
    return true;
}

bool HookConnection::HasAnswered() const
{
    std::lock_guard lock(mLock);
    return mAnswer.has_value();
}

bool HookConnection::AnsweredPrint() const
{
    std::lock_guard lock(mLock);
    return mAnswer == ClientMessageSubType::JobCompleted;
}

bool HookConnection::DecideCancel()
{
    std::lock_guard lock(mLock);
    if (mAnswer == ClientMessageSubType::JobCompleted)
        return false;
    mblnCancelDecided = true;
    return true;
}

void HookConnection::AnswerForQuit()
{
    {
        std::lock_guard lock(mLock);
        mblnQuit = true;
        if (mAnswer || (mblnAnnounced && !mblnCancelDecided))
            return;
        // A job committed to its cancel is cancelled; a hook that has not
        // announced its job yet has no job thread to store it: held.
        Answer answer = mblnCancelDecided ? ClientMessageSubType::JobCancelled : ClientMessageSubType::JobHeld;
        Log::Debug("JobHandler - the client quits; the hook is answered '%c'.", static_cast<char>(answer));
        mSendFinalAnswerNoLock(answer);
    }
    // The answer is in the socket's buffer before the shutdown: the hook
    // reads it, then the end of the connection.
    mChannel->ShutdownConnection();
}

void HookConnection::MarkAnnounced()
{
    std::lock_guard lock(mLock);
    mblnAnnounced = true;
}

void HookConnection::CutOffForQuit()
{
    {
        std::lock_guard lock(mLock);
        if (!mAnswer) {
            Log::Error("JobHandler - the client quits and the job was not stored in time; its hook cancels it.");
            mAnswer = ClientMessageSubType::JobCancelled;
        }
    }
    mChannel->ShutdownConnection();
}

bool HookConnection::ClientQuits() const
{
    std::lock_guard lock(mLock);
    return mblnQuit;
}

// Not under the lock: the wait lasts as long as the user takes, and the
// quit's answer must be able to go out meanwhile.
bool HookConnection::WaitUntilHookLeaves(int wakeFd)
{
    return mChannel->WaitUntilPeerLeaves(wakeFd);
}

// Counts as the final answer, so that neither the job nor a quit sends one
// into the closed connection.
void HookConnection::MarkHookGone()
{
    std::lock_guard lock(mLock);
    mblnHookGone = true;
    if (!mAnswer)
        mAnswer = ClientMessageSubType::JobCancelled;
}

bool HookConnection::HookHasGone() const
{
    std::lock_guard lock(mLock);
    return mblnHookGone;
}

}  // namespace CVCoreDataServices
