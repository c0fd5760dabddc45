#include "Core/Services/JobHandler.h"

#include "Core/Services/JobHandlerLog.h"

// The job thread's handling of a job whose server calls failed: by the
// settings' "DisconnectedJobOption" and "AuthenticationType" it is cancelled,
// printed untracked, or printed and stored as a disconnected job (or, when
// snoozed, saved as pending) to be sent to the server later.
//
// NOT BUILT YET: the store of disconnected jobs does not exist, so these
// operations decide nothing and store nothing. Until they do, a job that
// takes the disconnected path goes on through the pipeline and is printed
// (reported to the controller and answered 'R','Z' at the last step) without
// being recorded anywhere; each call logs an error line saying so.
//
// For whoever builds them: the pipeline calls HandleJobAsDisconnected once per
// job, at the step where the job became disconnected, with the options'
// "DisconnectedJob" flag set. Cancel through SendCancelJobMessageToCUPS (it
// marks the job cancelled, so that the last step neither reports it as
// printed nor answers again); report a printed job through
// mReportHandledPrintJob (once per job) and answer through
// SendCompleteJobMessageToCUPS (the hook acts on the first final answer only).

namespace CVCoreDataServices {

using namespace JobLog;

// Not built yet: logs that the job is printed unrecorded; decides nothing.
bool JobHandler::HandleJobAsDisconnected()
{
    Debug("JobHandler::HandleJobAsDisconnected - Job handling cannot reach server. Handling disconnected job.");
    Error("JobHandler::HandleJobAsDisconnected - Job(%u): disconnected jobs cannot be kept by this client; the job "
          "is printed without being recorded.",
          mintJobId);
    return false;
}

// Not built yet: logs only; the job is not cancelled here.
void JobHandler::CancelDisconnectedJob()
{
    Error("JobHandler::CancelDisconnectedJob - Job(%u): not available; the job is not cancelled here.", mintJobId);
}

// Not built yet: logs only; nothing is stored, so it does not claim success.
bool JobHandler::SaveDisconnectedJob()
{
    Error("JobHandler::SaveDisconnectedJob - Job(%u): not available; the job is not stored.", mintJobId);
    return false;
}

}  // namespace CVCoreDataServices
