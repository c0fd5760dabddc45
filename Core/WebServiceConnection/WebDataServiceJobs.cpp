#include "Common/StringFormat.h"
#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/PendingJobList.h"
#include "Core/WebServiceConnection/JobToServiceJsonConversion.h"
#include "Core/WebServiceConnection/LogRedaction.h"
#include "Core/WebServiceConnection/ServiceText.h"
#include "Core/WebServiceConnection/UrlEscape.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <nlohmann/json.hpp>

#include <memory>

// The job endpoints: printed, pending and disconnected jobs, the user's
// pending list and cancel events. They all send the job in its full form.

using Log = ComponentLog<LogComponents::CoreMessaging>;

namespace CVClientData {

// Records a printed job.
bool WebDataService::SaveJob(ClientJob& job)
{
    std::string body;
    JobToServiceJsonConversion(job, body, true);
    WebDataServiceResponse response;
    return mCall("Save Job", RequestKind::Authenticated, "POST", mUrlFor("printapi/jobs"), body, response);
}

// Stores the job as pending; the server's answer is the job's new id.
bool WebDataService::SavePendingJob(ClientJob& job)
{
    std::string body;
    JobToServiceJsonConversion(job, body, true);
    WebDataServiceResponse response;
    if (!mCall("Save Pending Job", RequestKind::Authenticated, "POST", mUrlFor("printapi/pendingjobs"), body,
               response))
        return false;
    uint64_t id = 0;
    if (!ReadDecimal(response.mstrBody, id)) {
        mLogOperationError("Save Pending Job", response);
        return false;
    }
    job.Id = id;
    return true;
}

// Submits a job taken while the server was unreachable.
bool WebDataService::SaveDisconnectedJob(ClientJob& job)
{
    nlohmann::json json = JobToServiceJson(job, true, GetClientVersion());
    Log::Info("%s", LogSafeDump(json, mHeldToken()));
    WebDataServiceResponse response;
    if (mCall(nullptr, RequestKind::Authenticated, "POST", mUrlFor("printapi/disconnectedjobs"), CompactDump(json),
              response))
        return true;
    if (response.mintStatus == 500)
        Log::Error("Error: %ld, Save Disconnected Job: Error trying to handle a disconnected job.",
                   static_cast<long>(response.mintStatus));
    else
        mLogOperationError("Save Disconnected Job", response);
    return false;
}

// Appends the user's pending jobs to the list; an answer that cannot be read
// whole adds none.
bool WebDataService::GetPendingJobs(PendingJobList& jobs)
{
    WebDataServiceResponse response;
    if (!mCall("GetPendingJobs", RequestKind::Authenticated, "GET", mUrlFor("printapi/pendingjobs"), std::string(),
               response))
        return false;
    Log::Debug("Pending jobs: %s", mLogSafe(response.mstrBody));
    return mReadAnswer("GetPendingJobs", response, [&jobs](const nlohmann::json& answer) {
        std::vector<std::unique_ptr<ClientJob>> received;
        for (const nlohmann::json& element : RequireArray(answer)) {
            auto job = std::make_unique<ClientJob>();
            job->FromJson(RequireObject(element));
            received.push_back(std::move(job));
        }
        jobs.Add(std::move(received));
    });
}

// Records why the job was cancelled, with the rule's message (when there is
// one) in the query, escaped and in double quotes.
bool WebDataService::AddJobCancelEvent(ClientJob& job, CVJobCancellationReason reason, std::string message)
{
    Log::Debug("Job cancelled, Reason: %ul  Rule: %s", static_cast<unsigned int>(reason), message);
    if (!HasToken())
        return false;
    std::string url = mUrlFor(stringFormat("printapi/jobs/cancelevent/%d", static_cast<int>(reason)));
    if (!message.empty())
        url += "?eventMesg=\"" + UrlEscape(message) + "\"";
    std::string body;
    JobToServiceJsonConversion(job, body, true);
    WebDataServiceResponse response;
    if (mCall(nullptr, RequestKind::Authenticated, "POST", url, body, response))
        return true;
    Log::Error("Error: %ld, Adding job cancel event failed for job: %ld. Error message: %s",
               static_cast<long>(response.mintStatus), static_cast<long>(job.Id), mLogSafe(response.mstrBody));
    return false;
}

// Not offered.
bool WebDataService::SetCustomFieldsForJob(ClientJob&)
{
    mNotImplemented("SetCustomFieldsForJob");
}

}  // namespace CVClientData
