#include "Common/StringFormat.h"
#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/SecureSubmitPayloadResult.h"
#include "Core/CVModels/SecureSubmitResult.h"
#include "Core/WebServiceConnection/ServiceText.h"
#include "Core/WebServiceConnection/UrlEscape.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <nlohmann/json.hpp>

// Secure release: the job is submitted first ("POST printapi/securejobs/<type>"),
// then its print data is uploaded to the address the server's answer names.

using Log = ComponentLog<LogComponents::Secure>;

namespace CVClientData {

// Submits the secured job's record; its identifier and the upload address.
bool WebDataService::mSubmitSecureJobRecord(ClientJob& job, CVSecureJobDataType type, SecureSubmitResult& submitted)
{
    Log::Debug("About to attempt to send secured payload...");
    if (!HasToken())
        return false;
    std::string url = mUrlFor(stringFormat("printapi/securejobs/%d", static_cast<int>(type)));
    Log::Debug("Sending payload to %s", url);
    std::string body;
    JobToServiceJsonConversion(job, body, false);
    WebDataServiceResponse response;
    if (!mCall("SubmitSecureJob", RequestKind::Authenticated, "POST", url, body, response))
        return false;
    Log::Debug("Authenticated Request successful.  Let's send the payload...");

    // Without the identifier and the address there is nothing to upload to.
    return mReadAnswer("SubmitSecureJob", response, [&submitted](const nlohmann::json& answer) {
        submitted.FromJson(RequireObject(answer));
        if (submitted.JobIdentifier.empty() || submitted.PayloadUrl.empty())
            throw nlohmann::json::out_of_range::create(403, "JobIdentifier or PayloadUrl missing", &answer);
    });
}

// Submits the secured job and uploads its print data from the file.
bool WebDataService::SubmitSecureJob(ClientJob& job, std::string& filePath, SecureSubmitPayloadResult& result,
                                     CVSecureJobDataType type, bool flag)
{
    SecureSubmitResult submitted;
    if (!mSubmitSecureJobRecord(job, type, submitted))
        return false;
    bool sent = SubmitSecureJobPayload(submitted.JobIdentifier, submitted.PayloadUrl, filePath, result, type, flag);
    Log::Debug("Result of payload send: success = %s", sent ? "true" : "false");
    return sent;
}

// Submits the secured job and uploads its print data from the descriptor.
bool WebDataService::SubmitSecureJob(ClientJob& job, int payload, SecureSubmitPayloadResult& result,
                                     CVSecureJobDataType, bool)
{
    SecureSubmitResult submitted;
    if (!mSubmitSecureJobRecord(job, CVSecureJobDataSpoolFile, submitted))
        return false;
    bool sent = mSendSecurePayload(
        submitted.JobIdentifier, submitted.PayloadUrl,
        [this, payload](WebDataServiceResponse& response, const std::string& url) {
            ExecuteAuthenticatedDescriptorUpload(response, url, payload);
        },
        result);
    Log::Debug("Result of payload send: success = %s", sent ? "true" : "false");
    return sent;
}

// Uploads the file with "PUT" to "<baseUrl>printapi/securejobs/payload/<id>",
// the address the server's answer names (the service itself, or a storage
// host of the same service). The bearer token goes with the upload, so the
// address must be https, verified like every other.
bool WebDataService::SubmitSecureJobPayload(const std::string& jobIdentifier, const std::string& baseUrl,
                                            std::string& filePath, SecureSubmitPayloadResult& result,
                                            CVSecureJobDataType, bool)
{
    return mSendSecurePayload(
        jobIdentifier, baseUrl,
        [this, &filePath](WebDataServiceResponse& response, const std::string& url) {
            ExecuteAuthenticatedFileUpload(response, url, filePath, "PUT");
        },
        result);
}

bool WebDataService::mSendSecurePayload(const std::string& jobIdentifier, const std::string& baseUrl,
                                        const PayloadUpload& upload, SecureSubmitPayloadResult& result)
{
    if (!HasToken())
        return false;
    std::string url = stringFormat("%sprintapi/securejobs/payload/%s", baseUrl, UrlEscape(jobIdentifier));
    if (!mIsPayloadAddress(url)) {
        Log::Error(
            "Error: SubmitSecureJobPayload: refused to send the payload to %s, which is "
            "not an https address without credentials.",
            url);
        return false;
    }
    WebDataServiceResponse response;
    upload(response, url);
    if (response.mintStatus != 200) {
        mLogOperationError("SubmitSecureJobPayload", response);
        return false;
    }
    return mReadAnswer("SubmitSecureJobPayload", response, [&result](const nlohmann::json& answer) {
        ReadRecordOver(answer, result);
        Log::Debug("Secure released to: %s", result.ReleasedTo);
    });
}

}  // namespace CVClientData
