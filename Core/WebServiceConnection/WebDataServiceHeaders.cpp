#include "Core/WebServiceConnection/ResponseHeaders.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

// Reading response headers. Names compare without regard to case; values are
// kept as received after the first ":" (a leading blank and the line's
// carriage return stay), and the first occurrence of a name wins.

using Log = ComponentLog<LogComponents::CoreMessaging>;

namespace CVClientData {

namespace {

// The byte in lower case (ASCII).
unsigned char Lower(char c)
{
    return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
}

// Whether the byte is white space as stol skips it.
bool IsBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The decimal number at the start of a value after blanks, as stol reads it;
// false when there is none or it does not fit.
bool ParseLeadingLong(std::string_view text, long& value)
{
    size_t start = 0;
    while (start < text.size() && IsBlank(text[start]))
        ++start;
    text.remove_prefix(start);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text.front())))
        return false;
    unsigned long magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    (void)end;
    if (error != std::errc())
        return false;
    constexpr auto maximum = static_cast<unsigned long>(std::numeric_limits<long>::max());
    if (!negative && magnitude > maximum)
        return false;
    if (negative && magnitude > maximum + 1)
        return false;
    value = negative ? static_cast<long>(0 - magnitude) : static_cast<long>(magnitude);
    return true;
}

}  // namespace

// Orders two names by their lower-case bytes.
bool CaseInsensitiveLess::operator()(std::string_view left, std::string_view right) const
{
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                        [](char a, char b) { return Lower(a) < Lower(b); });
}

// Splits header text into name -> value up to the terminator line.
void WebDataService::ConvertToMap(const std::string& text, HeaderMap& map, const std::string& terminator)
{
    std::string_view rest(text);
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line == terminator)
            break;
        size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        map.emplace(std::string(line.substr(0, colon)), std::string(line.substr(colon + 1)));
    }
}

// A header's value read as a decimal number.
bool WebDataService::GetHeaderValue(const std::string& name, const std::string& headers, long& value)
{
    std::string text;
    if (!GetHeaderValue(name, headers, text))
        return false;
    if (!ParseLeadingLong(text, value)) {
        Log::Error("Error: Failed to convert header value to long.");
        return false;
    }
    return true;
}

// A header's value as received.
bool WebDataService::GetHeaderValue(const std::string& name, const std::string& headers, std::string& value)
{
    Log::Debug("Header: %s", headers);
    if (headers.empty())
        return false;
    HeaderMap map;
    ConvertToMap(headers, map, "\r");
    auto found = map.find(name);
    if (found == map.end())
        return false;
    value = found->second;
    return true;
}

}  // namespace CVClientData
