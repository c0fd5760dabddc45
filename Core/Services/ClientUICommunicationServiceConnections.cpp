#include "Core/Services/ClientUICommunicationService.h"

#include "Core/Services/IUIController.h"
#include "CoreLogger/ComponentLog.h"

#include <exception>
#include <functional>
#include <system_error>
#include <utility>

// Hook connections and the threads that serve them.

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreClientCommunication>;

namespace {

// The thread of one hook connection.
class ConnectionThread final : public SWThread {
public:
    explicit ConnectionThread(std::function<void()> body) : mBody(std::move(body)) {}
    ~ConnectionThread() override { Terminate(true); }
    int Run() override
    {
        mBody();
        return 0;
    }

private:
    std::function<void()> mBody;
};

}  // namespace

// Hands the connection at once to a thread of its own, so that a hook that
// is slow to speak holds up no other; finished threads are reclaimed
// afterwards. A connection that arrives while the client shuts down, or that
// gets no thread, is held in CUPS: it would print with no record.
void ClientUICommunicationService::HandleHookConnection(std::unique_ptr<ClientCommunicationChannel> channel)
{
    if (!channel)
        return;
    auto connection = std::make_shared<HookConnection>(std::move(channel));
    bool served = false;
    {
        std::lock_guard lock(mHandlersLock);
        if (!mblnShuttingDown) {
            ConnectionEntry& entry = mConnections.emplace_back();
            entry.connection = connection;
            entry.thread = std::make_unique<ConnectionThread>([this, connection] { mServeConnection(connection); });
            try {
                // Started under the lock, so that a clean-up never meets it
                // made but not yet running (which would look finished).
                entry.thread->Start();
                served = true;
            } catch (const std::system_error& error) {
                Log::Error("ClientUICommunicationService::HandleHookConnection - no thread for the connection (%s); "
                           "the job prints untracked.",
                           error.what());
                mConnections.pop_back();
            }
        } else {
            Log::Debug("ClientUICommunicationService::HandleHookConnection - the client is shutting down; the job "
                       "prints untracked.");
        }
    }
    if (!served) {
        mHoldUnrecordedJob(*connection);
        connection->Disconnect();
    }
    CleanupInactiveHandlers();
}

// Reads the first message with a time limit and answers it. Nothing may
// escape a thread's body: a failure answers print, as a job that cannot be
// tracked does; a refused connection gets no final answer.
void ClientUICommunicationService::mServeConnection(const std::shared_ptr<HookConnection>& connection)
{
    bool refused = false;
    try {
        std::chrono::milliseconds timeout;
        {
            std::lock_guard lock(mHandlersLock);
            timeout = mFirstMessageTimeout;
        }
        connection->SetReceiveTimeout(timeout);
        ClientMessage message = connection->Receive();
        // Job threads wait for the hook's page data as long as parsing takes.
        connection->SetReceiveTimeout(std::chrono::milliseconds::zero());
        refused = mAnswerFirstMessage(message, connection);
    } catch (const std::exception& error) {
        Log::Error("ClientUICommunicationService::HandleHookConnection - serving the connection failed: %s; the job "
                   "prints untracked.",
                   error.what());
    } catch (...) {
        Log::Error("ClientUICommunicationService::HandleHookConnection - serving the connection failed; the job prints "
                   "untracked.");
    }
    // A job left unanswered as the client quits was not stored: it is held.
    if (!refused && connection->ClientQuits() && !connection->HasAnswered())
        mHoldUnrecordedJob(*connection);
    else if (!refused)
        connection->SendFinalAnswer(ClientMessageSubType::JobCompleted);
    connection->Disconnect();
}

// Carries the job a first message announces; refuses any other message
// ('E','F'), answering true then. A connection answered because the client
// quits is left as it is.
bool ClientUICommunicationService::mAnswerFirstMessage(const ClientMessage& message,
                                                       const std::shared_ptr<HookConnection>& connection)
{
    if (connection->ClientQuits()) {
        mHoldUnrecordedJob(*connection);
        return false;
    }
    Log::Debug("ClientUICommunicationService::HandleHookConnection - message header: %c %c, content: %lu bytes, "
               "param1: %u",
               message.GetType(), message.GetSubType(), static_cast<unsigned long>(message.GetMessageContent().size()),
               message.GetMessageContentParam1());
    if (message.GetType() != ClientMessageType::Notify) {
        Log::Error("ClientUICommunicationService::HandleHookConnection - received invalid message from hook.  Type: %d",
                   static_cast<int>(message.GetType()));
    } else if (message.GetSubType() != ClientMessageSubType::NewJob) {
        Log::Error("ClientFramework::HandleHookConnection - received invalid message from hook.  Sub Type: %d",
                   static_cast<int>(message.GetSubType()));
    } else {
        connection->MarkAnnounced();
        mRunJob(message.GetMessageContentParam1(), connection);
        return false;
    }
    connection->Send(ClientMessage(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure));
    return true;
}

// Runs the job an announcement names on this thread; a job seen before, one
// announced on another connection now, or one that gets no job object prints
// untracked. The id is remembered for good only once the job thread finds
// the job in CUPS (RememberJobId): an announcement of an id CUPS does not
// hold leaves nothing behind.
void ClientUICommunicationService::mRunJob(uint32_t jobId, const std::shared_ptr<HookConnection>& connection)
{
    Log::Debug("%s - JobId=%d", "ClientUICommunicationService::HandleHookConnection", jobId);
    JobThreadFactory factory;
    {
        // A run of the job that CUPS started again while the last run is
        // still carried (its hook was stopped) waits for that run to end:
        // only then is it known whether the job's record was made.
        std::unique_lock lock(mHandlersLock);
        mJobIdsChanged.wait(lock, [&] { return mblnShuttingDown || !mJobIdsInFlight.contains(jobId); });
        if (mblnShuttingDown) {
            lock.unlock();
            mHoldUnrecordedJob(*connection);
            return;
        }
        if (HaveAlreadyHandledJob(jobId)) {
            Log::Info("ClientUICommunicationService::HandleHookConnection - job %u was recorded already; this run of "
                      "it prints without a second record.",
                      jobId);
            connection->SendFinalAnswer(ClientMessageSubType::JobCompleted);
            return;
        }
        mJobIdsInFlight.insert(jobId);
        factory = mJobThreadFactory;
    }
    struct InFlight {
        ClientUICommunicationService& service;
        uint32_t jobId;
        ~InFlight()
        {
            {
                std::lock_guard lock(service.mHandlersLock);
                service.mJobIdsInFlight.erase(jobId);
            }
            service.mJobIdsChanged.notify_all();
        }
    } inFlight{*this, jobId};
    // The product name comes from the main thread: asked only for a line
    // that is written, so that a new job never waits for the main thread.
    if (Log::DebugEnabled())
        Log::Debug("ClientUICommunicationService::HandleHookConnection - Creating new JobHandler instance. jobId=%d "
                   "webDataService=%p, productName=%s",
                   jobId, static_cast<const void*>(&mWebDataService), mUIController.GetProductName());
    std::unique_ptr<SWThread> job;
    if (factory)
        job = factory(jobId, connection, *this, mUIController, mWebDataService);
    if (!job) {
        Log::Error("ClientUICommunicationService::HandleHookConnection - no job handler could be made for job %d; "
                   "the job prints untracked.",
                   jobId);
        connection->SendFinalAnswer(ClientMessageSubType::JobCompleted);
        return;
    }
    Log::Debug("ClientUICommunicationService::HandleHookConnection - Start job handler");
    job->Run();
}

// A job that would print with no record (the client quits, no thread can
// carry it) is held in CUPS, and its hook says why.
void ClientUICommunicationService::mHoldUnrecordedJob(HookConnection& connection)
{
    Log::Error("ClientUICommunicationService::HandleHookConnection - the client is shutting down or cannot carry the "
               "job; it is held in CUPS, as it would print with no record.");
    connection.SendFinalAnswer(ClientMessageSubType::JobHeld);
}

// Ids are never forgotten while the client runs: a job id is known for the
// life of the process, also after its thread was reclaimed.
bool ClientUICommunicationService::HaveAlreadyHandledJob(uint32_t jobId)
{
    std::lock_guard lock(mHandlersLock);
    bool known = mKnownJobIds.contains(jobId) || mJobIdsInFlight.contains(jobId);
    if (known)
        Log::Debug("Job already handled: %d", jobId);
    return known;
}

bool ClientUICommunicationService::RememberJobId(uint32_t jobId)
{
    std::lock_guard lock(mHandlersLock);
    bool added = mKnownJobIds.insert(jobId).second;
    if (!added)
        Log::Debug("Job already handled: %d", jobId);
    return added;
}

// Takes the threads that have ended out of the list under the lock and
// deletes them after it: deleting a thread joins it first (SWThread).
void ClientUICommunicationService::CleanupInactiveHandlers()
{
    std::vector<std::unique_ptr<SWThread>> finished;
    {
        std::lock_guard lock(mHandlersLock);
        for (auto entry = mConnections.begin(); entry != mConnections.end();) {
            if (entry->thread->IsRunning()) {
                ++entry;
                continue;
            }
            finished.push_back(std::move(entry->thread));
            entry = mConnections.erase(entry);
            ComponentLog<LogComponents::Memory>::Debug("=====>Cleaning up Job Handler.");
        }
    }
    finished.clear();
}

}  // namespace CVCoreDataServices
