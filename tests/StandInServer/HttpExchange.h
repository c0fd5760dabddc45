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

    // False for a request that is cut short, malformed or too large.
    bool Read(RecordedRequest& request);

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
};

// The bytes of a complete answer: status line, the answer's headers, its
// content type and length, "Connection: close" and the body.
std::string FormatResponse(const Answer& answer);

}  // namespace StandIn
