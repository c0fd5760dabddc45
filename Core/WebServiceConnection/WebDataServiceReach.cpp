#include "Core/WebServiceConnection/CurlTransfer.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

using Log = ComponentLog<LogComponents::CoreMessaging>;

namespace CVClientData {

// Whether the server answers "printapi/info/ping". An answer less than 15 s
// old is reused; threads that need a new one while a ping is under way wait
// for it and take its answer.
bool WebDataService::CanReach()
{
    bool lastStatus = false;
    if (mPingAnswerIsFresh(lastStatus))
        return lastStatus;
    std::lock_guard pingLock(mPingLock);
    if (mPingAnswerIsFresh(lastStatus))
        return lastStatus;

    Log::Debug("Pinging the server.");
    WebDataServiceResponse response;
    mExecuteUnauthenticated(response, mUrlFor("printapi/info/ping"), std::string(), "GET", mLimits(LimitKind::Ping));
    lastStatus = mWithStatus([&response](WebDataStatus& status) {
        status.SetPingStatus(response.mintStatus == 200);  // a failure is FailedConnection
        return status.GetLastPingStatus();
    });
    if (!lastStatus)
        Log::Error("Unable to reach the server %s: HTTP status %ld.", GetServiceUrl(),
                   static_cast<long>(response.mintStatus));
    Log::Debug("CanReachCode: %ld", static_cast<long>(response.mintStatus));
    Log::Debug("CanReach: %s ", response.mstrBody);
    return lastStatus;
}

// True, with the last answer, while the last ping is less than 15 s old.
bool WebDataService::mPingAnswerIsFresh(bool& lastStatus)
{
    bool fresh = mWithStatus([&lastStatus](WebDataStatus& status) {
        lastStatus = status.GetLastPingStatus();
        return !status.PingRequiresRefresh();
    });
    if (fresh)
        Log::Debug("Successive ping detected. Returning last ping state. %d", lastStatus);
    return fresh;
}

}  // namespace CVClientData
