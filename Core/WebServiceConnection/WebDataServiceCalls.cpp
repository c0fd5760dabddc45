#include "Common/StringFormat.h"
#include "Core/WebServiceConnection/JobToServiceJsonConversion.h"
#include "Core/WebServiceConnection/LogRedaction.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/Logger.h"

#include <curl/curl.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <stdexcept>

// What every endpoint operation shares: running its request, classifying the
// status, reading the answer safely, the failure line, and the check that a
// bearer token goes only to the service's own address.

namespace CVClientData {

namespace {

// Scheme, host and port of an address, as libcurl reads them.
struct Origin {
    std::string scheme;
    std::string host;
    std::string port;
};

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// One part of a parsed address, lower-cased; nullopt when it is missing.
std::optional<std::string> UrlPart(CURLU* url, CURLUPart part, unsigned int flags)
{
    char* text = nullptr;
    if (curl_url_get(url, part, &text, flags) != CURLUE_OK || text == nullptr)
        return std::nullopt;
    std::string value(text);
    curl_free(text);
    std::transform(value.begin(), value.end(), value.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return value;
}

// The origin of an absolute http(s) address; nullopt for anything else.
std::optional<Origin> OriginOf(const std::string& address)
{
    std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, address.c_str(), 0) != CURLUE_OK)
        return std::nullopt;
    auto scheme = UrlPart(url.get(), CURLUPART_SCHEME, 0);
    auto host = UrlPart(url.get(), CURLUPART_HOST, 0);
    auto port = UrlPart(url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (!scheme || !host || !port)
        return std::nullopt;
    return Origin{*scheme, *host, *port};
}

}  // namespace

// One endpoint request and the classification of its status.
bool WebDataService::mCall(const char* operation, RequestKind kind, const std::string& method,
                           const std::string& url, const std::string& body, WebDataServiceResponse& response,
                           bool stampPing)
{
    if (kind == RequestKind::Authenticated)
        ExecuteAuthenticatedRequest(response, url, body, method);
    else
        ExecuteUnauthenticatedRequest(response, url, body, method);
    if (response.mintStatus != 200) {
        if (operation != nullptr)
            mLogOperationError(operation, response);
        return false;
    }
    if (stampPing)
        mWithStatus([](WebDataStatus& status) { status.UpdatePingTime(); });
    return true;
}

// Parses the answer strictly and lets the reader take it; whatever the reader
// cannot take is the operation's failure, not an exception.
bool WebDataService::mReadAnswer(const char* operation, const WebDataServiceResponse& response,
                                 const std::function<void(const nlohmann::json&)>& reader)
{
    nlohmann::json answer = nlohmann::json::parse(response.mstrBody, nullptr, false);
    std::string problem;
    if (answer.is_discarded()) {
        problem = "not JSON";
    } else {
        try {
            reader(answer);
            return true;
        } catch (const nlohmann::json::exception& error) {
            problem = error.what();
        }
    }
    Logger::Log_Debug(LogComponents::CoreMessaging, stringFormat("%s: unusable answer (%s)", operation, problem));
    mLogOperationError(operation, response);
    return false;
}

// Logs an endpoint's failure with the HTTP status and the answer body.
void WebDataService::mLogOperationError(const char* operation, const WebDataServiceResponse& response) const
{
    Logger::Log_Error(LogComponents::CoreMessaging,
                      stringFormat("Error: %ld, %s: %s", static_cast<long>(response.mintStatus), operation,
                                   mLogSafe(response.mstrBody)));
}

// The text with the held token and every token value blanked out.
std::string WebDataService::mLogSafe(const std::string& text) const
{
    return LogSafeText(text, mHeldToken());
}

// Nothing in the client calls the operations that are not offered; a call is
// a programming error, reported as such.
void WebDataService::mNotImplemented(const char* operation)
{
    Logger::Log_Error(LogComponents::CoreMessaging, stringFormat("Error: Function not implmented: %s", operation));
    throw std::logic_error("NOT IMPLEMENTED EXCEPTION!");
}

// Compares scheme, host and port (default ports filled in) with the service's.
bool WebDataService::mIsServiceAddress(const std::string& url) const
{
    std::string serviceUrl;
    {
        std::lock_guard lock(mLock);
        serviceUrl = mstrServiceUrl;
    }
    std::optional<Origin> target = OriginOf(url);
    std::optional<Origin> service = OriginOf(serviceUrl);
    return target && service && target->scheme == "https" && target->host == service->host
           && target->port == service->port;
}

// The job in service form, with this client's version.
bool WebDataService::JobToServiceJsonConversion(const ClientJob& job, std::string& out, bool full) const
{
    return CVClientData::JobToServiceJsonConversion(job, out, full, GetClientVersion());
}

}  // namespace CVClientData
