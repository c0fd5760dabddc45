#include "Core/Services/JobHandler.h"

#include "Core/CVClientCommunication/IJobController.h"
#include "Core/CVModels/JobProcessingTypes.h"
#include "Core/CVModels/UIMessage.h"
#include "Core/CupsAccess/CupsJobHelper.h"
#include "Core/Services/CVDisconnectedJobOption.h"
#include "Core/Services/CVTrackOption.h"
#include "Core/Services/DisconnectedJobFiles.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"

#include <exception>

// The job thread's handling of a job whose server calls failed: by the
// settings' "AuthenticationType" and "DisconnectedJobOption" it is cancelled,
// printed untracked, or printed and stored as a disconnected job (or, when
// snoozed, saved as pending) to be sent to the server later
// (DisconnectedJobHandler).
//
// The pipeline calls HandleJobAsDisconnected once per job, with the options'
// "DisconnectedJob" flag set. A cancel goes through SendCancelJobMessageToCUPS,
// which marks the job cancelled, so the last step neither reports it as
// printed nor answers again; a printed job is reported once and answered
// 'R','Z' here, and the hook acts on that first answer.

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreJobHandling>;
using CVClientData::CupsJobHelper;

// Only a user identified by the workstation's login can have a job taken
// for them while the server cannot confirm who they are.
bool JobHandler::HandleJobAsDisconnected()
{
    Log::Debug("JobHandler::HandleJobAsDisconnected - Job handling cannot reach server. Handling disconnected job.");
    // A job answered for the quitting client is stored by KeepJobAfterQuit.
    mStopIfClientQuits();
    if (mIsCancelled())
        return false;
    if (mSettings.AuthenticationType != 0) {
        Log::Debug("Handle Job disconnected. Authentication failed. Not automatic auth.");
        CancelDisconnectedJob();
        return false;
    }
    switch (mSettings.DisconnectedJobOption) {
    case CVDisconnectedJobCancel:
        CancelDisconnectedJob();
        return false;
    case CVDisconnectedJobPrintUntracked:
        mJob.TrackOption = CVTrackOptionIgnore;
        break;
    default:
        break;
    }
    if (!mJob.IsDisconnected())
        Log::Error(
            "JobHandler::HandleJobAsDisconnected - *** Client is disconnected but job was not marked as discnnected.");
    else if (!SaveDisconnectedJob()) {
        mHoldJob("it could not be stored for the server.");
        return false;
    }
    mReportHandledPrintJob();
    SendCompleteJobMessageToCUPS();
    return true;
}

// The message carries the settings' text for disconnected jobs, when there
// is one, as its custom event message.
void JobHandler::CancelDisconnectedJob()
{
    mJob.TrackOption = CVTrackOptionCancel;
    mJob.CancelReason = CVCancelReasonDisconnected;
    UIMessage message;
    if (!mSettings.DisconnectedJobsMesg.empty())
        message.CustomEventMessage = mSettings.DisconnectedJobsMesg;
    mShowJobMessage(message);
    SendCancelJobMessageToCUPS();
}

// A tracked disconnected job goes to its file; a tracked snoozed job that is
// not marked disconnected goes to the server as pending, and to its file
// when the server does not take it. Answers whether the job was kept (the
// job prints either way; a job that could not be kept is logged).
bool JobHandler::SaveDisconnectedJob()
{
    DebugScope scope(LogComponents::CoreJobHandling, "SaveDisconnectedJob");
    bool kept = true;
    if (mJob.IsTracked()) {
        if (mJob.IsDisconnected())
            kept = mWriteDisconnectedJobFile();
        else if (mJob.Options.DelayedJob)
            kept = mWebDataService.SavePendingJob(mJob) || mWriteDisconnectedJobFile();
    }
    return kept;
}

// The file replaces an earlier one of the same job; it is written whole to
// a temporary name first, so a submission never reads half of it.
bool JobHandler::mWriteDisconnectedJobFile(bool takenAtQuit)
{
    std::string path = DisconnectedJobFiles::PathFor(mController.GetEnvironment().JobCacheFolder,
                                                     mJob.GetComputerName(), mintJobId, takenAtQuit);
    if (mJob.WriteToBinaryFile(path, PrivateFileWriter::Durability::Flushed)) {
        Log::Info("JobHandler::SaveDisconnectedJob - Job(%u) stored as a disconnected job: %s", mintJobId, path);
        mblnStored = true;
        mRemember();
        return true;
    }
    Log::Error("JobHandler::SaveDisconnectedJob - Job(%u) could not be stored in %s.", mintJobId, path);
    return false;
}

// Everything here is local (CUPS and the job cache folder), so the quit
// stays quick. A job answered already, or that the server recorded or holds
// for release, is left as it is; a job to be cancelled is cancelled, and one
// CUPS names no printer for prints untracked, as it would have. Any other
// job is read from CUPS when it was not yet, priced by CUPS's default page
// set when its page data never came, stored, and only then answered print.
void JobHandler::KeepJobAfterQuit() noexcept
{
    mKeepJobUnanswered("the client quits");
}

// As at a quit, for a job whose handling failed before its answer: it prints
// only with its record, so one that has none yet is stored first.
void JobHandler::mAnswerAfterFailure() noexcept
{
    mKeepJobUnanswered("its handling failed");
}

void JobHandler::mKeepJobUnanswered(const char* occasion) noexcept
{
    try {
        if (mConnection->HasAnswered())
            return;
        if (mIsCancelled()) {
            mCancelJob(true);
            return;
        }
        if (mblnRecordedByServer || mblnHeldByServer || mblnStored) {
            SendCompleteJobMessageToCUPS();
            return;
        }
        if (mstrQueueName.empty()) {
            CupsJobHelper::QueryEnvironment(mJob, mController.GetEnvironment());
            CupsJobHelper::QuerySpooler(mJob, mintJobId);
            mstrQueueName = CupsJobHelper::GetQueueName(mJob.GetPrinter());
        }
        if (!mJob.IsTracked() || mJob.GetPrinter().Name.empty() || mJob.GetPrinter().Port.empty()) {
            SendCompleteJobMessageToCUPS();
            return;
        }
        // A job whose server calls had failed already is handled as the
        // settings say for jobs taken while the server was away.
        const bool takenOffline = mJob.IsDisconnected();
        if (takenOffline && (mSettings.AuthenticationType != 0
                             || mSettings.DisconnectedJobOption == CVDisconnectedJobCancel)) {
            mJob.TrackOption = CVTrackOptionCancel;
            mCancelJob(true);
            return;
        }
        if (takenOffline && mSettings.DisconnectedJobOption == CVDisconnectedJobPrintUntracked) {
            SendCompleteJobMessageToCUPS();
            return;
        }
        // Page data asked for is taken first, and the job stored with it.
        if (mblnPageDataAsked) {
            ClientMessage answer = mTakePageData();
            if (answer.Is(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure)) {
                Log::Info("JobHandler - Job(%u): the hook left before it sent the page data; nothing is recorded "
                          "for this run of the job.",
                          mintJobId);
                mConnection->MarkHookGone();
                return;
            }
            SetJobPropertiesFromPrintStream(answer);
        }
        if (mJob.Costing.PageSets.empty())
            mUseDefaultPageSet();
        mJob.SetDisconnected(true);
        if (!mWriteDisconnectedJobFile(!takenOffline)) {
            mHoldJob(stringFormat("%s and the job could not be stored for the server.", occasion).c_str());
            return;
        }
        Log::Info("JobHandler - Job(%u) prints as %s; it is kept for the server.", mintJobId, occasion);
        SendCompleteJobMessageToCUPS();
    } catch (const std::exception& error) {
        Log::Error("JobHandler - Job(%u) could not be stored as %s: %s", mintJobId, occasion, error.what());
        mHoldJobNoThrow();
    } catch (...) {
        Log::Error("JobHandler - Job(%u) could not be stored as %s.", mintJobId, occasion);
        mHoldJobNoThrow();
    }
}

void JobHandler::mHoldJobNoThrow() noexcept
{
    try {
        mHoldJob("the job could not be stored for the server.");
    } catch (...) {
        mblnHeld = true;
    }
}

}  // namespace CVCoreDataServices
