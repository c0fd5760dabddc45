#pragma once

#include "Core/CVClientCommunication/SWThread.h"
#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/JobMessage.h"
#include "Core/Services/FinalAnswerGuard.h"
#include "Core/Services/HookConnection.h"
#include "Core/Services/JobThreadFactory.h"
#include "Platform/ScopedDescriptor.h"

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

class UIMessage;

namespace CVClientData {
class ProcessJobResult;
class WebDataService;
}

namespace CVCoreDataServices {

class IJobController;
class IUIController;

// The thread that carries one print job from the hook's announcement to the
// final answer, print ('R','Z') or cancel ('R','X'): it reads the job from
// CUPS, looks the printer up on the server, asks the hook for the parsed page
// sets, runs the server's start rules, the balance check, the pop-up and the
// end rules, handles snoozed, secured and disconnected jobs, and reports the
// printed job to the controller.
//
// Every path, exceptions included, ends with exactly one final answer on the
// connection, the job's secure payload file removed and the connection
// closed. A job whose cancel was decided (and sent) is never reported as
// printed afterwards. When the client quits, the controller answers for the
// job (print, or cancel once the job committed to it); the job then stops at
// its next step, reporting nothing and cancelling nothing in CUPS. A tracked
// job answered print that the server has not recorded yet is stored as a
// disconnected job (a local write), so that it is submitted at the next
// start. When the hook goes while the job waits for the user (CUPS cancelled
// the job), the waiting window closes and the job ends there, storing and
// reporting nothing and sending no answer, which nobody would read
// (HookWatchingUserInterface).
//
// The job touches only its own record, channel and copy of the settings;
// shared state is reached through IJobController, the user through
// IUIController (whose calls wait for the user's answer on the main thread).
//
// The implementation is split by area: JobHandler.cpp (thread, pipeline),
// JobHandlerPrintStream.cpp (page data from the hook, page count),
// JobHandlerAnswers.cpp (answers to the hook and cancels in CUPS),
// JobHandlerSecure.cpp (secure upload, payload removal), JobHandlerRules.cpp
// (start and end rules, authentication, refused messages),
// JobHandlerPopup.cpp (balance check, pop-up) and JobHandlerDisconnected.cpp
// (the disconnected handling).
class JobHandler : public SWThread {
public:
    // Cancel reasons of a refused server message: 15 for a message of source
    // 0, 13 for any other.
    static constexpr int32_t CancelReasonRefusedMessage = 13;
    static constexpr int32_t CancelReasonRefusedSourceZeroMessage = 15;

    // Takes a share of the accepted connection; nothing is sent or received
    // until Run, and the controller is not asked for anything yet.
    JobHandler(uint32_t jobId, std::shared_ptr<HookConnection> connection, IJobController& controller,
               IUIController& userInterface, CVClientData::WebDataService& webService);
    ~JobHandler() override;
    JobHandler(const JobHandler&) = delete;
    JobHandler& operator=(const JobHandler&) = delete;

    // The factory that makes a JobHandler for each announced job, for
    // ClientUICommunicationService::SetJobThreadFactory.
    static JobThreadFactory Factory();

    // Runs the pipeline, makes sure of the final answer and the payload's
    // removal, and closes the connection. Returns 0.
    int Run() override;

    // The pipeline; its argument is not read. Returns true.
    bool HandleJob(bool unused);

    // --- The hook's page data ---
    // Takes the hook's answer to 'R','P' (sent first unless it went out as
    // the printer became known); whether it was 'N','P'.
    bool RequestPageSetDataFromCUPS();
    // Takes the copies, colour, duplex and page sets from an 'N','P' message
    // for this job; any other message leaves the default page set from CUPS.
    void SetJobPropertiesFromPrintStream(const ClientMessage& message);

    // --- Answers to the hook ---
    // Cancels the job in CUPS (once) and answers 'R','X' (unless a final
    // answer went out before).
    void SendCancelJobMessageToCUPS();
    // Answers 'R','Z' (unless a final answer went out before).
    void SendCompleteJobMessageToCUPS();

    // --- Rules, authentication, balance and pop-up; each returns after the
    // user has answered ---
    // False when the server could not be asked.
    bool ProcessJobStartRules();
    bool AuthenticatedUser();
    void CheckBalances();
    void ShowPopupForJob();
    // False when the server could not be asked.
    bool ProcessJobEndRules();
    void UserCancelledJobFromMessage(const CVClientData::JobMessage& message, bool report);

    // --- Disconnected handling (JobHandlerDisconnected.cpp) ---
    // Cancels the job, or prints it (stored for later submission, or
    // untracked) as the settings say; true when the job goes on to print.
    bool HandleJobAsDisconnected();
    // Cancels the job with cancel reason 9, telling the user.
    void CancelDisconnectedJob();
    // Stores a tracked disconnected job in its file (a snoozed one on the
    // server as pending first); whether the job was kept.
    bool SaveDisconnectedJob();
    // The client quits: stores a tracked job that the server has not
    // recorded (written and synced, whatever "DisconnectedJobOption" says:
    // the job was taken while the server answered), then answers print; a
    // job that cannot be stored is held in CUPS.
    void KeepJobAfterQuit() noexcept;

private:
    // Thrown at the job's next step once the client quits; Run ends the job
    // quietly, its hook answered already.
    struct ClientQuitting {};
    void mStopIfClientQuits() const;

    // Steps of the start rules in ProcessJobStartRules's order.
    bool mAuthenticateForStartRules();
    void mShowStartRuleMessages(const std::vector<CVClientData::JobMessage>& messages);
    void mRecordStartRulesCancel(const CVClientData::ProcessJobResult& result);
    void mCheckPendingJobLimit();

    // Whether the server answers, and the client settings then.
    struct ServerState {
        bool reachable = false;
        CVClientData::ClientSettings settings;
    };
    std::future<ServerState> mAskServerState();

    // Steps of the pipeline in HandleJob's order.
    bool mCheckPrinterAndRunStartSteps(bool reachable);
    void mCancelOrAuditDecidedCancel();
    void mRunEndRules();
    void mSubmitSecurePayload(bool ok);
    void mDeleteSecurePayload() noexcept;
    void mSendFinalAnswer();

    // Cancels the job in CUPS (once) and answers 'R','X'. A cancel decided
    // for the job marks it cancelled; the local cancel of a secured job that
    // the server now holds does not.
    void mCancelJob(bool cancelDecided);

    // The job's pages for the zero-page decision: CUPS's count when it has
    // one, else the pages of the page sets the hook parsed.
    uint64_t mJobPageCount() const;
    // Appends the default page set from CUPS, its colour pages counted as
    // black-and-white unless the printer and the job are in colour.
    void mUseDefaultPageSet();
    void mAskForPageData();
    ClientMessage mTakePageData();
    // For page sets the hook could only count as a fallback: raised to CUPS's
    // count when that is larger, in black and white on a printer without
    // colour, and logged.
    void mApplyFallbackCount();
    // Makes the job untracked, unless its cancel was decided already.
    void mIgnoreJob(const char* why);
    // Whether the job is to be cancelled, or was.
    bool mIsCancelled() const;
    // Shows a message with the job's cancel reason; the user's answer.
    bool mShowJobMessage(UIMessage& message);
    // The alert for a job the rules cancelled: the rules' own message (not an
    // information) when they sent one, else an empty one that only carries
    // the reason.
    static UIMessage mRulesCancelMessage(const std::vector<CVClientData::JobMessage>& messages);
    // Whether a secured job without custom fields to fill may pop up.
    bool mSecureJobMayPopUp() const;
    // Reports the job to the controller as printed, once per job.
    void mReportHandledPrintJob();
    // Writes the job to its disconnected-job file in the job cache folder
    // (marked as taken at a quit when asked), synced to the disk.
    bool mWriteDisconnectedJobFile(bool takenAtQuit = false);
    // Tells the controller that the job's record is at the server or stored.
    void mRemember();
    // Answers 'R','H': CUPS holds the job, which could not be recorded.
    void mHoldJob(const char* why);
    void mHoldJobNoThrow() noexcept;
    // After an exception: answers as the job stands (cancel when its cancel
    // was decided, else print).
    void mAnswerAfterFailure() noexcept;
    void mKeepJobUnanswered(const char* occasion) noexcept;
    FinalAnswerGuard::Answer mFallbackAnswer() const noexcept;

    const uint32_t mintJobId;
    IJobController& mController;
    std::shared_ptr<HookConnection> mConnection;
    std::unique_ptr<IUIController> mWatchedUserInterface;  // the user interface, watching the hook while asking
    IUIController& mUIController;
    CVClientData::ClientSettings mSettings;
    bool mblnBatch = false;
    CVClientData::WebDataService& mWebDataService;
    ClientJob mJob;

    std::string mstrQueueName;              // the CUPS queue, for the cancel
    uint64_t mintParsedPages = 0;           // pages of the page sets the hook sent
    bool mblnCancelDecided = false;         // SendCancelJobMessageToCUPS ran for a cancel
    bool mblnRefusalShown = false;          // the user saw why the job is cancelled
    bool mblnCancelledInCups = false;
    bool mblnReportedPrinted = false;
    bool mblnHandledAsDisconnected = false;
    bool mblnPayloadDeleted = false;
    bool mblnHeldByServer = false;          // uploaded for secure release
    bool mblnRecordedByServer = false;      // the end rules (or the pending save) went through
    bool mblnStored = false;                // written to its disconnected-job file
    bool mblnFallbackCount = false;         // the hook could not count the job's data whole
    // The job's data as the hook sealed it, received with the page data: what
    // secure release uploads.
    std::unique_ptr<Platform::ScopedDescriptor> mSealedPayload;
    bool mblnHeld = false;                  // answered 'R','H': no record could be made
    bool mblnPageDataAsked = false;         // 'R','P' went out, its answer not yet read
    bool mblnUserRefreshOwed = false;       // the printed job's user is re-read after the answer
};

}  // namespace CVCoreDataServices
