#include "Core/Services/ClientUICommunicationService.h"

#include "CoreLogger/ComponentLog.h"
#include "Core/Services/IUIController.h"

#include <algorithm>
#include <limits>

// Batches and the last print job. A batch lets a user's next jobs from the
// same application to the same printer print without a pop-up: a manual
// batch for a counted number of jobs, an automatic one until it times out.
// Nothing runs on a timer: the next job finds out whether the batch is over.

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreClientCommunication>;

// The last job's user decides the mode unless the batch user is preferred
// and held. A job that joins takes the batch's user id and mode; one that
// does not ends the batch.
bool ClientUICommunicationService::DetermineBatchStatus(CVClientData::Job& job, bool preferBatchUser)
{
    UsersLock lock(*this);
    if (!mLastPrintJob) {
        mCancelBatchNoLock();
        return false;
    }
    const CVClientData::User& lastUser = mLastPrintJob->GetUser();
    int32_t mode = (!preferBatchUser || !mBatchUser) ? lastUser.BatchMode : mBatchUser->BatchMode;
    mblnInBatch = mDetermineBatchStatusForModeNoLock(job, mode);
    if (!mblnInBatch) {
        mCancelBatchNoLock();
        return false;
    }
    job.GetUser().Id = lastUser.Id;
    job.GetUser().BatchMode = lastUser.BatchMode;
    if (mode == CVBatchModeManual) {
        if (mintBatchJobsLeft == 1) {
            Log::Debug("ClientFramework::DetermineBatchStatus - Last Job in batch");
        } else if (mintBatchJobsLeft == 0) {
            Log::Debug("ClientFramework::DetermineBatchStatus - No more jobs in batch.");
            mCancelBatchNoLock();
        } else {
            Log::Debug("ClientFramework::DetermineBatchStatus - Jobs in batch");
        }
    }
    return mblnInBatch;
}

bool ClientUICommunicationService::DetermineBatchStatusForMode(const CVClientData::Job& job, int32_t batchMode)
{
    UsersLock lock(*this);
    return mDetermineBatchStatusForModeNoLock(job, batchMode);
}

// True only before the expiry, for the last job's printer and application
// (compared byte for byte) and, in a manual batch, while jobs are left.
bool ClientUICommunicationService::mDetermineBatchStatusForModeNoLock(const CVClientData::Job& job,
                                                                     int32_t batchMode) const
{
    if (!mLastPrintJob)
        return false;
    if (batchMode == CVBatchModeManual) {
        if (mintBatchJobsLeft < 1)
            return false;
    } else if (batchMode != CVBatchModeAutomatic) {
        return false;
    }
    return mClock.Now() < mintBatchExpiry && job.GetPrinter().Id == mLastPrintJob->GetPrinter().Id &&
           job.ProcessName == mLastPrintJob->ProcessName;
}

// After a job printed: its user becomes the last user, the job the last
// print job (when the user batches or reuses last entries), and the user's
// batch starts, goes on or runs out.
void ClientUICommunicationService::HandledPrintJob(const CVClientData::Job& job)
{
    mHandledPrintJob(job, true);
}

void ClientUICommunicationService::HandledPrintJobBeforeUserRefresh(const CVClientData::Job& job)
{
    mHandledPrintJob(job, false);
}

void ClientUICommunicationService::RefreshLastUser(const CVClientData::User& user)
{
    SetLastUser(user, true);
}

void ClientUICommunicationService::mHandledPrintJob(const CVClientData::Job& job, bool refreshUser)
{
    UsersLock lock(*this);
    const CVClientData::User& user = job.GetUser();
    mSetLastUserNoLock(user, refreshUser);
    if (user.UseLastEntries || user.BatchMode != 0) {
        Log::Debug("Reset last print job");
        mLastPrintJob.emplace(job);
    }
    bool batchGoesOn = false;
    if (user.BatchMode == CVBatchModeManual) {
        Log::Debug("Manual batching");
        if (mblnInBatch) {
            --mintBatchJobsLeft;
            Log::Debug("Deducting from batch.");
            batchGoesOn = mintBatchJobsLeft > 0;
        } else if (user.MaxBatchSize > 1) {
            uint64_t size = std::min<uint64_t>(user.MaxBatchSize, std::numeric_limits<int64_t>::max());
            mintBatchJobsLeft = static_cast<int64_t>(size) - 1;
            batchGoesOn = true;
        }
    } else if (user.BatchMode == CVBatchModeAutomatic) {
        Log::Debug("Automatic batching");
        batchGoesOn = true;
    }
    if (!batchGoesOn)
        return;
    std::time_t now = mClock.Now();
    uint64_t room = static_cast<uint64_t>(std::numeric_limits<std::time_t>::max() - std::max<std::time_t>(now, 0));
    mintBatchExpiry = now + static_cast<std::time_t>(std::min(user.BatchTimeout, room));
    Log::Debug("Start batching");
    mQueueNoticeNoLock([](IUIController& ui) { ui.BatchStarted(); });
    mSetBatchUserNoLock(std::make_shared<const CVClientData::User>(user));
}

void ClientUICommunicationService::CancelBatch()
{
    UsersLock lock(*this);
    mCancelBatchNoLock();
}

// Clears the batch state and releases the batch user; the user interface
// hears of it once the users lock is released.
void ClientUICommunicationService::mCancelBatchNoLock()
{
    mblnInBatch = false;
    mintBatchJobsLeft = 0;
    mintBatchExpiry = 0;
    mQueueNoticeNoLock([](IUIController& ui) { ui.BatchEnded(); });
    mSetBatchUserNoLock(nullptr);
}

// The job takes the comments, the custom-field values (replacing its own)
// and the cost overrides of the last print job. Its costs are worked out
// again by the job's own balance check and pop-up, which read them.
void ClientUICommunicationService::CopyLastUsedValuesToJob(CVClientData::Job& job)
{
    UsersLock lock(*this);
    if (mLastPrintJob)
        job.CopyUserEnterableMembersFrom(*mLastPrintJob);
}

}  // namespace CVCoreDataServices
