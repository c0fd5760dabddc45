#include "Core/Services/DisconnectedJobHandler.h"

#include "Core/CVModels/JobCalculations.h"
#include "Core/CVModels/JobProcessingTypes.h"
#include "Core/CVModels/ProcessJobResult.h"
#include "Core/Services/IUIController.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <utility>

// The user's pending (snoozed) jobs: the list the store answers from, the
// handling after a connected job and the pending-jobs pop-up.

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreGeneral>;

namespace {

// An independent copy of a list of jobs.
std::unique_ptr<CVClientData::PendingJobList> CopyOf(const CVClientData::PendingJobList& jobs)
{
    auto copy = std::make_unique<CVClientData::PendingJobList>();
    for (const std::unique_ptr<ClientJob>& job : jobs)
        copy->Add(*job);
    return copy;
}

}  // namespace

// After a job that ran connected: the stored jobs go, and the pending jobs
// are offered when that changed them or start-up found some.
void DisconnectedJobHandler::HandleDisconnectedJobs(const CVClientData::User& user,
                                                    const CVClientData::ClientSettings& settings)
{
    bool submitted = SubmitDisconnectedJobs(settings);
    if (submitted) {
        LoadPendingJobsForUser(user, settings);
        mUIController.HavePendingJobs(PendingJobsDisconnected);
    }
    bool offer;
    {
        std::lock_guard lock(mStateLock);
        offer = !mPendingJobs->empty() && (submitted || mblnPendingJobsShown);
    }
    if (offer)
        ShowPendingJobsPopup(user, settings);

    bool empty;
    {
        std::lock_guard lock(mStateLock);
        empty = mPendingJobs->empty();
        mblnPendingJobsShown = false;
    }
    if (empty)
        mUIController.HavePendingJobs(PendingJobsNone);
}

// After a job was snoozed.
void DisconnectedJobHandler::UpdateDueToSnooze(const CVClientData::User& user,
                                               const CVClientData::ClientSettings& settings)
{
    LoadPendingJobsForUser(user, settings);
    // The snooze badge tells of jobs the user still has to complete: only
    // when the server holds some.
    mUIController.HavePendingJobs(GetNumberOfPendingJobs() == 0 ? PendingJobsNone : PendingJobsSnoozed);
}

// The list is replaced whole, so a reader never sees it half loaded.
void DisconnectedJobHandler::LoadPendingJobsForUser(const CVClientData::User& user, const CVClientData::ClientSettings&)
{
    std::unique_ptr<CVClientData::PendingJobList> jobs = mFetchPendingJobs(user);
    std::lock_guard lock(mStateLock);
    mPendingJobs = std::move(jobs);
}

// An answer that cannot be read whole gives no jobs.
std::unique_ptr<CVClientData::PendingJobList> DisconnectedJobHandler::mFetchPendingJobs(const CVClientData::User& user)
{
    Log::Debug("PendingJobList::LoadForUser - getting pending jobs for user with id: %lu.",
               static_cast<unsigned long>(user.Id));
    auto jobs = std::make_unique<CVClientData::PendingJobList>();
    if (mWebDataService.CanReach() && !mWebDataService.GetPendingJobs(*jobs))
        jobs->Clear();
    for (std::unique_ptr<ClientJob>& job : *jobs) {
        job->GetUser() = user;
        job->Options.DelayedJob = true;
        CVClientData::JobCalculations calculations;
        job->UpdateCalcs(calculations);
    }
    return jobs;
}

// The store answers from a copy; the pop-up keeps its own list.
void DisconnectedJobHandler::mPublishPendingJobs(const CVClientData::PendingJobList& jobs)
{
    std::unique_ptr<CVClientData::PendingJobList> copy = CopyOf(jobs);
    std::lock_guard lock(mStateLock);
    mPendingJobs = std::move(copy);
}

// From the Dock menu: the pop-up for the user of the first pending job.
void DisconnectedJobHandler::ShowPendingJobsPopup(const CVClientData::ClientSettings& settings)
{
    CVClientData::User user;
    {
        std::lock_guard lock(mStateLock);
        if (mPendingJobs->empty())
            return;
        user = (*mPendingJobs->begin())->GetUser();
    }
    Log::Debug("ShowPendingJobsPopup - about to show pending jobs popup.");
    ShowPendingJobsPopup(user, settings);
    mUIController.HavePendingJobs(PendingJobsNone);
}

// The window gets a list of the pop-up's own, freshly loaded: the jobs it
// releases are sent from that list, and a second pop-up asked for meanwhile
// is not shown, so that no job is released and sent twice.
void DisconnectedJobHandler::ShowPendingJobsPopup(const CVClientData::User& user,
                                                  const CVClientData::ClientSettings& settings)
{
    {
        std::lock_guard lock(mStateLock);
        if (mblnPopupOpen) {
            Log::Debug("ShowPendingJobsPopup - the pending jobs popup is already shown.");
            return;
        }
        mblnPopupOpen = true;
    }
    struct PopupClosed {
        DisconnectedJobHandler& store;
        ~PopupClosed()
        {
            std::lock_guard lock(store.mStateLock);
            store.mblnPopupOpen = false;
        }
    } closed{*this};

    Log::Debug("Refreshing the pending jobs list...");
    std::unique_ptr<CVClientData::PendingJobList> jobs = mFetchPendingJobs(user);
    mPublishPendingJobs(*jobs);
    if (jobs->size() == 1) {
        // A single job is shown with its costs and custom fields filled in.
        ClientJob& only = **jobs->begin();
        CVClientData::ProcessJobResult result;
        if (!mWebDataService.ProcessJob(only, CVJobProcessingStageBeforePages, CVJobProcessingStagePopup, result)
            || !mWebDataService.GetCustomFields(only.Options.CustomField)) {
            Log::Error("ShowPendingJobsPopup - the pending job could not be prepared; the popup is not shown.");
            return;
        }
    }
    if (!jobs->empty()) {
        mUIController.ShowPendingJobsPopup(*jobs, mWebDataService, settings);
        mSendReleasedJobs(*jobs);
    }

    Log::Debug("Refreshing the pending jobs list. ");
    LoadPendingJobsForUser(user, settings);
    if (mPendingListEmpty()) {
        Log::Debug("DisconnectedJobHandler::ShowPendingJobsPopup - all pending jobs cleared.");
        mUIController.HavePendingJobs(PendingJobsNone);
    }
}

// The user releases a job by clearing its "DelayedJob" flag; it is sent
// snoozed as it was, which the server takes for a release. A job saved
// leaves the list; after the first failure no more are sent.
void DisconnectedJobHandler::mSendReleasedJobs(CVClientData::PendingJobList& jobs)
{
    bool failed = false;
    for (auto job = jobs.begin(); job != jobs.end();) {
        if ((*job)->Options.DelayedJob) {
            ++job;
            continue;
        }
        (*job)->Options.DelayedJob = true;
        if (!failed && mWebDataService.SaveJob(**job)) {
            job = jobs.EraseIttr(job);
            continue;
        }
        if (!failed)
            Log::Error("ShowPendingJobsPopup - a released job could not be sent; the remaining released jobs wait.");
        failed = true;
        ++job;
    }
}

// Whether no pending job is held.
bool DisconnectedJobHandler::mPendingListEmpty() const
{
    std::lock_guard lock(mStateLock);
    return mPendingJobs->empty();
}

// Deletes the pending jobs held; the server keeps them.
void DisconnectedJobHandler::ClearPendingJobsList()
{
    std::lock_guard lock(mStateLock);
    mPendingJobs->Clear();
}

// False for 0 (or less), whatever is pending.
bool DisconnectedJobHandler::HasMoreJobsThan(int n)
{
    std::lock_guard lock(mStateLock);
    return n > 0 && mPendingJobs->size() >= static_cast<size_t>(n);
}

// The pending jobs held, as the server last listed them.
unsigned int DisconnectedJobHandler::GetNumberOfPendingJobs()
{
    std::lock_guard lock(mStateLock);
    return static_cast<unsigned int>(mPendingJobs->size());
}

}  // namespace CVCoreDataServices
