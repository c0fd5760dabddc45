#pragma once

#include "tests/StandInServer/StandInRequest.h"
#include "tests/StandInServer/TlsConnection.h"

#include <cstddef>
#include <string>

namespace StandIn {

// Reads one HTTP/1.1 request from a connection: the request line and
// headers, then the body by its Content-Length or its chunked coding, for
// every method (a GET may carry a body too). A client that announces
// "Expect: 100-continue" is told to go on first.
class HttpRequestReader {
public:
    static constexpr size_t MaximumHeadSize = 64 * 1024;
    static constexpr size_t MaximumBodySize = 256 * 1024 * 1024;

    explicit HttpRequestReader(TlsConnection& connection) : mConnection(connection) {}

    // False for a request that is cut short, malformed or too large, and at
    // the end of the stream. Successive calls read successive requests.
    bool Read(RecordedRequest& request);
    // Whether the client lets the connection carry another request after the
    // one read last: HTTP/1.1 without "Connection: close".
    bool KeepsConnection() const { return mblnKeepsConnection; }

private:
    bool mReadHead(RecordedRequest& request);
    bool mReadChunkedBody(std::string& body);
    bool mReadLine(std::string& line);
    bool mReadExactly(size_t size, std::string& out);
    // Reads more bytes into the buffer; false at the end of the stream.
    bool mFill();

    TlsConnection& mConnection;
    std::string mBuffer;
    size_t mintPosition = 0;
    bool mblnKeepsConnection = false;
};

// The bytes of a complete answer: status line, the answer's headers, its
// content type and length, "Connection: close" when the server closes the
// connection after it, and the body.
std::string FormatResponse(const Answer& answer, bool closing);

}  // namespace StandIn
