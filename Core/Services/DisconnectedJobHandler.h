#pragma once

#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/PendingJobList.h"
#include "Core/CVModels/User.h"
#include "Core/Services/IDisconnectedJobStore.h"
#include "Core/WebServiceConnection/Clock.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace CVClientData {
class WebDataService;
}

namespace CVCoreDataServices {

class IUIController;

// The store of disconnected jobs and the user's pending-job list.
//
// Disconnected jobs are the files that job threads write into the job cache
// folder while the server cannot be reached (DisconnectedJobFiles.h). A
// submission sends each one to the server, or drops it as the settings'
// "DisconnectedJobOption" and age limit say, and removes its file only then:
// a job the server refuses or cannot take stays for the next submission, and
// a file that cannot be read is set aside, never sent or removed.
//
// The pending-job list holds the user's snoozed jobs as the server last
// listed them; the pending-jobs pop-up lets the user release them.
//
// Locking. The main thread and any number of job threads call at once.
// Submissions run one at a time (the submission lock), so no stored job is
// sent twice; that lock is held across server calls but never across a call
// into the user interface. The state lock guards the list and the flags and
// is held only to read or swap them. The pop-up works on a list of its own,
// so the window edits no shared state and the window's own calls into the
// store (counting pending jobs) do not wait; one pop-up is shown at a time.
// Job threads write job files without any lock: each job has its own file,
// written to a temporary name and renamed into place.
//
// The implementation is split by area: DisconnectedJobHandler.cpp (the
// stored jobs and their submission) and DisconnectedJobHandlerPending.cpp
// (the pending-job list and its pop-up).
class DisconnectedJobHandler final : public IDisconnectedJobStore {
public:
    // The clock gives the current time for the age limit; it and the other
    // arguments must outlive the store.
    DisconnectedJobHandler(IUIController& userInterface, std::string jobCacheFolder,
                           CVClientData::WebDataService& webService,
                           const CVClientData::IClock& clock = CVClientData::SystemClock::Shared());
    ~DisconnectedJobHandler() override;
    DisconnectedJobHandler(const DisconnectedJobHandler&) = delete;
    DisconnectedJobHandler& operator=(const DisconnectedJobHandler&) = delete;

    // --- IDisconnectedJobStore ---
    void Initialize(const CVClientData::User& user, const CVClientData::ClientSettings& settings) override;
    void HandleDisconnectedJobs(const CVClientData::User& user, const CVClientData::ClientSettings& settings) override;
    void UpdateDueToSnooze(const CVClientData::User& user, const CVClientData::ClientSettings& settings) override;
    void ShowPendingJobsPopup(const CVClientData::ClientSettings& settings) override;
    void ClearPendingJobsList() override;
    bool HasMoreJobsThan(int n) override;
    unsigned int GetNumberOfPendingJobs() override;
    void DeleteAllJobs() override;

    // --- Stored jobs ---
    // Handles every stored job; true when some job file was removed (sent or
    // dropped), so the pending list may have changed.
    bool SubmitDisconnectedJobs(const CVClientData::ClientSettings& settings);
    // Sends or drops one stored job; true when its file may be removed.
    // A job stored because the client quit (takenAtQuit) is sent whatever
    // "DisconnectedJobOption" says.
    bool HandleSingleDisconnectedJob(ClientJob& job, const CVClientData::ClientSettings& settings,
                                     bool takenAtQuit = false);
    // Whether a stored job is older than the settings' "DisconnectedJobsOldIn"
    // days, by its print date (UTC) and this store's clock.
    bool IsPastAgeLimit(const CVClientData::Job& job, const CVClientData::ClientSettings& settings) const;

    // --- Pending jobs ---
    // Replaces the list with the user's pending jobs from the server (none
    // when it cannot be reached).
    void LoadPendingJobsForUser(const CVClientData::User& user, const CVClientData::ClientSettings& settings);
    // The pending-jobs pop-up for the user: the user releases jobs, which
    // are then sent to the server.
    void ShowPendingJobsPopup(const CVClientData::User& user, const CVClientData::ClientSettings& settings);

private:
    // The names of the stored jobs in the folder, in the folder's order;
    // false when the folder cannot be read.
    bool mListStoredJobs(std::vector<std::string>& names) const;
    // Reads one stored job; a file that cannot be read is set aside.
    bool mReadStoredJob(const std::string& path, ClientJob& job) const;
    void mRemoveStoredJob(const std::string& path) const;

    // The user's pending jobs from the server, each given the user, marked
    // snoozed and priced.
    std::unique_ptr<CVClientData::PendingJobList> mFetchPendingJobs(const CVClientData::User& user);
    // Makes a copy of the jobs the list that the store answers from.
    void mPublishPendingJobs(const CVClientData::PendingJobList& jobs);
    // Sends the jobs the user released in the pop-up, until one fails.
    void mSendReleasedJobs(CVClientData::PendingJobList& jobs);
    bool mPendingListEmpty() const;

    IUIController& mUIController;
    const std::string mstrJobCacheFolder;
    CVClientData::WebDataService& mWebDataService;
    const CVClientData::IClock& mClock;

    std::mutex mSubmitLock;  // held by the one submission under way

    mutable std::mutex mStateLock;  // guards the members below
    std::unique_ptr<CVClientData::PendingJobList> mPendingJobs;
    bool mblnPendingJobsShown = false;  // start-up found pending jobs; cleared after the next handling
    bool mblnPopupOpen = false;         // a pending-jobs pop-up is being shown
};

}  // namespace CVCoreDataServices
