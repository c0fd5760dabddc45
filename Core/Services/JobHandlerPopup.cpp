#include "Core/Services/JobHandler.h"

#include "Core/CVClientCommunication/IJobController.h"
#include "Core/CVModels/JobCalculations.h"
#include "Core/CVModels/JobProcessingTypes.h"
#include "Core/CVModels/UIMessage.h"
#include "Core/CVModels/User.h"
#include "Core/Services/CVTrackOption.h"
#include "Core/Services/IUIController.h"
#include "CoreLogger/ComponentLog.h"

// The balance check and the job pop-up.

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreJobHandling>;

// A job that costs more than the user has left is cancelled, unless the user
// may charge it to a custom field: a job that pops up, has custom-field
// values and belongs to a user with a cost balance. Either way the batch ends,
// so that the next job is asked about again.
void JobHandler::CheckBalances()
{
    Log::Debug("Checking for zero balances.");
    mJob.Costing.UpdatePageSetPricing();
    CVClientData::JobCalculations calculations;
    mJob.UpdateCalcs(calculations);
    const CVClientData::User& user = mJob.GetUser();
    if (!mJob.UpdateBalances || !user.JobExceedsBalance(calculations))
        return;

    bool chargeableToCustomField = mJob.TrackOption != CVTrackOptionTrackSilently && !mJob.CustomValues.empty() &&
                                   user.Type == CVClientData::User::CostBalance;
    if (!chargeableToCustomField) {
        Log::Debug("Disallowig job... zero balance");
        mJob.TrackOption = CVTrackOptionCancel;
        mJob.CancelReason = CVCancelReasonZeroBalance;
        UIMessage message;
        mShowJobMessage(message);
    }
    mController.CancelBatch();
    mblnBatch = false;
}

// What the user enters (custom-field values, comments, cost overrides, a
// snooze) the pop-up writes into the job itself.
void JobHandler::ShowPopupForJob()
{
    Log::Debug("Showing popup.");
    bool printed = mUIController.ShowPopup(mJob, mWebDataService, mSettings);
    mStopIfClientQuits();
    if (printed)
        Log::Debug("\n\nBATCH number: %llu \n\n", static_cast<unsigned long long>(mJob.GetUser().MaxBatchSize));
    else
        mJob.TrackOption = CVTrackOptionCancel;
    Log::Debug("Job track option after popup: %d", mJob.TrackOption);
}

}  // namespace CVCoreDataServices
