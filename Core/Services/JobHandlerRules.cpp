#include "Core/Services/JobHandler.h"

#include "Core/CVClientCommunication/IJobController.h"
#include "Core/CVModels/JobProcessingTypes.h"
#include "Core/CVModels/ProcessJobResult.h"
#include "Core/CVModels/UIMessage.h"
#include "Core/Services/CVTrackOption.h"
#include "Core/Services/IUIController.h"
#include "Core/Services/UserService.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"

#include <algorithm>
#include <limits>
#include <vector>

// The server's start and end rules, the user's authentication, and the
// cancel that follows a message the user refused.

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreJobHandling>;
using CVClientData::JobMessage;

namespace {

// The pending-job limit as the controller takes it.
int PendingLimit(uint64_t maxPendingJobs)
{
    return static_cast<int>(std::min<uint64_t>(maxPendingJobs, std::numeric_limits<int>::max()));
}

}  // namespace

// Authentication first (with the option the rules choose when the settings
// ask for it), then rule stages 0 to 1 with their messages, the pending-job
// limit and the batch. A cancel decided here is carried out by the pipeline.
bool JobHandler::ProcessJobStartRules()
{
    if (!mAuthenticateForStartRules())
        return false;
    if (mJob.TrackOption == CVTrackOptionCancel)
        return true;

    CVClientData::ProcessJobResult result;
    if (!mWebDataService.ProcessJob(mJob, CVJobProcessingStageStart, CVJobProcessingStageBeforePages, result))
        return false;

    if (!mJob.IsTracked()) {
        // Whether the rules only audit decides whether the alert ends the job.
        mJob.ForceLateRuleAudit = result.ForceLateRuleAudit;
        UIMessage message = mRulesCancelMessage(result.Messages);
        mShowJobMessage(message);
    } else {
        mJob.ProcessedToStage = result.ProcessedToStage;
        Log::Info("JobHandler::ProcessJobStartRules - Job(%llu) - Processed job before pages. Secure option: %d",
                  static_cast<unsigned long long>(mJob.CupsId), mJob.SecureOption);
        mShowStartRuleMessages(result.Messages);
    }

    if (mJob.TrackOption == CVTrackOptionCancel)
        mRecordStartRulesCancel(result);

    mController.UpdateSnoozedJobs(mJob.GetUser());
    mCheckPendingJobLimit();

    // A job of the running batch goes silently with the batch's entries; a
    // job cancelled or ignored above stays so.
    if (mblnBatch && mJob.IsTracked()) {
        mJob.TrackOption = CVTrackOptionTrackSilently;
        mController.CopyLastUsedValuesToJob(mJob);
    }
    return true;
}

// Authenticates a tracked job's user, with the authentication option the
// server gives for the job when the settings ask for it first; a user who
// cannot be validated cancels the job. False when the server could not be
// asked for the option.
bool JobHandler::mAuthenticateForStartRules()
{
    auto authenticate = [this] {
        if (mJob.IsTracked() && !AuthenticatedUser()) {
            mJob.TrackOption = CVTrackOptionCancel;
            Log::Info("Could not validate user. ");
        }
    };
    if (!mSettings.PreAuthenticationRequired) {
        authenticate();
        return true;
    }
    CVAuthenticationOption option = CVAuthenticationLoggedInUser;
    if (!mWebDataService.GetAuthenticationOption(mJob, option))
        return false;
    int32_t configured = mSettings.AuthenticationType;
    mSettings.AuthenticationType = option;
    authenticate();
    mSettings.AuthenticationType = configured;
    return true;
}

// Shows the start rules' questions and cancels in list order, then, unless
// the user refused one, the information messages. A refused message cancels
// the job and the rest are not shown.
void JobHandler::mShowStartRuleMessages(const std::vector<JobMessage>& messages)
{
    std::vector<JobMessage> information;
    bool refused = false;
    for (const JobMessage& jobMessage : messages) {
        Log::Debug("Processing messages from ProcessJobResult. Message type: %d", jobMessage.Type);
        if (refused)
            continue;
        if (jobMessage.Type == JobMessage::Information) {
            information.push_back(jobMessage);
            continue;
        }
        UIMessage message(jobMessage);
        if (!mShowJobMessage(message)) {
            Log::Debug("DisplayJobMessage returned false. setting job to disallow");
            UserCancelledJobFromMessage(jobMessage, false);
            refused = true;
        }
    }
    if (refused)
        return;
    for (const JobMessage& jobMessage : information) {
        UIMessage message(jobMessage);
        mShowJobMessage(message);
        Log::Info("Job cancelled at the server.");
    }
}

// Gives a job the start rules cancelled the rules' reason (unless it has
// one), notes whether the rules only audit, and reports the cancel.
void JobHandler::mRecordStartRulesCancel(const CVClientData::ProcessJobResult& result)
{
    if (mJob.CancelReason == CVCancelReasonNone) {
        mJob.CancelReason = result.CancelReason;
        mJob.CustomCancelEventMessage = result.CustomCancelEventMessage;
    }
    mJob.ForceLateRuleAudit = result.ForceLateRuleAudit;
    mWebDataService.AddJobCancelEvent(mJob, static_cast<CVJobCancellationReason>(mJob.CancelReason),
                                      mJob.CustomCancelEventMessage);
}

// A user who holds more pending jobs than the server allows has the job
// cancelled, and is told so.
void JobHandler::mCheckPendingJobLimit()
{
    if (!mController.CurrentDisconnectedJobsExceedLimit(PendingLimit(mJob.GetUser().MaxPendingJobs)))
        return;
    UIMessage message;
    message.Title = "Exceeded Pending Jobs";
    message.Type = JobMessage::JobCancelled;
    message.Message = stringFormat("You have %d pending jobs. Please clear all pending jobs before printing.",
                                   static_cast<int>(mController.CountPendingJobs()));
    mJob.TrackOption = CVTrackOptionCancel;
    mShowJobMessage(message);
}

// Joins the job to a running batch when it may, then authenticates its user.
bool JobHandler::AuthenticatedUser()
{
    mblnBatch = mController.DetermineBatchStatus(mJob, true);
    Log::Debug("Authenticating user [%s] via [%d]", mJob.GetUser().DisplayName, mSettings.AuthenticationType);
    UserService users(mWebDataService);
    bool authenticated =
        users.AuthenticateUser(mJob.GetUser(), &mUIController, mSettings, AuthenticatedOperationPrintJob);
    mStopIfClientQuits();
    if (authenticated)
        mController.SetLastUser(mJob.GetUser(), false);
    return authenticated;
}

// The remaining stages up to 2 for a snoozed job, 3 for a secured one and 4
// for any other, with their messages and the late pop-up. A rules answer
// that does not move the job on ends the walk, so that a server that keeps
// answering the same stage cannot hold the job forever.
bool JobHandler::ProcessJobEndRules()
{
    int32_t lastStage = mJob.Options.DelayedJob ? CVJobProcessingStagePopup
                        : mJob.IsSecured()      ? CVJobProcessingStageSecure
                                                : CVJobProcessingStageFinal;
    int32_t stage = mJob.ProcessedToStage;

    if (mJob.ForceLateRuleAudit) {
        mWebDataService.AddJobCancelEvent(mJob, static_cast<CVJobCancellationReason>(mJob.CancelReason),
                                          mJob.CustomCancelEventMessage);
        mJob.TrackOption = CVTrackOptionCancel;
        SendCancelJobMessageToCUPS();
    }

    while (stage < lastStage && mJob.IsTracked()) {
        CVClientData::ProcessJobResult result;
        if (!mWebDataService.ProcessJob(mJob, static_cast<CVJobProcessingStage>(stage + 1),
                                        static_cast<CVJobProcessingStage>(lastStage), result))
            return false;
        mJob.ProcessedToStage = result.ProcessedToStage;

        if (!mJob.IsTracked()) {
            if (mJob.CancelReason != CVCancelReasonNone) {
                Log::Debug("Job cancelled at the server.");
                UIMessage message = mRulesCancelMessage(result.Messages);
                mShowJobMessage(message);
            }
            break;
        }
        for (const JobMessage& jobMessage : result.Messages) {
            UIMessage message(jobMessage);
            if (!mShowJobMessage(message)) {
                Log::Debug("User canceled. JobMessage title: %s, message: %s For job: %llu", jobMessage.Title,
                           jobMessage.Message, static_cast<unsigned long long>(mJob.Id));
                UserCancelledJobFromMessage(jobMessage, true);
                break;
            }
        }
        if (mJob.TrackOption == CVTrackOptionTrackWithPopup && !mJob.PrinterPopEarly &&
            result.ProcessedToStage == CVJobProcessingStagePopup) {
            if (!mSettings.AlwaysPopEarly && mSecureJobMayPopUp())
                ShowPopupForJob();
            if (mJob.Options.DelayedJob)
                lastStage = CVJobProcessingStagePopup;
        }
        if (mJob.ProcessedToStage <= stage) {
            Log::Error("JobHandler::ProcessJobEndRules - the rules answered stage %d after stage %d; no further stages "
                       "are asked for.",
                       mJob.ProcessedToStage, stage);
            break;
        }
        stage = mJob.ProcessedToStage;
    }
    return true;
}

// The server's words for its cancel, shown with the job's reason; a question
// of the rules becomes a plain notice, since the job is cancelled already.
UIMessage JobHandler::mRulesCancelMessage(const std::vector<JobMessage>& messages)
{
    UIMessage message;
    auto own = std::find_if(messages.begin(), messages.end(),
                            [](const JobMessage& jobMessage) { return jobMessage.Type != JobMessage::Information; });
    if (own != messages.end()) {
        message.ConvertFromJobMessage(*own);
        message.Type = JobMessage::JobCancelled;
    }
    return message;
}

// Cancels the job for a refused message, reporting the cancel when asked to.
// The user refused it, or read that the job is cancelled: no further alert.
void JobHandler::UserCancelledJobFromMessage(const JobMessage& message, bool report)
{
    DebugScope scope(LogComponents::CoreJobHandling, "UserCancelledJobFromMessage");
    mblnRefusalShown = true;
    mJob.TrackOption = CVTrackOptionCancel;
    mJob.CustomCancelEventMessage = message.CustomEventMessage;
    mJob.CancelReason = message.Source == 0 ? CancelReasonRefusedSourceZeroMessage : CancelReasonRefusedMessage;
    if (report)
        mWebDataService.AddJobCancelEvent(mJob, static_cast<CVJobCancellationReason>(mJob.CancelReason),
                                          mJob.CustomCancelEventMessage);
}

}  // namespace CVCoreDataServices
