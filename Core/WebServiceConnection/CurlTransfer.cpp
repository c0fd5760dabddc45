#include "Core/WebServiceConnection/CurlTransfer.h"

#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <algorithm>
#include <cctype>
#include <mutex>

using Log = ComponentLog<LogComponents::CoreMessaging>;

namespace CVClientData {

namespace {

constexpr const char* UserAgent = "libcurl-agent/1.0";

}  // namespace

// Makes the handle and sets the options every request shares.
CurlTransfer::CurlTransfer(const std::string& url, const std::string& caBundle, long bufferSize, CURLSH* share)
{
    // An address without a scheme (an empty service URL) would otherwise be
    // guessed as plain HTTP to a host named after the first path segment.
    if (!mIsWebAddress(url)) {
        Log::Error("Error: Not a web address: %s", url);
        return;
    }
    InitialiseLibraryOnce();
    mHandle.reset(curl_easy_init());
    if (!mHandle)
        return;
    CURL* handle = mHandle.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caBundle.empty())
        curl_easy_setopt(handle, CURLOPT_CAINFO, caBundle.c_str());
    curl_easy_setopt(handle, CURLOPT_USERAGENT, UserAgent);
    curl_easy_setopt(handle, CURLOPT_HTTPAUTH, CURLAUTH_ANYSAFE);
    curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, bufferSize);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, mbytErrorText.data());
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &WebDataService::WriteCurlMemoryCallback);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &mBody);
    mUseConnections(share);
}

// Applies one kind of request's options.
void CurlTransfer::Configure(const TransferShape& shape)
{
    if (shape.keepHeaders)
        mKeepResponseHeaders();
    mSetLimits(shape.limits);
    mSetHeaderLines(shape.headerLines);
    if (shape.method != nullptr)
        mSetMethod(*shape.method);
    if (shape.body != nullptr)
        mSetBody(*shape.body);
    if (shape.upload != nullptr)
        mSetUpload(shape.upload);
    if (shape.headerInBodyOff)
        mSetHeaderInBody(false);
}

// Reuses the share's open connections, or opens one and closes it after the
// transfer. A reused connection may carry several requests, so small writes
// go out at once instead of waiting for the answer to the last one.
void CurlTransfer::mUseConnections(CURLSH* share)
{
    CURL* handle = mHandle.get();
    if (share == nullptr) {
        curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
        return;
    }
    curl_easy_setopt(handle, CURLOPT_SHARE, share);
    curl_easy_setopt(handle, CURLOPT_TCP_NODELAY, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXAGE_CONN, ReuseIdleSeconds);
    curl_easy_setopt(handle, CURLOPT_PREREQFUNCTION, &CurlTransfer::mBeforeSending);
    curl_easy_setopt(handle, CURLOPT_PREREQDATA, this);
}

// A reused connection that closes before the answer makes libcurl send the
// request again on a new one; the server may have acted on the first, so the
// second is refused and the transfer fails as any lost connection does.
int CurlTransfer::mBeforeSending(void* transfer, char*, char*, int, int)
{
    return ++static_cast<CurlTransfer*>(transfer)->mintSendings == 1 ? CURL_PREREQFUNC_OK : CURL_PREREQFUNC_ABORT;
}

// Every request gets a connect limit and either an overall or a stall limit,
// so a server that stops answering never holds a thread for good.
void CurlTransfer::mSetLimits(const TransferLimits& limits)
{
    CURL* handle = mHandle.get();
    if (limits.connectSeconds > 0)
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    if (limits.totalSeconds > 0)
        curl_easy_setopt(handle, CURLOPT_TIMEOUT, limits.totalSeconds);
    if (limits.stalledSeconds > 0) {
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, limits.stalledSeconds);
    }
}

// Sends the lines in order; they replace libcurl's own headers of the same name.
void CurlTransfer::mSetHeaderLines(const std::vector<std::string>& lines)
{
    curl_slist* list = nullptr;
    for (const std::string& line : lines) {
        curl_slist* grown = curl_slist_append(list, line.c_str());
        if (grown == nullptr)
            break;  // out of memory: send what was built
        list = grown;
    }
    mHeaderList.reset(list);
    curl_easy_setopt(mHandle.get(), CURLOPT_HTTPHEADER, mHeaderList.get());
}

// Collects the response's header lines in their own block.
void CurlTransfer::mKeepResponseHeaders()
{
    curl_easy_setopt(mHandle.get(), CURLOPT_HEADERFUNCTION, &WebDataService::WriteCurlMemoryCallback);
    curl_easy_setopt(mHandle.get(), CURLOPT_HEADERDATA, &mHeaders);
}

// Whether header lines also go into the body (never wanted here).
void CurlTransfer::mSetHeaderInBody(bool on)
{
    curl_easy_setopt(mHandle.get(), CURLOPT_HEADER, on ? 1L : 0L);
}

// Sends this method in place of the one libcurl would choose.
void CurlTransfer::mSetMethod(const std::string& method)
{
    curl_easy_setopt(mHandle.get(), CURLOPT_CUSTOMREQUEST, method.c_str());
}

// Sends the text as the request body, with its exact length.
void CurlTransfer::mSetBody(const std::string& body)
{
    curl_easy_setopt(mHandle.get(), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(mHandle.get(), CURLOPT_POSTFIELDS, body.data());
}

// Sends the file's bytes as the request body.
void CurlTransfer::mSetUpload(std::FILE* file)
{
    curl_easy_setopt(mHandle.get(), CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(mHandle.get(), CURLOPT_READDATA, file);
}

// Performs the transfer and copies what arrived into the response.
CURLcode CurlTransfer::Perform(WebDataServiceResponse& response)
{
    CURLcode code = curl_easy_perform(mHandle.get());
    long status = 0;
    curl_easy_getinfo(mHandle.get(), CURLINFO_RESPONSE_CODE, &status);
    // An interim "100 Continue" is no answer.
    response.mintStatus = status >= 200 ? status : 0;
    response.mstrBody = std::move(mBody.mstrData);
    response.mintBodySize = static_cast<int64_t>(response.mstrBody.size());
    response.mstrHeaders = std::move(mHeaders.mstrData);
    response.mintHeaderSize = static_cast<int64_t>(response.mstrHeaders.size());
    return code;
}

// libcurl's detailed message, or its generic one for the code.
std::string CurlTransfer::ErrorText(CURLcode code) const
{
    if (mbytErrorText[0] != '\0')
        return std::string(mbytErrorText.data());
    return curl_easy_strerror(code);
}

// libcurl's global set-up is not to be raced; it is done once and kept for
// the life of the process (job threads may still run while it ends).
void CurlTransfer::InitialiseLibraryOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

// Whether the URL begins with "https://" or "http://" (any case).
bool CurlTransfer::mIsWebAddress(const std::string& url)
{
    auto startsWith = [&url](std::string_view scheme) {
        return url.size() > scheme.size()
               && std::equal(scheme.begin(), scheme.end(), url.begin(), [](char a, char b) {
                      return a == std::tolower(static_cast<unsigned char>(b));
                  });
    };
    return startsWith("https://") || startsWith("http://");
}

}  // namespace CVClientData
