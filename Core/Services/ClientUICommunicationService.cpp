#include "Core/Services/ClientUICommunicationService.h"

#include "Core/CVClientCommunication/Signals.h"
#include "Core/Services/DisconnectedJobHandler.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"
#include "Core/Services/IUIController.h"
#include "Core/Services/IUIWaitCanceller.h"
#include "Core/WebServiceConnection/WebDataService.h"

#include <thread>
#include <utility>

// Construction, wiring, start and shutdown of the job controller, and the
// users lock with its deferred user-interface notices. The other operations
// live in ClientUICommunicationServiceConnections.cpp (hook connections and
// job threads), ...Users.cpp (settings and users), ...Batch.cpp (batches and
// the last print job) and ...Store.cpp (the disconnected-job store).

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreClientCommunication>;

ClientUICommunicationService::ClientUICommunicationService(IUIController& userInterface,
                                                           const ClientEnvironment& environment,
                                                           CVClientData::WebDataService& webService)
    : ClientUICommunicationService(userInterface, environment, webService, CVClientData::SystemClock::Shared())
{
}

ClientUICommunicationService::ClientUICommunicationService(IUIController& userInterface,
                                                           const ClientEnvironment& environment,
                                                           CVClientData::WebDataService& webService,
                                                           const CVClientData::IClock& clock)
    : mEnvironment(environment),
      mWebDataService(webService),
      mUIController(userInterface),
      mClock(clock),
      mClientSettings(environment.JobCacheFolder),
      mClientLogo(environment.JobCacheFolder)
{
    // A hook that goes away mid-job must not end the client with SIGPIPE.
    Signals::IgnoreSigPipe();
    mListener = std::make_unique<ClientCommunicationThread>(mEnvironment.UserName.c_str(), *this);
    mDisconnectedJobs =
        std::make_unique<DisconnectedJobHandler>(mUIController, mEnvironment.JobCacheFolder, mWebDataService, mClock);
}

// Shuts down first: the listener and the job threads call into this object.
ClientUICommunicationService::~ClientUICommunicationService()
{
    Shutdown();
}

// Sets how job threads are made.
void ClientUICommunicationService::SetJobThreadFactory(JobThreadFactory factory)
{
    std::lock_guard lock(mHandlersLock);
    mJobThreadFactory = std::move(factory);
}

// Sets the store of disconnected and pending jobs.
void ClientUICommunicationService::SetDisconnectedJobStore(std::unique_ptr<IDisconnectedJobStore> store)
{
    mDisconnectedJobs = std::move(store);
}

// Sets how long a new connection may take to announce its job.
void ClientUICommunicationService::SetQuitGrace(std::chrono::milliseconds grace)
{
    std::lock_guard lock(mHandlersLock);
    mQuitGrace = grace;
}

void ClientUICommunicationService::SetFirstMessageTimeout(std::chrono::milliseconds timeout)
{
    std::lock_guard lock(mHandlersLock);
    mFirstMessageTimeout = timeout;
}

// Loads the client settings, and with them the logged-in user, once at launch.
void ClientUICommunicationService::Initialize()
{
    Log::Debug("ClientUICommunicationService::Initialize - Getting client _clientSettings.");
    GetClientSettings();
}

// Starts listening for hooks and, when a user is cached, lets the store
// submit the jobs kept while the server was away.
void ClientUICommunicationService::Run()
{
    CVClientData::ClientSettings settings;
    {
        UsersLock lock(*this);
        settings = mClientSettings;
    }
    if (settings.AuthenticationType != 0)
        mUIController.SetUsingBalances(true);
    {
        std::lock_guard lock(mHandlersLock);
        if (mblnShuttingDown || mblnListenerStarted)
            return;
        mListener->Start();
        mblnListenerStarted = true;
    }
    // The store is started outside the handlers lock: it calls the server
    // and the user interface, and takes the users lock.
    std::shared_ptr<const CVClientData::User> user = GetLoggedInUser();
    if (user && user->Id != 0 && mDisconnectedJobs)
        mDisconnectedJobs->Initialize(*user, settings);
}

// Has every connection answered: a job committed to its cancel at once,
// every other job by its thread once the job is stored; then stops the listener, wakes every
// connection's thread (its waits on the hook and on the user return) and
// waits for it, and drops the cached users. No lock is held while a thread
// is waited for.
void ClientUICommunicationService::Shutdown()
{
    DebugScope scope(LogComponents::CoreClientCommunication, "ClientUICommunicationService::Shutdown");
    AnswerOpenJobsForQuit();
    bool listenerStarted;
    {
        std::lock_guard lock(mHandlersLock);
        listenerStarted = mblnListenerStarted;
    }
    // Terminate joins the listener, which may be handing over a connection;
    // the handlers lock is not held so that it can finish.
    if (listenerStarted)
        mListener->Terminate(true);

    std::list<ConnectionEntry> connections;
    {
        std::lock_guard lock(mHandlersLock);
        connections.swap(mConnections);
        mblnListenerStarted = false;
    }
    // Each job stores itself and answers; one whose hook keeps it waiting
    // past the grace (no page data comes) is cut off, unrecorded and
    // unprinted.
    std::chrono::milliseconds grace;
    {
        std::lock_guard lock(mHandlersLock);
        grace = mQuitGrace;
    }
    auto deadline = std::chrono::steady_clock::now() + grace;
    for (ConnectionEntry& entry : connections) {
        Log::Debug("ClientUICommunicationService::Shutdown - waiting for the thread of a hook connection");
        while (entry.thread->IsRunning() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (entry.thread->IsRunning())
            entry.connection->CutOffForQuit();
        entry.thread->Terminate(true);
        entry.thread.reset();
    }
    {
        UsersLock lock(*this);
        mSetLoggedInUserNoLock(nullptr);
        mLastPrintJob.reset();
    }
}

void ClientUICommunicationService::AnswerOpenJobsForQuit()
{
    std::vector<std::shared_ptr<HookConnection>> open;
    {
        std::lock_guard lock(mHandlersLock);
        mblnShuttingDown = true;
        for (const ConnectionEntry& entry : mConnections)
            open.push_back(entry.connection);
    }
    mJobIdsChanged.notify_all();
    // The answers go first: a job woken from a wait finds the client quitting.
    for (const std::shared_ptr<HookConnection>& connection : open)
        connection->AnswerForQuit();
    mWakeUserInterfaceWaits();
}

// Makes every waiting user-interface call return, when the user interface
// can do so; otherwise a job thread waiting for the user is waited for.
void ClientUICommunicationService::mWakeUserInterfaceWaits()
{
    if (auto* canceller = dynamic_cast<IUIWaitCanceller*>(&mUIController))
        canceller->CancelWaitsForShutdown();
}

const ClientEnvironment& ClientUICommunicationService::GetEnvironment() const
{
    return mEnvironment;
}

// A copy taken under the users lock, as the logo is updated with the settings.
ClientLogo ClientUICommunicationService::GetClientLogo() const
{
    UsersLock lock(*this);
    return mClientLogo;
}

ClientUICommunicationService::UsersLock::UsersLock(const ClientUICommunicationService& service) : mService(service)
{
    mService.mUsersLock.lock();
    ++mService.mintUsersLockDepth;
}

// Releases the lock; the outermost scope then delivers the queued notices,
// in the order they arose, with no lock held.
ClientUICommunicationService::UsersLock::~UsersLock()
{
    std::vector<Notice> notices;
    if (--mService.mintUsersLockDepth == 0)
        notices.swap(mService.mvecPendingNotices);
    mService.mUsersLock.unlock();
    for (const Notice& notice : notices)
        notice(mService.mUIController);
}

// Queues a user-interface call for when the users lock is released.
void ClientUICommunicationService::mQueueNoticeNoLock(Notice notice) const
{
    mvecPendingNotices.push_back(std::move(notice));
}

}  // namespace CVCoreDataServices
