#include "Common/StringFormat.h"
#include "Core/WebServiceConnection/CurlConnectionShare.h"
#include "Core/WebServiceConnection/CurlTransfer.h"
#include "Core/WebServiceConnection/UrlEscape.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <new>
#include <optional>

// The request primitives. Each runs one complete transfer on a handle of its
// own, over a connection of the service's share when one is open, and leaves
// the answer in the response; none retries. A transfer that
// fails on the way (no connection, TLS refused, time-out) clears the token of
// the unauthenticated, authenticated and upload kinds, as the server can no
// longer be assumed to hold it.

using Log = ComponentLog<LogComponents::CoreMessaging>;
using SecureLog = ComponentLog<LogComponents::Secure>;

namespace CVClientData {

namespace {

constexpr long JsonBufferSize = 240000;
constexpr long FileBufferSize = 500000;

constexpr const char* AcceptAnyWithBlank = "Accept: */* ";
constexpr const char* AcceptAny = "Accept: */*";
constexpr const char* JsonContent = "Content-Type: application/json; charset=utf-8";
constexpr const char* NoCache = "Cache-Control: no-cache";
constexpr const char* NoPragmaCache = "Pragma: no-cache";

// Logs how a transfer ended; true when it completed.
bool ReportOutcome(CURLcode code)
{
    Log::Debug("%s", code == CURLE_OK ? "Response ok" : "Response not ok");
    return code == CURLE_OK;
}

// The authentication header of a token.
std::string BearerHeader(const std::string& token)
{
    return stringFormat("Authorization: bearer %s", token);
}

// Runs one transfer of the given shape; nullopt when none could be made.
std::optional<CURLcode> RunTransfer(WebDataServiceResponse& response, const std::string& url,
                                    const std::string& caBundle, CURLSH* share, long bufferSize,
                                    const TransferShape& shape)
{
    CurlTransfer transfer(url, caBundle, bufferSize, share);
    if (!transfer.IsValid())
        return std::nullopt;
    transfer.Configure(shape);
    Log::Debug("url=%s", url);
    CURLcode code = transfer.Perform(response);
    if (code != CURLE_OK)
        Log::Error("Curl error %d: %s (%s)", static_cast<int>(code), transfer.ErrorText(code), url);
    return code;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

// Appends received bytes to a block; returning less than offered aborts the transfer.
size_t WebDataService::WriteCurlMemoryCallback(char* data, size_t size, size_t count, void* block)
{
    auto* target = static_cast<ResponseBlock*>(block);
    if (count != 0 && size > std::numeric_limits<size_t>::max() / count)
        return 0;
    size_t length = size * count;
    if (length > ResponseBlock::MaximumSize - std::min(target->mstrData.size(), ResponseBlock::MaximumSize)) {
        Log::Error("Error: Response larger than %lu bytes.", static_cast<unsigned long>(ResponseBlock::MaximumSize));
        return 0;
    }
    try {
        target->mstrData.append(data, length);
    } catch (const std::bad_alloc&) {
        Log::Error("Error: Not enough memory for response. (realloc returned NULL)");
        return 0;
    }
    return length;
}

// The token as held, expired or not.
std::string WebDataService::mHeldToken() const
{
    std::lock_guard lock(mLock);
    return mstrToken;
}

// A JSON request without a token; the ping uses it with limits of its own.
void WebDataService::ExecuteUnauthenticatedRequest(WebDataServiceResponse& response, const std::string& url,
                                                   const std::string& body, const std::string& method)
{
    mExecuteUnauthenticated(response, url, body, method, mLimits(LimitKind::Json));
}

// The unauthenticated request with the given limits.
void WebDataService::mExecuteUnauthenticated(WebDataServiceResponse& response, const std::string& url,
                                             const std::string& body, const std::string& method,
                                             const TransferLimits& limits)
{
    if (method.empty())
        return;
    std::optional<CURLcode> code = RunTransfer(response, url, GetCaBundle(), mConnections->Handle(), JsonBufferSize,
                                               {.limits = limits,
                                                .headerLines = {JsonContent, AcceptAny, NoCache, NoPragmaCache},
                                                .headerInBodyOff = true,
                                                .method = &method,
                                                .body = &body});
    if (!code)
        return;
    Log::Debug("Curl %d", static_cast<int>(*code));
    if (*code != CURLE_OK)
        Log::Debug("--");
    if (!ReportOutcome(*code)) {
        Log::Debug("--");
        mClearToken();
    }
}

// A JSON request with the bearer token as held (expiry is not looked at here).
void WebDataService::ExecuteAuthenticatedRequest(WebDataServiceResponse& response, const std::string& url,
                                                 const std::string& body, const std::string& method)
{
    std::string token = mHeldToken();
    if (method.empty())
        return;
    if (token.empty()) {
        Log::Debug("No token held; the request is not sent.");
        return;
    }
    std::optional<CURLcode> code =
        RunTransfer(response, url, GetCaBundle(), mConnections->Handle(), JsonBufferSize,
                    {.limits = mLimits(LimitKind::Json),
                     .headerLines = {AcceptAny, NoCache, NoPragmaCache, JsonContent, BearerHeader(token)},
                     .method = &method,
                     .body = &body});
    if (code && !ReportOutcome(*code))
        mClearToken();
}

// A download of a file's bytes (the logo): no token, no overall limit.
void WebDataService::ExecuteUnauthenticatedRequestForFile(WebDataServiceResponse& response, const std::string& url,
                                                          const std::string& body, const std::string& method)
{
    if (method.empty())
        return;
    std::optional<CURLcode> code = RunTransfer(response, url, GetCaBundle(), mConnections->Handle(), FileBufferSize,
                                               {.limits = mLimits(LimitKind::File),
                                                .headerLines = {AcceptAnyWithBlank, JsonContent},
                                                .headerInBodyOff = true,
                                                .method = &method,
                                                .body = &body});
    if (code)
        ReportOutcome(*code);
}

// Uploads a file with "PUT" and the bearer token; no request unless the file
// opens, its size can be read, the method is "PUT" and a token is held.
void WebDataService::ExecuteAuthenticatedFileUpload(WebDataServiceResponse& response, const std::string& url,
                                                    const std::string& filePath, const std::string& method)
{
    auto step = [](int number) { SecureLog::Debug("Step %d", number); };
    step(1);
    // No link is followed, and only a regular file is sent: a link or a
    // device at the name would send some other file or never end.
    int fd = open(filePath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    std::unique_ptr<std::FILE, FileCloser> file(fd >= 0 ? fdopen(fd, "rb") : nullptr);
    if (!file) {
        if (fd >= 0)
            close(fd);
        SecureLog::Error("Error: Unable to open %s for upload.", filePath);
        return;
    }
    step(2);
    if (method == "PUT")
        mUploadOpenFile(response, url, file.get(), filePath);
}

void WebDataService::ExecuteAuthenticatedDescriptorUpload(WebDataServiceResponse& response, const std::string& url,
                                                          int payload)
{
    // A descriptor of its own, so that the stream's close leaves the caller's.
    int fd = payload >= 0 ? fcntl(payload, F_DUPFD_CLOEXEC, 0) : -1;
    std::unique_ptr<std::FILE, FileCloser> file(fd >= 0 ? fdopen(fd, "rb") : nullptr);
    if (!file || lseek(fileno(file.get()), 0, SEEK_SET) != 0) {
        if (fd >= 0 && !file)
            close(fd);
        SecureLog::Error("Error: Unable to read the sealed copy of the job for upload.");
        return;
    }
    mUploadOpenFile(response, url, file.get(), "the sealed copy of the job");
}

// Uploads an open regular file with "PUT" and the bearer token; no request
// unless its size can be read and a token is held.
void WebDataService::mUploadOpenFile(WebDataServiceResponse& response, const std::string& url, std::FILE* upload,
                                     const std::string& name)
{
    auto step = [](int number) { SecureLog::Debug("Step %d", number); };
    struct stat fileInfo {};
    if (fstat(fileno(upload), &fileInfo) != 0 || !S_ISREG(fileInfo.st_mode)) {
        SecureLog::Error("Error: Unable to examine %s for upload.", name);
        return;
    }
    step(3);
    std::string token = mHeldToken();
    if (token.empty())
        return;
    step(4);
    static const std::string put = "PUT";
    TransferShape shape{.limits = mLimits(LimitKind::File),
                        .headerLines = {AcceptAnyWithBlank, JsonContent, BearerHeader(token)},
                        .method = &put,
                        .upload = upload};
    step(5);
    std::optional<CURLcode> code =
        RunTransfer(response, url, GetCaBundle(), mConnections->Handle(), FileBufferSize, shape);
    step(6);
    if (code && !ReportOutcome(*code))
        mClearToken();
    step(7);
}

// The token request: a form post with the credentials, escaped.
void WebDataService::AuthenticationRequest(WebDataServiceResponse& response, const std::string& url,
                                           const std::string& user, const std::string& password,
                                           CVAuthenticationOption option)
{
    std::string computerName = GetComputerName();
    std::string authentication = computerName.empty()
                                     ? stringFormat("X-CV-AuthentType: %d", static_cast<int>(option))
                                     : stringFormat("X-CV_AuthentComputer: %s", computerName);
    std::string body = stringFormat("grant_type=password&username=%s&password=%s", UrlEscape(user),
                                    UrlEscape(password));
    std::optional<CURLcode> code = RunTransfer(
        response, url, GetCaBundle(), mConnections->Handle(), JsonBufferSize,
        {.limits = mLimits(LimitKind::Json),
         .headerLines = {AcceptAnyWithBlank,
                         "Content-Type: text/xml, _application/x-www-form-urlencoded; charset=utf-8", authentication},
         .keepHeaders = false,
         .body = &body});
    if (code)
        ReportOutcome(*code);
}

}  // namespace CVClientData
