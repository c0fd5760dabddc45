#include "PrinterLanguageParser/Parser/CommandText.h"

#include <algorithm>
#include <limits>

namespace RawPrintData {

namespace {

// Skips white space and an optional sign; tells whether the sign was "-".
std::string_view SkipToDigits(std::string_view text, bool& negative)
{
    text = SkipLeadingWhiteSpace(text);
    negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    return text;
}

// Reads the leading digits into a magnitude that saturates; nothing without a digit.
std::optional<uint64_t> ReadMagnitude(std::string_view digits)
{
    if (digits.empty() || digits.front() < '0' || digits.front() > '9')
        return std::nullopt;
    uint64_t value = 0;
    constexpr uint64_t MAX = std::numeric_limits<uint64_t>::max();
    for (char c : digits) {
        if (c < '0' || c > '9')
            break;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        value = value > (MAX - digit) / 10 ? MAX : value * 10 + digit;
    }
    return value;
}

}  // namespace

// Compares the marker with the bytes from the index on.
TextMatch MatchAt(const DataBuffer& buffer, uint64_t index, std::string_view marker)
{
    const uint64_t total = buffer.Length();
    const uint64_t available = index < total ? total - index : 0;
    const uint64_t compared = std::min<uint64_t>(available, marker.size());
    for (uint64_t k = 0; k < compared; ++k) {
        if (buffer[index + k] != static_cast<unsigned char>(marker[k]))
            return TextMatch::None;
    }
    return compared == marker.size() ? TextMatch::Full : TextMatch::Prefix;
}

// Removes the characters from both ends.
std::string_view TrimText(std::string_view text, std::string_view characters)
{
    const size_t first = text.find_first_not_of(characters);
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(characters);
    return text.substr(first, last - first + 1);
}

// Compares ASCII texts without regard to case.
bool EqualsIgnoringCase(std::string_view left, std::string_view right)
{
    return std::ranges::equal(left, right, [](char a, char b) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    });
}

// Reads a non-negative decimal number at the start of the text.
std::optional<uint64_t> ReadUnsigned(std::string_view text)
{
    bool negative = false;
    const std::string_view digits = SkipToDigits(text, negative);
    const std::optional<uint64_t> magnitude = ReadMagnitude(digits);
    if (!magnitude || (negative && *magnitude != 0))
        return std::nullopt;
    return magnitude;
}

// Reads a signed decimal number at the start of the text.
std::optional<int64_t> ReadSigned(std::string_view text)
{
    bool negative = false;
    const std::string_view digits = SkipToDigits(text, negative);
    const std::optional<uint64_t> magnitude = ReadMagnitude(digits);
    if (!magnitude)
        return std::nullopt;
    constexpr uint64_t MAX = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (negative)
        return *magnitude > MAX ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(*magnitude);
    return static_cast<int64_t>(std::min(*magnitude, MAX));
}

// Cuts a count to the 32-bit signed range.
int32_t ClampToInt32(uint64_t value)
{
    return static_cast<int32_t>(std::min<uint64_t>(value, std::numeric_limits<int32_t>::max()));
}

}  // namespace RawPrintData
