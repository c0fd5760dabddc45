#include "Core/Services/JobHandler.h"

#include "Core/CVClientCommunication/IJobController.h"
#include "Core/CVModels/JobCalculations.h"
#include "Core/CVModels/JobProcessingTypes.h"
#include "Core/CVModels/UIMessage.h"
#include "Core/CupsAccess/CupsJobHelper.h"
#include "Core/Services/CVTrackOption.h"
#include "Core/Services/HookWatchingUserInterface.h"
#include "Core/Services/IUIController.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <exception>
#include <future>
#include <system_error>
#include <utility>

// The job thread and the order of its pipeline.

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreJobHandling>;
using SecureLog = ComponentLog<LogComponents::Secure>;
using CupsLog = ComponentLog<LogComponents::CoreCups>;
using CVClientData::CupsJobHelper;

namespace {

// The HTTP status of a printer look-up that makes the job be cancelled.
constexpr long PrinterLookupServerError = 500;

}  // namespace

JobHandler::JobHandler(uint32_t jobId, std::shared_ptr<HookConnection> connection, IJobController& controller,
                       IUIController& userInterface, CVClientData::WebDataService& webService)
    : mintJobId(jobId),
      mController(controller),
      mConnection(std::move(connection)),
      mWatchedUserInterface(std::make_unique<HookWatchingUserInterface>(userInterface, *mConnection, jobId)),
      mUIController(*mWatchedUserInterface),
      mWebDataService(webService)
{
    Logger::Log_Debug_Start(LogComponents::CoreJobHandling, "JobHandler");
}

// The thread may still be waiting for the hook or the user when the
// controller deletes the handler at shutdown; the controller has woken both.
JobHandler::~JobHandler()
{
    Terminate(true);
}

// Makes a JobHandler, not yet started, for each announced job.
JobThreadFactory JobHandler::Factory()
{
    return [](uint32_t jobId, std::shared_ptr<HookConnection> connection, IJobController& controller,
              IUIController& userInterface, CVClientData::WebDataService& webService) -> std::unique_ptr<SWThread> {
        return std::make_unique<JobHandler>(jobId, std::move(connection), controller, userInterface, webService);
    };
}

// The final answer, the payload's removal and the close of the connection
// are owned by scope guards, so that an exception out of any step still
// answers the hook exactly once, leaves no copy of the user's document behind
// and closes the connection last.
int JobHandler::Run()
{
    struct Closer {
        JobHandler& handler;
        ~Closer()
        {
            handler.mDeleteSecurePayload();
            handler.mConnection->Disconnect();
        }
    } closer{*this};
    FinalAnswerGuard answer(*mConnection, [this] { return mFallbackAnswer(); });
    try {
        HandleJob(false);
    } catch (const ClientQuitting&) {
        Log::Debug("JobHandler::Run - the client quits; job %u ends here, answered for it.", mintJobId);
        KeepJobAfterQuit();
    } catch (const HookWatchingUserInterface::HookGone&) {
        Log::Info("JobHandler::Run - job %u ends here: its hook went while the user was asked; nothing is saved, "
                  "reported or printed.",
                  mintJobId);
    } catch (const std::exception& error) {
        Log::Error("JobHandler::Run - handling job %u failed: %s", mintJobId, error.what());
        mAnswerAfterFailure();
    } catch (...) {
        Log::Error("JobHandler::Run - handling job %u failed.", mintJobId);
        mAnswerAfterFailure();
    }
    return 0;
}

// Ends the job at this step when the client quits.
void JobHandler::mStopIfClientQuits() const
{
    if (mConnection->ClientQuits())
        throw ClientQuitting{};
}

// Carries the job from CUPS's attributes to the final answer.
bool JobHandler::HandleJob(bool)
{
    // The job, its printer and driver from CUPS; meanwhile the server's
    // reachability and the client settings, which do not depend on them.
    mStopIfClientQuits();
    std::future<ServerState> serverState = mAskServerState();
    CupsJobHelper::QueryEnvironment(mJob, mController.GetEnvironment());
    // The hook parses the job from the moment the printer is known, as the
    // job then asks for page data whatever comes.
    CupsJobHelper::QuerySpooler(mJob, mintJobId, [this] {
        if (!mJob.GetPrinter().Name.empty() && !mJob.GetPrinter().Port.empty())
            mAskForPageData();
    });
    // The server's printer record replaces the printer later; the queue to
    // cancel in is the one CUPS named.
    mstrQueueName = CupsJobHelper::GetQueueName(mJob.GetPrinter());
    mStopIfClientQuits();
    // An id counts as handled once the job's record is at the server or
    // stored (mRemember): a run of the job that CUPS starts again after that
    // (cupsd restarted while it printed) prints without a second record,
    // while a run that ended before its record was made leaves nothing
    // behind and the next run is a new job.
    Log::Debug("JobHandler::HandleJob - Job starting(%llu) - Received job from print subsystem.  Process is: %s",
               static_cast<unsigned long long>(mJob.CupsId), mJob.ProcessName);

    // The key the server knows the printer by.
    CVClientData::Printer& printer = mJob.GetPrinter();
    printer.LogicalKey = stringFormat("\\\\%s\\%s", mJob.GetComputerName(), printer.ManufacturerModel);
    CupsLog::Debug("Printer LogicalKey:   '%s'", printer.LogicalKey);
    CupsLog::Debug("Printer NetworkShare: '%s'", printer.NetworkShare);
    CupsLog::Debug("Printer Name:         '%s'", printer.Name);

    // The settings, refreshed from the server when it answers; the
    // controller's cached settings when it does not.
    ServerState state = serverState.get();
    bool ok = state.reachable;
    mSettings = std::move(state.settings);

    // Whether the pop-up must come early (bit 0: it cannot come late).
    if (mJob.Options.IsSpoolerJob && mJob.TrackOption != CVTrackOptionCancel)
        mJob.PrinterPopEarly = !mJob.Options.CanPopLate() || mSettings.AlwaysPopEarly;

    // The printer, the page data, the start rules, the balance and
    // the early pop-up.
    ok = mCheckPrinterAndRunStartSteps(ok);
    mStopIfClientQuits();

    // A decided cancel, unless the rules only audit.
    mCancelOrAuditDecidedCancel();

    // A job without logical pages is not tracked.
    CVClientData::JobCalculations calculations;
    mJob.UpdateCalcs(calculations);
    Log::Debug("LogicalPages = %d", calculations.LogicalPages);
    if (calculations.LogicalPages == 0)
        mIgnoreJob("JobHandler::HandleJob - Zero page job detected. Ignoring job.");

    // The end rules, the late pop-up and a snoozed job.
    mRunEndRules();
    mStopIfClientQuits();

    // Secure release, then the payload goes, for every job.
    mSubmitSecurePayload(ok);
    mDeleteSecurePayload();
    mStopIfClientQuits();

    // A job that became disconnected after the start steps, unless the
    // server holds it for release.
    if (mJob.IsTracked() && mJob.IsDisconnected() && !mblnHandledAsDisconnected && !mblnHeldByServer) {
        mblnHandledAsDisconnected = true;
        HandleJobAsDisconnected();
    }

    // The final answer.
    mSendFinalAnswer();
    // The printed job's user, re-read from the server once the hook prints.
    if (mblnUserRefreshOwed) {
        mblnUserRefreshOwed = false;
        mController.RefreshLastUser(mJob.GetUser());
    }

    // Jobs stored while the server was away go now, in this user's name.
    mStopIfClientQuits();
    if (!mJob.IsDisconnected() && mSettings.IsAutomaticAuthentication()) {
        Log::Debug("JobHandler::HandleJob - Handling remaining disconnected jobs.");
        mController.HandleAllDisconnectedJobs(mJob.GetUser());
    }
    return true;
}

// Whether the server answers, and the client settings refreshed from it
// when it does (the controller's cached ones when it does not), asked on a
// thread of their own so that the job's CUPS queries need not wait for the
// server; on this thread when no thread can be had.
std::future<JobHandler::ServerState> JobHandler::mAskServerState()
{
    auto ask = [this] {
        ServerState state;
        state.reachable = mWebDataService.CanReach();
        if (state.reachable)
            Log::Debug("Updating client settings from server.");
        state.settings = mController.GetClientSettings();
        return state;
    };
    try {
        return std::async(std::launch::async, ask);
    } catch (const std::system_error& error) {
        Log::Debug("JobHandler - no thread to ask the server meanwhile (%s); it is asked after CUPS.", error.what());
        return std::async(std::launch::deferred, ask);
    }
}

// A queue without a printer name or port prints untracked without asking
// the hook for page data. Otherwise a tracked job's printer is looked up on
// the server (a server error there cancels the job), the page data is asked
// for, and a job with pages runs its start rules, balance check and early
// pop-up. A tracked job whose server calls failed is handled as disconnected.
bool JobHandler::mCheckPrinterAndRunStartSteps(bool ok)
{
    CVClientData::Printer& printer = mJob.GetPrinter();
    if (printer.Name.empty() || printer.Port.empty()) {
        mJob.TrackOption = CVTrackOptionIgnore;
        Log::Info("JobHandler::HandleJob - Ignoring job, could not get valid printer information.");
        return ok;
    }

    if (mJob.IsTracked() && (ok || mWebDataService.CanReach())) {
        Log::Debug("Getting printer details for Printer: [%s].", printer.Name);
        long status = 0;
        ok = mWebDataService.GetPrinter(printer, status);
        if (status == PrinterLookupServerError) {
            mJob.TrackOption = CVTrackOptionCancel;
            mJob.CancelReason = CVCancelReasonServerError;
        }
    }
    SecureLog::Debug("Printer QueueId: [%llu].", static_cast<unsigned long long>(printer.SecureQueueId));

    if (mJob.Costing.PageSets.empty() || mblnPageDataAsked)
        RequestPageSetDataFromCUPS();
    if (mJobPageCount() == 0)
        mIgnoreJob("JobHandler::HandleJob - Zero page job from CUPS.");

    if (ok && mJob.IsTracked()) {
        Log::Debug("Begin processing rules.");
        ok = ProcessJobStartRules();
    }
    if (ok) {
        if (mJob.IsTracked() && mJob.SecureOption != CVSecureOptionSecuredWithoutBalance) {
            Log::Debug("Check Balances.");
            CheckBalances();
        }
        if (mJob.TrackOption == CVTrackOptionTrackWithPopup) {
            Log::Debug("Are we popping up?");
            if (mSettings.AlwaysPopEarly && mSecureJobMayPopUp())
                ShowPopupForJob();
        }
    }
    // An untracked job or one to be cancelled needs no server; it prints or
    // is cancelled as decided.
    if (!ok && mJob.IsTracked()) {
        Log::Debug("Looks like we're disconnected.");
        mJob.SetDisconnected(true);
        mblnHandledAsDisconnected = true;
        HandleJobAsDisconnected();
    }
    return ok;
}

// A job carried out already (cancelled by the disconnected handling) gets
// neither a second message nor a second cancel.
void JobHandler::mCancelOrAuditDecidedCancel()
{
    if (mJob.TrackOption != CVTrackOptionCancel || mblnCancelDecided)
        return;
    if (mJob.ForceLateRuleAudit) {
        Log::Info("JobHandler::HandleJob - Job(%llu) was cancelled by rules, but in audit mode, let the job continue. ",
                  static_cast<unsigned long long>(mJob.CupsId));
        mJob.TrackOption = CVTrackOptionTrackSilently;
        return;
    }
    Log::Error("Job being cancelled due to the server.");
    // The job ends before the user is told: the alert only informs, and
    // must not hold the job (and its queue) until it is dismissed.
    SendCancelJobMessageToCUPS();
    // One alert per refusal: a step that cancelled the job and told the user
    // why (the balance, the rules, a refused question) is not told again.
    if (!mblnRefusalShown) {
        UIMessage message;
        mShowJobMessage(message);
    }
}

// A snoozed job is saved as pending on the server; a job whose end rules or
// pending save failed is kept as a disconnected job.
void JobHandler::mRunEndRules()
{
    if (!mJob.IsTracked() || mJob.IsDisconnected())
        return;
    bool ok = ProcessJobEndRules();
    Log::Debug("Job end rules processed ended successfully: %s", ok ? "YES" : "NO");
    if (ok && mJob.IsTracked() && mJob.Options.DelayedJob) {
        Log::Info("JobHandler::HandleJob - Job was snoozed, saving as pending job.");
        if (mWebDataService.SavePendingJob(mJob)) {
            Log::Debug("JobHandler::HandleJob - Update snoozed jobs for user. ");
            mController.UpdateSnoozedJobs(mJob.GetUser());
        } else {
            ok = false;
        }
    }
    if (!ok) {
        Log::Debug("Job is snoozed..");
        mJob.SetDisconnected(true);
    }
    mblnRecordedByServer = ok;
    if (ok)
        mRemember();
}

// The job's record is at the server or stored.
void JobHandler::mRemember()
{
    mController.RememberJobId(mintJobId);
}

// A job whose cancel was decided, at any step, is cancelled and never
// reported as printed; every other job is reported and printed.
void JobHandler::mSendFinalAnswer()
{
    if (mblnHeld) {
        Log::Debug("JobHandler::HandleJob - Job(%u) is held in CUPS.", mintJobId);
    } else if (mIsCancelled()) {
        SendCancelJobMessageToCUPS();
    } else {
        mReportHandledPrintJob();
        SendCompleteJobMessageToCUPS();
    }
    Log::Debug("JobHandler::HandleJob - Finished handling job. ");
}

// A job to be cancelled is never turned into one that prints untracked.
void JobHandler::mIgnoreJob(const char* why)
{
    if (mIsCancelled()) {
        Log::Debug("JobHandler::HandleJob - Job(%u) stays cancelled.", mintJobId);
        return;
    }
    mJob.TrackOption = CVTrackOptionIgnore;
    Log::Info("%s", why);
}

// A cancel decided (track option 4) or carried out at any step.
bool JobHandler::mIsCancelled() const
{
    return mJob.TrackOption == CVTrackOptionCancel || mblnCancelDecided;
}

// Every message shown for a job carries the job's cancel reason, which the
// alert explains. A job already cancelled (and not only audited) is
// cancelled in CUPS and its hook answered before the alert shows: the job
// ends when it is refused, not when the user has read why, and a client
// quitting meanwhile cannot let it print.
bool JobHandler::mShowJobMessage(UIMessage& message)
{
    if (mJob.TrackOption == CVTrackOptionCancel && !mJob.ForceLateRuleAudit) {
        mCancelJob(true);
        mblnRefusalShown = true;
    }
    message.CancellationReason = mJob.CancelReason;
    bool goOn = mUIController.DisplayJobMessage(message);
    mStopIfClientQuits();
    return goOn;
}

// A secured job without custom fields to fill pops up only when the
// settings ask for secured jobs to pop up.
bool JobHandler::mSecureJobMayPopUp() const
{
    return !mJob.IsSecured() || !mJob.Options.CustomField.empty() || mSettings.AlwaysPopSecure;
}

// A job reaches the final answer through the disconnected handling and
// through the last step; either reports it, and the batch advances once.
void JobHandler::mReportHandledPrintJob()
{
    if (mblnReportedPrinted)
        return;
    mblnReportedPrinted = true;
    mController.HandledPrintJobBeforeUserRefresh(mJob);
    mblnUserRefreshOwed = true;
}

// The answer for a job that ended without one: as the job stands.
FinalAnswerGuard::Answer JobHandler::mFallbackAnswer() const noexcept
{
    if (mblnHeld)
        return ClientMessageSubType::JobHeld;
    return mIsCancelled() ? ClientMessageSubType::JobCancelled : ClientMessageSubType::JobCompleted;
}

// A job that must print with a record that could not be made is held in
// CUPS: it prints once the store takes it again and it is released.
void JobHandler::mHoldJob(const char* why)
{
    mblnHeld = true;
    Log::Error("JobHandler - Job(%u) is held in CUPS: %s Free the job cache folder %s, then release the job "
               "(lp -i %u -H resume).",
               mintJobId, why, mController.GetEnvironment().JobCacheFolder, mintJobId);
    mConnection->SendFinalAnswer(ClientMessageSubType::JobHeld);
}

}  // namespace CVCoreDataServices
