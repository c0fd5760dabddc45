#pragma once

#include "PrinterLanguageParser/Parser/DataBuffer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace RawPrintData {

// Helpers of the parsers that read their commands as text (PJL, HP-GL/2, CGM,
// Prescribe, and the numbers of PCL 5 and PostScript): bounded command
// buffers, checked numbers, trimming, and the recognition of a marker that a
// chunk boundary may cut.

// The most characters a parser keeps of one command or line. Longer commands
// are cut to this: the parsers only read keywords and short values at their
// start, and a job of any size stays in constant memory.
inline constexpr size_t MAX_COMMAND_TEXT = 16 * 1024;

// Blank, tab, carriage return, line feed, form feed and vertical tab.
inline constexpr std::string_view TEXT_WHITESPACE{" \t\r\n\f\v"};

// The text from its first character that is no white space on (empty when
// it is all white space). Most texts start with what they hold: those are
// returned without a search.
inline std::string_view SkipLeadingWhiteSpace(std::string_view text)
{
    if (!text.empty() && static_cast<unsigned char>(text.front()) > ' ')
        return text;
    const size_t start = text.find_first_not_of(TEXT_WHITESPACE);
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

// How far the bytes at an index agree with a marker.
enum class TextMatch {
    None,    // a byte differs
    Prefix,  // every byte at hand agrees, but the data ends before the marker does
    Full,    // the whole marker is there
};

// Compares the marker with the buffer's bytes from the index on.
TextMatch MatchAt(const DataBuffer& buffer, uint64_t index, std::string_view marker);

// Where a search for the marker from the index on, which did not find it,
// goes on with the next data: the last bytes that may begin a marker cut by
// the end of the data are read again.
inline uint64_t ResumeMarkerSearch(const DataBuffer& buffer, uint64_t index, std::string_view marker)
{
    const uint64_t total = buffer.Length();
    const uint64_t rest = index < total ? total - index : 0;
    return total - std::min<uint64_t>(rest, marker.empty() ? 0 : marker.size() - 1);
}

// Appends a byte unless the text already holds MAX_COMMAND_TEXT characters.
inline void AppendBounded(std::string& text, unsigned char byte)
{
    if (text.size() < MAX_COMMAND_TEXT)
        text.push_back(static_cast<char>(byte));
}

// The text without the given characters at either end.
std::string_view TrimText(std::string_view text, std::string_view characters = TEXT_WHITESPACE);

// Whether two texts are equal when case is ignored (ASCII letters only).
bool EqualsIgnoringCase(std::string_view left, std::string_view right);

// The decimal number at the start of the text, after leading white space, as
// strtoul reads it but checked: an optional "+", then digits; the value
// saturates at the type's maximum instead of wrapping. Nothing when no digit
// follows or the number is negative (strtoul would wrap "-1" to a huge count).
std::optional<uint64_t> ReadUnsigned(std::string_view text);

// The same for a signed number with an optional "+" or "-"; saturates at the
// type's limits.
std::optional<int64_t> ReadSigned(std::string_view text);

// A count as a 32-bit signed value of the frame's size properties, cut at the
// type's maximum.
int32_t ClampToInt32(uint64_t value);


}  // namespace RawPrintData
