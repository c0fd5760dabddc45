#include "tests/StandInServer/HttpExchange.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace StandIn {

namespace {

// The text without blanks and tabs at either end.
std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// A number of the given base that fills the whole text.
bool ParseSize(std::string_view text, int base, size_t& value)
{
    text = Trim(text);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// The usual phrase of a status.
const char* ReasonPhrase(int status)
{
    switch (status) {
    case 100: return "Continue";
    case 200: return "OK";
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

}  // namespace

// Head, "100 Continue" when asked, then the body.
bool HttpRequestReader::Read(RecordedRequest& request)
{
    mblnKeepsConnection = false;
    if (!mReadHead(request))
        return false;
    if (SameTextIgnoringCase(request.Header("Expect"), "100-continue")
        && !mConnection.WriteAll("HTTP/1.1 100 Continue\r\n\r\n"))
        return false;
    if (SameTextIgnoringCase(Trim(request.Header("Transfer-Encoding")), "chunked"))
        return mReadChunkedBody(request.body);
    if (!request.HasHeader("Content-Length"))
        return true;
    size_t length = 0;
    if (!ParseSize(request.Header("Content-Length"), 10, length) || length > MaximumBodySize)
        return false;
    return mReadExactly(length, request.body);
}

// The request line ("METHOD target HTTP/1.x") and the header lines.
bool HttpRequestReader::mReadHead(RecordedRequest& request)
{
    std::string line;
    if (!mReadLine(line))
        return false;
    size_t firstBlank = line.find(' ');
    size_t lastBlank = line.rfind(' ');
    if (firstBlank == std::string::npos || lastBlank == firstBlank)
        return false;
    request.method = line.substr(0, firstBlank);
    std::string target = line.substr(firstBlank + 1, lastBlank - firstBlank - 1);
    size_t mark = target.find('?');
    request.path = PercentDecode(std::string_view(target).substr(0, mark), false);
    request.query = mark == std::string::npos ? std::string() : target.substr(mark + 1);
    const bool http11 = line.substr(lastBlank + 1) == "HTTP/1.1";

    while (mReadLine(line)) {
        if (line.empty()) {
            mblnKeepsConnection = http11 && !SameTextIgnoringCase(Trim(request.Header("Connection")), "close");
            return true;
        }
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            return false;
        request.headers.emplace_back(std::string(Trim(std::string_view(line).substr(0, colon))),
                                     std::string(Trim(std::string_view(line).substr(colon + 1))));
    }
    return false;
}

// Chunks of "<hex size>[;extensions]" lines and data, up to the last chunk
// and its trailer lines.
bool HttpRequestReader::mReadChunkedBody(std::string& body)
{
    std::string line;
    while (mReadLine(line)) {
        size_t size = 0;
        if (!ParseSize(std::string_view(line).substr(0, line.find(';')), 16, size)
            || size > MaximumBodySize - std::min(body.size(), MaximumBodySize))
            return false;
        if (size == 0) {
            while (mReadLine(line))
                if (line.empty())
                    return true;
            return false;
        }
        std::string chunk;
        if (!mReadExactly(size, chunk) || !mReadLine(line) || !line.empty())
            return false;
        body += chunk;
    }
    return false;
}

// One line without its CRLF; false when the stream ends first or the head
// grows too large.
bool HttpRequestReader::mReadLine(std::string& line)
{
    for (;;) {
        size_t end = mBuffer.find("\r\n", mintPosition);
        if (end != std::string::npos) {
            line.assign(mBuffer, mintPosition, end - mintPosition);
            mintPosition = end + 2;
            return true;
        }
        if (mBuffer.size() - mintPosition > MaximumHeadSize || !mFill())
            return false;
    }
}

// Exactly size bytes of the stream.
bool HttpRequestReader::mReadExactly(size_t size, std::string& out)
{
    while (mBuffer.size() - mintPosition < size)
        if (!mFill())
            return false;
    out.assign(mBuffer, mintPosition, size);
    mintPosition += size;
    return true;
}

// Appends what the connection has, dropping bytes already consumed.
bool HttpRequestReader::mFill()
{
    if (mintPosition > 0) {
        mBuffer.erase(0, mintPosition);
        mintPosition = 0;
    }
    std::array<char, 16384> chunk{};
    size_t read = mConnection.ReadSome(chunk.data(), chunk.size());
    if (read == 0)
        return false;
    mBuffer.append(chunk.data(), read);
    return true;
}

// A complete answer; a closing one says so.
std::string FormatResponse(const Answer& answer, bool closing)
{
    std::string text = "HTTP/1.1 " + std::to_string(answer.status) + " " + ReasonPhrase(answer.status) + "\r\n";
    for (const auto& [name, value] : answer.headers)
        text += name + ": " + value + "\r\n";
    if (!answer.contentType.empty())
        text += "Content-Type: " + answer.contentType + "\r\n";
    text += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
    if (closing)
        text += "Connection: close\r\n";
    text += "\r\n";
    text += answer.body;
    return text;
}

}  // namespace StandIn
