#include "Core/Services/JobHandler.h"

#include "Core/CVModels/JobProcessingTypes.h"
#include "Core/CVModels/LocalFiles/SecureFileHandler.h"
#include "Core/CVModels/SecureSubmitPayloadResult.h"
#include "Core/CVModels/UIMessage.h"
#include "Core/Services/CVTrackOption.h"
#include "Core/Services/IUIController.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"
#include "Platform/SealedFile.h"

#include <string>
#include <sys/stat.h>

// Secure release: the job's print data goes to the server, which holds it
// until the user releases it at a printer; and the job's payload file, the
// hook's copy of the CUPS data, goes in every case.

namespace CVCoreDataServices {

using Log = ComponentLog<LogComponents::CoreJobHandling>;
using SecureLog = ComponentLog<LogComponents::Secure>;

// A secured job is uploaded unless the start steps failed or the job was
// cancelled. Its local job is cancelled whatever the upload gives: a
// document meant to wait for its owner at a printer never comes out of this
// one unattended. A job the server holds is neither stored as a disconnected
// job nor cancelled as refused; a job whose upload failed is cancelled as
// refused (never printed, stored or reported as printed), and the user is
// told that it could not be secured.
void JobHandler::mSubmitSecurePayload(bool ok)
{
    Log::Debug("Time to see if we want to send a secure payload..");
    Log::Debug("datasuccess= %s  TrackOption=%d  SecureOption=%d", ok ? "YES" : "NO", mJob.TrackOption,
               mJob.SecureOption);
    if (!ok || mIsCancelled() || mJob.SecureOption < CVSecureOptionSecuredWithoutBalance)
        return;

    // Committed from here: the local job is cancelled whatever the upload
    // gives, also when the client quits meanwhile.
    if (!mConnection->DecideCancel())
        return;
    // Only the copy the hook sealed when it took the job goes to the server,
    // the bytes it counted: the payload file is its owner's, who may have
    // written another document into it since. Without the sealed copy the
    // release fails, and nothing, least of all another document, is uploaded.
    CVClientData::SecureSubmitPayloadResult result;
    struct stat sealed {};
    bool submitted = mSealedPayload != nullptr && Platform::IsSealedFile(mSealedPayload->fd)
                     && fstat(mSealedPayload->fd, &sealed) == 0 && sealed.st_size > 0;
    if (submitted) {
        Log::Debug("Send the secure payload...");
        submitted = mWebDataService.SubmitSecureJob(mJob, mSealedPayload->fd, result, CVSecureJobDataSpoolFile, false);
    } else {
        Log::Error("JobHandler::HandleJob - Job(%u) came without the hook's sealed copy of its data, or it is empty.",
                   mintJobId);
    }
    SecureLog::Debug("SecureResults:\nAutoReleased: %d\nReleasedTo: %s", result.AutoReleased ? 1 : 0,
                     result.ReleasedTo);

    UIMessage message;
    message.CancellationReason = mJob.CancelReason;
    if (!submitted) {
        Log::Error("JobHandler::HandleJob - Job(%u) could not be secured on the server; it is cancelled.", mintJobId);
        mCancelJob(true);
        message.Title = "Failed to Secure";
        mUIController.DisplaySecureMessage(message);
        return;
    }
    mblnHeldByServer = true;
    mCancelJob(false);
    if (mSettings.AlwaysPopSecure) {
        message.Title = "Job Secured";
        message.Message = mJob.DocumentName;
        mUIController.DisplaySecureMessage(message);
    }
}

// Runs on every path out of the job thread, also after an exception, so it
// must not throw.
void JobHandler::mDeleteSecurePayload() noexcept
{
    if (mblnPayloadDeleted)
        return;
    mblnPayloadDeleted = true;
    try {
        SecureFileHandler().DeleteSecurePayload(std::to_string(mintJobId));
    } catch (const std::exception& error) {
        Log::Error("JobHandler - the payload of job %u could not be removed: %s", mintJobId, error.what());
    } catch (...) {
        Log::Error("JobHandler - the payload of job %u could not be removed.", mintJobId);
    }
}

}  // namespace CVCoreDataServices
