#include "tests/StandInServer/StandInRequest.h"

#include <algorithm>
#include <cctype>

namespace StandIn {

namespace {

// The value of a hexadecimal digit, or -1.
int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The decoded value of the first "name=value" field of an "&" list.
std::string FieldOf(std::string_view list, std::string_view name)
{
    while (!list.empty()) {
        size_t end = list.find('&');
        std::string_view field = list.substr(0, end);
        list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
        size_t equals = field.find('=');
        if (PercentDecode(field.substr(0, equals), true) == name)
            return equals == std::string_view::npos ? std::string() : PercentDecode(field.substr(equals + 1), true);
    }
    return std::string();
}

}  // namespace

// The first header of that name, or an empty text.
std::string RecordedRequest::Header(std::string_view name) const
{
    for (const auto& [key, value] : headers)
        if (SameTextIgnoringCase(key, name))
            return value;
    return std::string();
}

// Whether a header of that name came.
bool RecordedRequest::HasHeader(std::string_view name) const
{
    return std::any_of(headers.begin(), headers.end(),
                       [name](const auto& header) { return SameTextIgnoringCase(header.first, name); });
}

// One field of a form body, decoded.
std::string RecordedRequest::FormValue(std::string_view name) const
{
    return FieldOf(body, name);
}

// One field of the query, decoded.
std::string RecordedRequest::QueryValue(std::string_view name) const
{
    return FieldOf(query, name);
}

// A JSON answer with the given status.
Answer Answer::Json(int status, std::string body)
{
    Answer answer;
    answer.status = status;
    answer.body = std::move(body);
    return answer;
}

// An answer that never comes until released.
Answer Answer::Stalled()
{
    Answer answer;
    answer.stall = true;
    return answer;
}

// No answer at all: the connection closes.
Answer Answer::Dropped()
{
    Answer answer;
    answer.drop = true;
    return answer;
}

// Compares byte by byte in lower case.
bool SameTextIgnoringCase(std::string_view left, std::string_view right)
{
    return left.size() == right.size()
           && std::equal(left.begin(), left.end(), right.begin(), [](char a, char b) {
                  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
              });
}

// Decodes %XX escapes (and "+" when asked); a malformed escape stays as it is.
std::string PercentDecode(std::string_view text, bool plusIsBlank)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            decoded.push_back(static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else if (c == '+' && plusIsBlank) {
            decoded.push_back(' ');
        } else {
            decoded.push_back(c);
        }
    }
    return decoded;
}

}  // namespace StandIn
