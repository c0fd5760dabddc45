#include "Core/WebServiceConnection/JobToServiceJsonConversion.h"
#include "Core/WebServiceConnection/LogRedaction.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <curl/curl.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <stdexcept>

// What every endpoint operation shares: running its request, classifying the
// status, reading the answer safely, the failure line, and the check of the
// address a secure payload goes to.

using Log = ComponentLog<LogComponents::CoreMessaging>;

namespace CVClientData {

namespace {

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
    Log::Debug("%s: unusable answer (%s)", operation, problem);
    mLogOperationError(operation, response);
    return false;
}

// Logs an endpoint's failure with the HTTP status and the answer body.
void WebDataService::mLogOperationError(const char* operation, const WebDataServiceResponse& response) const
{
    Log::Error("Error: %ld, %s: %s", static_cast<long>(response.mintStatus), operation, mLogSafe(response.mstrBody));
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
    Log::Error("Error: Function not implmented: %s", operation);
    throw std::logic_error("NOT IMPLEMENTED EXCEPTION!");
}

// An absolute https address with a host and without credentials of its own.
bool WebDataService::mIsPayloadAddress(const std::string& url)
{
    std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
        return false;
    auto scheme = UrlPart(parsed.get(), CURLUPART_SCHEME, 0);
    auto host = UrlPart(parsed.get(), CURLUPART_HOST, 0);
    return scheme == "https" && host && !host->empty() && !UrlPart(parsed.get(), CURLUPART_USER, 0)
           && !UrlPart(parsed.get(), CURLUPART_PASSWORD, 0);
}

// The job in service form, with this client's version.
bool WebDataService::JobToServiceJsonConversion(const ClientJob& job, std::string& out, bool full) const
{
    return CVClientData::JobToServiceJsonConversion(job, out, full, GetClientVersion());
}

}  // namespace CVClientData
