#include "Common/StringFormat.h"
#include "Core/WebServiceConnection/ServiceText.h"
#include "Core/WebServiceConnection/UrlEscape.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <limits>
#include <optional>

// The logo check, "GET printapi/settings/logo?logodate=<date>.000Z", asked at
// most twice a day.

using Log = ComponentLog<LogComponents::CoreMessaging>;

namespace CVClientData {

// Checks the logo against the change date held. Within twelve hours of the
// last check the stored result answers (a new logo then counts as unchanged).
// A new logo brings its bytes and its change date, as the header gives it.
bool WebDataService::GetClientLogo(ClientLogoResult& result, std::string& data, std::string& date)
{
    Log::Debug("Checking if we should get a new client logo ...");
    std::optional<ClientLogoResult> recent = mWithStatus([](WebDataStatus& status) -> std::optional<ClientLogoResult> {
        if (status.ClientLogRequiresRefresh())
            return std::nullopt;
        return status.GetClientLogoResult();
    });
    if (recent) {
        result = *recent == NewLogo ? LogoUnchanged : *recent;
        return true;
    }

    // The date comes from a response header as it was sent; blanks and the
    // line's carriage return must not reach the query, nor any character
    // that would change the address.
    std::string url = mUrlFor(stringFormat("printapi/settings/logo?logodate=%s.000Z", UrlEscape(TrimWhiteSpace(date))));
    WebDataServiceResponse response;
    ExecuteUnauthenticatedRequestForFile(response, url, std::string(), "GET");
    if (response.mintStatus != 200) {
        mLogOperationError("GetClientLogo", response);
        return false;
    }
    mWithStatus([](WebDataStatus& status) { status.UpdateLogoTime(); });

    long received = 0;
    if (!GetHeaderValue("X-CV-LogoResult", response.mstrHeaders, received))
        return true;
    if (received < std::numeric_limits<int32_t>::min() || received > std::numeric_limits<int32_t>::max()) {
        mLogOperationError("GetClientLogo", response);
        return false;
    }
    result = static_cast<ClientLogoResult>(received);
    if (result != NewLogo) {
        Log::Debug("No change to logo: %d", static_cast<int>(result));
    } else {
        Log::Debug("New logo from server");
        data = std::move(response.mstrBody);
        GetHeaderValue("X-CV-LogoChangeDate", response.mstrHeaders, date);
    }
    mWithStatus([result](WebDataStatus& status) { status.SetLogoResutl(result); });
    return true;
}

}  // namespace CVClientData
