#include "Common/StringFormat.h"
#include "Core/CVModels/Application.h"
#include "Core/CVModels/ClientSettings.h"
#include "Core/WebServiceConnection/ServiceText.h"
#include "Core/WebServiceConnection/UrlEscape.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <nlohmann/json.hpp>

// The client's configuration from the server: the client settings,
// "GET printapi/settings/<computer>", whose answer is reused for 25 s from
// the local settings file, and the special application list.

using Log = ComponentLog<LogComponents::CoreMessaging>;

namespace CVClientData {

// Fills the settings for the computer, keeping the record's own file path.
// Within 25 s of the last successful answer the local file is read instead.
bool WebDataService::GetClientSettings(const std::string& computerName, ClientSettings& settings)
{
    Log::Debug("Checking if we should get a new client settings object...");
    bool lastStatus = false;
    bool fresh = mWithStatus([&lastStatus](WebDataStatus& status) {
        lastStatus = status.GetLastSettingsStatus();
        return !status.ClientSettingsRequiresRefresh();
    });
    if (fresh) {
        Log::Debug("Successive client settings request detected. Returning last client settings state.");
        settings.FromLocalStorageFile();
        return lastStatus;
    }

    Log::Debug("Computer name: %s", computerName);
    WebDataServiceResponse response;
    // Host names need no escaping; anything else must not change the path.
    // Only a settings object read whole stamps the time (SetSettingsStatus).
    bool ok = mCall("GetClientSettings", RequestKind::Unauthenticated, "GET",
                    mUrlFor("printapi/settings/" + UrlEscape(computerName)), std::string(), response, false);
    if (ok) {
        Log::Debug("%s", response.mstrBody);
        Log::Debug("     Settings file: %s", settings.GetLocalStoragePath());
        nlohmann::json answer = nlohmann::json::parse(response.mstrBody, nullptr, false);
        try {
            ClientSettings received;
            received.FromJson(RequireObject(answer));
            settings.CopySettingsFrom(received);
        } catch (const nlohmann::json::exception&) {
            ok = false;
            Log::Error("Error: The client settings answer is not a settings object.");
            mLogOperationError("GetClientSettings", response);
        }
    }
    mWithStatus([ok](WebDataStatus& status) { status.SetSettingsStatus(ok); });
    return ok;
}

// Replaces the list with the server's special applications. The answer does
// not count as a sign of life (no ping stamp).
bool WebDataService::GetSpecialAppList(std::vector<Application>& applications)
{
    WebDataServiceResponse response;
    if (!mCall("GetAppList", RequestKind::Unauthenticated, "GET", mUrlFor("printapi/appList"), std::string(),
               response, false))
        return false;
    return mReadAnswer("GetAppList", response, [&applications](const nlohmann::json& answer) {
        applications = ReadRecordArray<Application>(answer);
    });
}

}  // namespace CVClientData
