#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace StandIn {

// One request as the stand-in received it.
struct RecordedRequest {
    std::string method;
    std::string path;   // decoded, with its leading "/", without the query
    std::string query;  // the raw text after "?", empty when there is none
    std::vector<std::pair<std::string, std::string>> headers;  // in the order received
    std::string body;

    // The first header of that name (compared without regard to case), or "".
    std::string Header(std::string_view name) const;
    bool HasHeader(std::string_view name) const;
    // One field of a form body ("a=1&b=2"), decoded; "" when absent.
    std::string FormValue(std::string_view name) const;
    // One field of the query, decoded; "" when absent.
    std::string QueryValue(std::string_view name) const;
};

// What the stand-in sends back for one request.
struct Answer {
    int status = 200;
    std::string body;
    std::string contentType = "application/json; charset=utf-8";  // empty: none sent
    std::vector<std::pair<std::string, std::string>> headers;
    std::chrono::milliseconds delay{0};  // waited before answering
    bool stall = false;                  // no answer until the stalls are released or the server stops
    bool drop = false;                   // the connection is closed without an answer

    static Answer Json(int status, std::string body);
    static Answer Stalled();
    static Answer Dropped();
};

// Computes the answer from the request (a scripted answer is a fixed one).
using Responder = std::function<Answer(const RecordedRequest&)>;

// Whether the two texts are equal without regard to case (ASCII), as header
// names and authentication schemes compare.
bool SameTextIgnoringCase(std::string_view left, std::string_view right);

// Decodes %XX escapes and, when plusIsBlank, "+" as a blank.
std::string PercentDecode(std::string_view text, bool plusIsBlank);

}  // namespace StandIn
