#pragma once

#include "Core/WebServiceConnection/WebDataServiceResponse.h"

#include <curl/curl.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace CVClientData {

// The limits of one transfer, in seconds; 0 leaves a limit unset.
struct TransferLimits {
    long connectSeconds = 0;
    long totalSeconds = 0;    // the whole transfer
    long stalledSeconds = 0;  // aborted after this long below one byte a second
};

// Which options of the request table one kind of request uses.
struct TransferShape {
    TransferLimits limits;
    std::vector<std::string> headerLines;   // sent in this order
    bool freshConnection = true;            // TCP_NODELAY off, no reuse afterwards
    bool keepHeaders = true;                // collect the response's header lines
    bool headerInBodyOff = false;           // set CURLOPT_HEADER to 0 explicitly
    const std::string* method = nullptr;    // sent in place of libcurl's choice
    const std::string* body = nullptr;      // the request body (POST fields)
    std::FILE* upload = nullptr;            // a file whose bytes are the body
};

// A response being received: the bytes so far, always followed by a zero
// byte (std::string keeps one). A block refuses to grow past its limit.
struct ResponseBlock {
    static constexpr size_t MaximumSize = 256u * 1024u * 1024u;
    std::string mstrData;
};

// One libcurl easy transfer with the options every request of the web service
// shares: TLS peer and host verification (with an optional CA bundle), no
// signals (the service runs on many threads), HTTP(S) only, the user agent,
// the body kept in a block. The handle, header list and blocks are released
// with the object. libcurl's global state is set up once per process.
class CurlTransfer {
public:
    CurlTransfer(const std::string& url, const std::string& caBundle, long bufferSize);

    // False when the URL is not an http(s) address or libcurl could not make
    // a handle; nothing else may be called then.
    bool IsValid() const { return mHandle != nullptr; }

    // Sets every option the shape names; the texts it points to must outlive Perform.
    void Configure(const TransferShape& shape);

    // Runs the transfer and fills the response's status, body and headers
    // (kept also when the transfer failed part way).
    CURLcode Perform(WebDataServiceResponse& response);

    // libcurl's explanation of the last failure.
    std::string ErrorText(CURLcode code) const;

private:
    struct HandleDeleter {
        void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    };
    struct ListDeleter {
        void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    };

    // The options Configure sets, one aspect each.
    // TCP_NODELAY off and no reuse of the connection afterwards.
    void mSetFreshConnection();
    void mSetLimits(const TransferLimits& limits);
    void mSetHeaderLines(const std::vector<std::string>& lines);
    void mKeepResponseHeaders();
    void mSetHeaderInBody(bool on);
    void mSetMethod(const std::string& method);
    // The request body, sent as given (may be empty or binary); the text must
    // outlive Perform.
    void mSetBody(const std::string& body);
    // Uploads the open file's bytes (size unknown, so chunked).
    void mSetUpload(std::FILE* file);

    static void mInitialiseLibraryOnce();
    static bool mIsWebAddress(const std::string& url);

    std::unique_ptr<CURL, HandleDeleter> mHandle;
    std::unique_ptr<curl_slist, ListDeleter> mHeaderList;
    ResponseBlock mBody;
    ResponseBlock mHeaders;
    std::array<char, CURL_ERROR_SIZE> mbytErrorText{};
};

}  // namespace CVClientData
