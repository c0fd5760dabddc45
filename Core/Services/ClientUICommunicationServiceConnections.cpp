#include "Core/Services/ClientUICommunicationService.h"

#include "CoreLogger/ComponentLog.h"
#include "Core/Services/IUIController.h"

#include <utility>

// Hook connections and the job threads that answer them.

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreClientCommunication>;

namespace {

// Answers the hook with one header-only message and closes the connection.
void AnswerAndDisconnect(ClientCommunicationChannel& channel, ClientMessageType::ClientMessageType type,
                         ClientMessageSubType::ClientMessageSubType subType)
{
    channel.SendMessage(ClientMessage(type, subType));
    channel.Disconnect();
}

}  // namespace

// Reads the connection's first message with a time-out, so that a peer that
// never speaks holds the listener up only that long, and announces a new job
// to a job thread, answers a job already seen with "print", and refuses
// anything else. Finished job threads are reclaimed afterwards.
void ClientUICommunicationService::HandleHookConnection(std::unique_ptr<ClientCommunicationChannel> connection)
{
    if (!connection)
        return;
    std::shared_ptr<ClientCommunicationChannel> channel = std::move(connection);
    bool shuttingDown;
    std::chrono::milliseconds timeout;
    {
        // Either Shutdown finds the channel here and wakes it, or this finds
        // Shutdown begun and reads nothing.
        std::lock_guard lock(mHandlersLock);
        shuttingDown = mblnShuttingDown;
        timeout = mFirstMessageTimeout;
        if (!shuttingDown)
            mGreetedChannel = channel;
    }
    if (shuttingDown) {
        // A hook that finds no client prints the job untracked; one that
        // reaches a client on its way out gets the same answer.
        Log::Debug("ClientUICommunicationService::HandleHookConnection - the client is shutting down; the job prints untracked.");
        AnswerAndDisconnect(*channel, ClientMessageType::Request, ClientMessageSubType::JobCompleted);
        return;
    }
    channel->SetReceiveTimeout(timeout);
    ClientMessage message = channel->ReceiveMessage();
    // Job threads wait for the hook's page data as long as parsing takes.
    channel->SetReceiveTimeout(std::chrono::milliseconds::zero());
    {
        std::lock_guard lock(mHandlersLock);
        mGreetedChannel.reset();
    }
    Log::Debug("ClientUICommunicationService::HandleHookConnection - message header: %c %c, content: %lu bytes, param1: %u",
          message.GetType(), message.GetSubType(), static_cast<unsigned long>(message.GetMessageContent().size()),
          message.GetMessageContentParam1());

    if (message.GetType() != ClientMessageType::Notify) {
        Log::Error("ClientUICommunicationService::HandleHookConnection - received invalid message from hook.  Type: %d",
              static_cast<int>(message.GetType()));
        AnswerAndDisconnect(*channel, ClientMessageType::Error, ClientMessageSubType::CommunicationFailure);
    } else if (message.GetSubType() == ClientMessageSubType::NewJob) {
        uint32_t jobId = message.GetMessageContentParam1();
        Log::Debug("%s - JobId=%d", "ClientUICommunicationService::HandleHookConnection", jobId);
        bool reserved = false;
        {
            std::lock_guard lock(mHandlersLock);
            if (!HaveAlreadyHandledJob(jobId)) {
                // Reserved at once: the id is known from now on, whatever
                // becomes of its thread.
                mHandlers.try_emplace(jobId);
                reserved = true;
            }
        }
        if (reserved)
            mStartJobThread(jobId, channel);
        else
            AnswerAndDisconnect(*channel, ClientMessageType::Request, ClientMessageSubType::JobCompleted);
    } else {
        Log::Error("ClientFramework::HandleHookConnection - received invalid message from hook.  Sub Type: %d",
              static_cast<int>(message.GetSubType()));
        AnswerAndDisconnect(*channel, ClientMessageType::Error, ClientMessageSubType::CommunicationFailure);
    }
    CleanupInactiveHandlers();
}

// Makes the job's thread outside the handlers lock (the job thread's
// construction may take the users lock), then records and starts it under
// the lock. A job that gets no thread prints untracked; one that arrives
// during shutdown is refused.
void ClientUICommunicationService::mStartJobThread(uint32_t jobId, std::shared_ptr<ClientCommunicationChannel> channel)
{
    JobThreadFactory factory;
    {
        std::lock_guard lock(mHandlersLock);
        factory = mJobThreadFactory;
    }
    Log::Debug("ClientUICommunicationService::HandleHookConnection - Creating new JobHandler instance. jobId=%d "
          "webDataService=%p, productName=%s",
          jobId, static_cast<const void*>(&mWebDataService), mUIController.GetProductName());
    std::unique_ptr<SWThread> thread;
    if (factory)
        thread = factory(jobId, channel, *this, mUIController, mWebDataService);
    if (!thread) {
        Log::Error("ClientUICommunicationService::HandleHookConnection - no job handler could be made for job %d; "
              "the job prints untracked.",
              jobId);
        AnswerAndDisconnect(*channel, ClientMessageType::Request, ClientMessageSubType::JobCompleted);
        return;
    }
    std::lock_guard lock(mHandlersLock);
    if (mblnShuttingDown) {
        Log::Debug("ClientUICommunicationService::HandleHookConnection - the client is shutting down; job %d prints untracked.",
              jobId);
        AnswerAndDisconnect(*channel, ClientMessageType::Request, ClientMessageSubType::JobCompleted);
        return;
    }
    Log::Debug("ClientUICommunicationService::HandleHookConnection - mutex lock");
    Log::Debug("ClientUICommunicationService::HandleHookConnection - insert job");
    JobThreadEntry& entry = mHandlers[jobId];
    entry.thread = std::move(thread);
    entry.channel = std::move(channel);
    Log::Debug("ClientUICommunicationService::HandleHookConnection - Start job handler");
    // Started under the lock, so that a clean-up never meets it made but not
    // yet running (which would look finished).
    entry.thread->Start();
    Log::Debug("ClientUICommunicationService::HandleHookConnection - mutex unlock");
}

// Entries are never removed while the client runs: a job id is known for
// the life of the process, also after its thread was reclaimed.
bool ClientUICommunicationService::HaveAlreadyHandledJob(uint32_t jobId)
{
    std::lock_guard lock(mHandlersLock);
    bool known = mHandlers.contains(jobId);
    if (known)
        Log::Debug("Job already handled: %d", jobId);
    return known;
}

// Takes the threads that have ended out of the map under the lock and
// deletes them after it: deleting a thread joins it first (SWThread).
void ClientUICommunicationService::CleanupInactiveHandlers()
{
    std::vector<std::unique_ptr<SWThread>> finished;
    {
        std::lock_guard lock(mHandlersLock);
        for (auto& [jobId, entry] : mHandlers) {
            if (entry.thread && !entry.thread->IsRunning()) {
                finished.push_back(std::move(entry.thread));
                entry.channel.reset();
                Logger::Log_Debug(LogComponents::Memory, "=====>Cleaning up Job Handler.");
            }
        }
    }
    finished.clear();
}

}  // namespace CVCoreDataServices
