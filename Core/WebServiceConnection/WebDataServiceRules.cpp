#include "Common/StringFormat.h"
#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/WebDataServiceProcessJobResult.h"
#include "Core/WebServiceConnection/ServiceText.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <nlohmann/json.hpp>

// The server's rules: which authentication a job needs, and the rule stages.
// Both send the job in its slim form.

using Log = ComponentLog<LogComponents::CoreMessaging>;

namespace CVClientData {

// The authentication option the rules choose for the job; the answer is a
// bare decimal number.
bool WebDataService::GetAuthenticationOption(ClientJob& job, CVAuthenticationOption& option)
{
    std::string body;
    JobToServiceJsonConversion(job, body, false);
    WebDataServiceResponse response;
    if (!mCall("GetAuthenticationOption", RequestKind::Unauthenticated, "PUT", mUrlFor("printapi/rules/getauthoption"),
               body, response))
        return false;
    Log::Debug("AuthOption: %s", mLogSafe(response.mstrBody));
    int32_t value = 0;
    if (!ReadDecimal(response.mstrBody, value)) {
        mLogOperationError("GetAuthenticationOption", response);
        return false;
    }
    option = static_cast<CVAuthenticationOption>(value);
    return true;
}

// Runs the rule stages from start to stopAfter; their decisions are written
// into the job and their result handed to the caller. An answer that cannot
// be read whole changes neither.
bool WebDataService::ProcessJob(ClientJob& job, CVJobProcessingStage start, CVJobProcessingStage stopAfter,
                                ProcessJobResult& result)
{
    std::string body;
    JobToServiceJsonConversion(job, body, false);
    std::string url = mUrlFor(stringFormat("printapi/rules/process?startStage=%d&stopAfterStage=%d",
                                           static_cast<int>(start), static_cast<int>(stopAfter)));
    WebDataServiceResponse response;
    if (!mCall("ProcessJob", RequestKind::Authenticated, "PUT", url, body, response))
        return false;
    return mReadAnswer("ProcessJob", response, [&job, &result](const nlohmann::json& answer) {
        WebDataServiceProcessJobResult received;
        received.FromJson(RequireObject(answer));
        received.MapProcessResultsToJob(job);
        result = static_cast<const ProcessJobResult&>(received);
    });
}

}  // namespace CVClientData
