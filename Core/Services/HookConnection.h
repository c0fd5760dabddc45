#pragma once

#include "Core/CVClientCommunication/ClientCommunicationChannel.h"
#include "Core/CVClientCommunication/ClientMessageType.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

namespace CVCoreDataServices {

// One hook's connection as the client holds it: the channel and the one
// final answer on it, print ('R','Z') or cancel ('R','X'). The thread that
// serves the connection receives on it and sends through this object; the
// job controller shares it to answer for that thread when the client quits.
//
// Sends are serialised, and once the final answer went out nothing more is
// sent: the hook acts on the first final answer it reads. Receive, the
// receive time-out and Disconnect belong to the serving thread; every other
// operation may be called from any thread.
class HookConnection {
public:
    using Answer = ClientMessageSubType::ClientMessageSubType;

    explicit HookConnection(std::unique_ptr<ClientCommunicationChannel> channel);
    HookConnection(const HookConnection&) = delete;
    HookConnection& operator=(const HookConnection&) = delete;

    // --- The serving thread ---
    ClientMessage Receive();
    // The descriptor that came with a received message, once (-1: none).
    int TakeReceivedDescriptor() { return mChannel->TakeReceivedDescriptor(); }
    // Makes later receives fail after waiting this long; zero waits for ever.
    void SetReceiveTimeout(std::chrono::milliseconds timeout);
    // Closes the connection; nothing is sent or received afterwards.
    void Disconnect();

    // --- Any thread ---
    // Sends a message that is not a final answer ('R','P', or 'E','F' for a
    // bad first message); false once the final answer went out or when the
    // send fails.
    bool Send(const ClientMessage& message);
    // Sends 'R' with the answer (JobCompleted or JobCancelled; anything else
    // counts as JobCompleted) unless a final answer went out before; true
    // when this call sent it. A send that fails (the hook has gone) still
    // counts as the answer. Page data asked for and not yet received are
    // received first and dropped: only the serving thread, which asks for
    // them, calls it after asking.
    bool SendFinalAnswer(Answer answer);
    // Whether a final answer went out.
    bool HasAnswered() const;
    // Whether the final answer that went out was print.
    bool AnsweredPrint() const;
    // The job commits to its cancel: a quit from now on answers cancel.
    // False when the final answer went out as print already, so that a job
    // the hook is printing is never cancelled.
    bool DecideCancel();

    // The client quits: a job committed to its cancel is answered cancel at
    // once. Any other job is answered by its own thread, which stores the
    // job (written and synced) before it answers print, so that no job
    // prints on the strength of a record that a kill could still lose. The
    // connection stays open for that answer; a thread waiting for the hook's
    // page data gets them first, and the job is stored with them.
    void AnswerForQuit();
    // The quitting client gives up on the job: no answer goes out any more
    // and the connection is shut, which wakes the serving thread; the hook
    // cancels the job.
    void CutOffForQuit();
    // The hook's job announcement was read and the job is carried: from now
    // on a quit leaves the answer to the job's thread.
    void MarkAnnounced();
    // Whether the client quits; the job then does nothing more.
    bool ClientQuits() const;

    // Waits until the hook leaves the connection (true: CUPS cancelled the
    // job and ended the hook, or the hook died) or wakeFd becomes readable
    // (false). Only while the serving thread waits for the user, so that
    // nobody receives meanwhile.
    bool WaitUntilHookLeaves(int wakeFd);
    // The hook has gone: the job ends without an answer, which nobody would
    // read, and nothing more is sent.
    void MarkHookGone();
    bool HookHasGone() const;

private:
    bool mSendFinalAnswerNoLock(Answer answer);

    mutable std::mutex mLock;  // guards the sends and the state below
    std::unique_ptr<ClientCommunicationChannel> mChannel;
    std::optional<Answer> mAnswer;
    bool mblnCancelDecided = false;
    bool mblnQuit = false;
    bool mblnHookGone = false;
    bool mblnAnnounced = false;
    bool mblnReplyAwaited = false;  // 'R','P' went out and nothing was received since
};

}  // namespace CVCoreDataServices
