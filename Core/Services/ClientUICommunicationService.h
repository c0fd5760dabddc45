#pragma once

#include "Core/CVClientCommunication/ClientCommunicationThread.h"
#include "Core/CVClientCommunication/IJobController.h"
#include "Core/CVModels/ClientEnvironment.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/Job.h"
#include "Core/CVModels/LocalFiles/ClientLogo.h"
#include "Core/CVModels/User.h"
#include "Core/Services/CVBatchMode.h"
#include "Core/Services/HookConnection.h"
#include "Core/Services/IDisconnectedJobStore.h"
#include "Core/Services/JobThreadFactory.h"
#include "Core/WebServiceConnection/Clock.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace CVClientData {
class WebDataService;
}

namespace CVCoreDataServices {

class IUIController;

// The client's job controller: one per client process. It owns the socket
// listener, one thread per job, the client settings and logo, the cached
// logged-in user, the batch state, the last printed job and the store of
// disconnected jobs.
//
// Connections. The listener hands every accepted connection over at once;
// a thread of its own reads the first message (with a time limit, so that a
// hook that never speaks holds up nobody) and then carries the job, if any.
// When the client quits, every connection not yet answered is answered
// print (or cancel, when its job committed to that) before the threads are
// woken and waited for.
//
// Locks. The handlers lock guards the connections, the job ids seen and the
// listener and shutdown flags; the users lock guards the users, the batch
// state, the last print job, the settings and the logo. Both are recursive.
// The handlers lock is never held while the users lock is taken. Neither is
// held across a call into the user interface or into the disconnected-job
// store: user-interface notices that arise under the users lock (batch
// started or ended, balances in use) are delivered once the outermost users
// lock is released. Functions named ...NoLock expect the users lock held.
class ClientUICommunicationService : public IJobController {
public:
    // The cached logged-in user, in the job cache folder.
    static constexpr const char* UserCacheFileName = "/.cvkUser.cache";
    // How long a new connection may take to announce its job.
    static constexpr std::chrono::milliseconds DefaultFirstMessageTimeout{10000};
    // How long a quitting client waits for its jobs to be stored and
    // answered before it closes the connections of the rest (their hooks
    // then cancel them: they were neither recorded nor printed).
    static constexpr std::chrono::milliseconds DefaultQuitGrace{10000};

    ClientUICommunicationService(IUIController& userInterface, const ClientEnvironment& environment,
                                 CVClientData::WebDataService& webService);
    // The same, with the clock that batch expiry and the age of stored
    // disconnected jobs are read from; it must outlive the service.
    ClientUICommunicationService(IUIController& userInterface, const ClientEnvironment& environment,
                                 CVClientData::WebDataService& webService, const CVClientData::IClock& clock);
    ~ClientUICommunicationService() override;

    ClientUICommunicationService(const ClientUICommunicationService&) = delete;
    ClientUICommunicationService& operator=(const ClientUICommunicationService&) = delete;

    // --- Wiring, before Run ---
    // How job threads are made; without one, every new job prints untracked.
    void SetJobThreadFactory(JobThreadFactory factory);
    // Replaces the store of disconnected and pending jobs (the constructor
    // makes a DisconnectedJobHandler for the job cache folder); null: nothing
    // is submitted and no pending jobs are known.
    void SetDisconnectedJobStore(std::unique_ptr<IDisconnectedJobStore> store);
    void SetFirstMessageTimeout(std::chrono::milliseconds timeout);
    void SetQuitGrace(std::chrono::milliseconds grace);

    // --- Life cycle, on the main thread ---
    // Loads the client settings (and the logged-in user) once.
    void Initialize();
    // Starts the listener and, with a cached logged-in user, the store.
    void Run();
    // Has every connection answered (a job committed to its cancel at once,
    // every other job by its own thread once stored; a connection whose job
    // was not announced yet is held), stops the listener, wakes and waits for
    // every connection's thread (cutting off those still running after the
    // quit's grace) and drops the cached users. Returns although job
    // threads were blocked on their connection or waiting for the user (see
    // IUIWaitCanceller).
    void Shutdown();
    // The first step of Shutdown, which may run while a window is up: new
    // connections are held, every open connection is marked for the
    // quit and the jobs waiting for the user are woken. A user interface that
    // closes its windows before Shutdown calls this first, so that no job
    // takes a window closed by the quit for the user's answer.
    void AnswerOpenJobsForQuit();

    // --- Settings and users ---
    CVClientData::ClientSettings RefreshClientSettings();
    // Writes the user to the user cache file (when write is set and the user
    // has an id), then reads the file into the logged-in user.
    void CacheLoggedInUser(const CVClientData::User& user, bool write);
    // A user authenticated for a balance check (asking the user interface
    // when the name alone does not do), or none.
    std::optional<CVClientData::User> GetValidatedUserForBalance(const std::string& userName);
    // A copy of the logo cache, which the pop-up shows.
    ClientLogo GetClientLogo() const;
    // From the Dock menu: the pending-jobs pop-up.
    void ShowPendingJobsPopup();

    // --- Job threads ---
    // Whether a job thread found this job id in CUPS before (in this
    // process), or a connection carries it now.
    bool HaveAlreadyHandledJob(uint32_t jobId);
    // Joins and deletes the connection threads that have ended.
    void CleanupInactiveHandlers();

    // --- Batches ---
    bool DetermineBatchStatusForMode(const CVClientData::Job& job, int32_t batchMode);
    // Holds a copy of the user (re-read from the server when refresh is set)
    // as the batch user; null releases it.
    void SetBatchUser(const CVClientData::User* user, bool refresh);

    // --- IJobController ---
    void HandleHookConnection(std::unique_ptr<ClientCommunicationChannel> channel) override;
    CVClientData::ClientSettings GetClientSettings() override;
    const ClientEnvironment& GetEnvironment() const override;
    void DeleteDisconnectedJobs() override;
    void ClearPendingJobs() override;
    std::shared_ptr<const CVClientData::User> GetLoggedInUser() const override;
    std::shared_ptr<const CVClientData::User> GetBatchUser() const override;
    bool DetermineBatchStatus(CVClientData::Job& job, bool preferBatchUser) override;
    void HandleAllDisconnectedJobs(const CVClientData::User& user) override;
    void UpdateSnoozedJobs(const CVClientData::User& user) override;
    void CopyLastUsedValuesToJob(CVClientData::Job& job) override;
    void CancelBatch() override;
    bool CurrentDisconnectedJobsExceedLimit(int n) override;
    void HandledPrintJob(const CVClientData::Job& job) override;
    void HandledPrintJobBeforeUserRefresh(const CVClientData::Job& job) override;
    void RefreshLastUser(const CVClientData::User& user) override;
    unsigned int CountPendingJobs() override;
    bool RememberJobId(uint32_t jobId) override;
    void SetLastUser(const CVClientData::User& user, bool refresh) override;

private:
    // One accepted connection: the thread that serves it and the connection,
    // kept to answer and wake it at shutdown.
    struct ConnectionEntry {
        std::unique_ptr<SWThread> thread;
        std::shared_ptr<HookConnection> connection;
    };

    // Holds the users lock; the outermost scope delivers the user-interface
    // notices queued under it once the lock is released.
    class UsersLock {
    public:
        explicit UsersLock(const ClientUICommunicationService& service);
        ~UsersLock();
        UsersLock(const UsersLock&) = delete;
        UsersLock& operator=(const UsersLock&) = delete;

    private:
        const ClientUICommunicationService& mService;
    };
    using Notice = std::function<void(IUIController&)>;

    void mQueueNoticeNoLock(Notice notice) const;
    // On the connection's own thread: reads the first message, then answers
    // it or carries the job it announces.
    void mServeConnection(const std::shared_ptr<HookConnection>& connection);
    void mHoldUnrecordedJob(HookConnection& connection);
    bool mAnswerFirstMessage(const ClientMessage& message, const std::shared_ptr<HookConnection>& connection);
    void mRunJob(uint32_t jobId, const std::shared_ptr<HookConnection>& connection);
    void mWakeUserInterfaceWaits();

    std::string mUserCachePath() const;
    void mSetLoggedInUserNoLock(std::shared_ptr<const CVClientData::User> user);
    void mSetBatchUserNoLock(std::shared_ptr<const CVClientData::User> user);
    void mCacheLoggedInUserNoLock(const CVClientData::User& user, bool write);
    void mSetLastUserNoLock(const CVClientData::User& user, bool refresh);
    void mHandledPrintJob(const CVClientData::Job& job, bool refreshUser);
    void mCancelBatchNoLock();
    bool mDetermineBatchStatusForModeNoLock(const CVClientData::Job& job, int32_t batchMode) const;
    // Makes the user the last user and returns the logged-in user then, with
    // the settings, for a call into the store made after the lock is gone.
    std::shared_ptr<const CVClientData::User> mSetLastUserForStore(const CVClientData::User& user,
                                                                   CVClientData::ClientSettings& settings);

    const ClientEnvironment mEnvironment;
    CVClientData::WebDataService& mWebDataService;
    IUIController& mUIController;
    const CVClientData::IClock& mClock;

    // Guarded by the users lock.
    CVClientData::ClientSettings mClientSettings;
    ClientLogo mClientLogo;
    bool mblnInBatch = false;
    int64_t mintBatchJobsLeft = 0;
    std::time_t mintBatchExpiry = 0;
    std::optional<CVClientData::Job> mLastPrintJob;
    // Written under the users lock and the snapshot lock; read under either.
    std::shared_ptr<const CVClientData::User> mLoggedInUser;
    std::shared_ptr<const CVClientData::User> mBatchUser;

    // Guarded by the handlers lock.
    std::set<uint32_t> mKnownJobIds;     // only grows: an id stays known for the life of the process
    std::set<uint32_t> mJobIdsInFlight;  // announced on a connection being served now
    std::condition_variable_any mJobIdsChanged;  // an id left mJobIdsInFlight, or the client shuts down
    std::list<ConnectionEntry> mConnections;
    bool mblnListenerStarted = false;
    bool mblnShuttingDown = false;

    std::unique_ptr<ClientCommunicationThread> mListener;
    std::unique_ptr<IDisconnectedJobStore> mDisconnectedJobs;  // replaced only before Run; null: no store
    JobThreadFactory mJobThreadFactory;                          // set before Run
    std::chrono::milliseconds mFirstMessageTimeout = DefaultFirstMessageTimeout;
    std::chrono::milliseconds mQuitGrace = DefaultQuitGrace;

    mutable std::recursive_mutex mHandlersLock;
    mutable std::recursive_mutex mUsersLock;
    mutable std::mutex mSnapshotLock;  // a leaf: held only to copy or replace the user pointers
    mutable int mintUsersLockDepth = 0;                // guarded by the users lock
    mutable std::vector<Notice> mvecPendingNotices;  // guarded by the users lock
};

}  // namespace CVCoreDataServices
