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
//
// With a share (CurlConnectionShare) the transfer takes an open connection
// to the server from the share's cache when one has been idle for less than
// ReuseIdleSeconds, and leaves its own there afterwards; without one it
// opens a connection and closes it when done. Either way the request is sent
// at most once: libcurl would send it again on a fresh connection when a
// reused one closes before any answer came, and the transfer fails instead.
class CurlTransfer {
public:
    // Connections idle for longer are closed, not reused: servers close idle
    // connections after a few seconds, and a request sent as they do is lost.
    static constexpr long ReuseIdleSeconds = 4;

    // share may be null.
    CurlTransfer(const std::string& url, const std::string& caBundle, long bufferSize, CURLSH* share);
    CurlTransfer(CurlTransfer&&) = delete;  // libcurl holds the object's address
    CurlTransfer& operator=(CurlTransfer&&) = delete;

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

    // libcurl's global set-up, done once and kept for the life of the process.
    static void InitialiseLibraryOnce();

private:
    struct HandleDeleter {
        void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    };
    struct ListDeleter {
        void operator()(curl_slist* list) const { curl_slist_free_all(list); }
    };

    // Where the connection comes from and goes to (see the class comment).
    void mUseConnections(CURLSH* share);
    // libcurl's pre-request callback: lets the request go out the first time only.
    static int mBeforeSending(void* transfer, char* serverAddress, char* localAddress, int serverPort, int localPort);

    // The options Configure sets, one aspect each.
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

    static bool mIsWebAddress(const std::string& url);

    std::unique_ptr<CURL, HandleDeleter> mHandle;
    std::unique_ptr<curl_slist, ListDeleter> mHeaderList;
    ResponseBlock mBody;
    ResponseBlock mHeaders;
    std::array<char, CURL_ERROR_SIZE> mbytErrorText{};
    int mintSendings = 0;  // how often libcurl was about to send the request
};

}  // namespace CVClientData
