#include "Common/StringFormat.h"
#include "Core/WebServiceConnection/CurlTransfer.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/Logger.h"

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

    Logger::Log_Debug(LogComponents::CoreMessaging, "Pinging the server.");
    WebDataServiceResponse response;
    mExecuteUnauthenticated(response, mUrlFor("printapi/info/ping"), std::string(), "GET", mLimits(LimitKind::Ping));
    lastStatus = mWithStatus([&response](WebDataStatus& status) {
        status.SetPingStatus(response.mintStatus == 200);  // a failure is FailedConnection
        return status.GetLastPingStatus();
    });
    Logger::Log_Debug(LogComponents::CoreMessaging,
                      stringFormat("CanReachCode: %ld", static_cast<long>(response.mintStatus)));
    Logger::Log_Debug(LogComponents::CoreMessaging, stringFormat("CanReach: %s ", response.mstrBody));
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
        Logger::Log_Debug(LogComponents::CoreMessaging,
                          stringFormat("Successive ping detected. Returning last ping state. %d", lastStatus));
    return fresh;
}

}  // namespace CVClientData
