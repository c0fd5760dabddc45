#include "Core/Services/JobHandler.h"

#include "Core/CupsAccess/CupsRequest.h"
#include "CoreLogger/ComponentLog.h"

// The job thread's answers to the hook and its cancels in CUPS.

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreJobHandling>;

// A cancel decided for the job: in CUPS, then to the hook.
void JobHandler::SendCancelJobMessageToCUPS()
{
    mCancelJob(true);
}

// Tells the hook to print the job.
void JobHandler::SendCompleteJobMessageToCUPS()
{
    Log::Debug("Sending complete job message");
    mConnection->SendFinalAnswer(ClientMessageSubType::JobCompleted);
}

// The job is cancelled in CUPS once; a second cancel would only fail on a
// job that is gone. The hook is told after CUPS, so that it ends knowing the
// job is cancelled. A job the hook was already told to print (the client
// quits) is not cancelled.
void JobHandler::mCancelJob(bool cancelDecided)
{
    Log::Debug("Sending cancel job message");
    if (cancelDecided)
        mblnCancelDecided = true;
    if (!mConnection->DecideCancel())
        return;
    if (!mblnCancelledInCups) {
        mblnCancelledInCups = true;
        CVClientData::CupsRequest::CancelJob(mstrQueueName, static_cast<int>(mintJobId));
    }
    mConnection->SendFinalAnswer(ClientMessageSubType::JobCancelled);
}

}  // namespace CVCoreDataServices
