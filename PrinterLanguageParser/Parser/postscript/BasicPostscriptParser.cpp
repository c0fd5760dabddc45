#include "PrinterLanguageParser/Parser/postscript/BasicPostscriptParser.h"

#include "PrinterLanguageParser/Parser/postscript/PostscriptNumberText.h"
#include "PrinterLanguageParser/Parser/postscript/TokenizerStates.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

namespace RawPrintData::Postscript {

namespace {

using TokenizerStates::IsWhiteSpace;

// Bytes that end names and comments.
bool IsDelimiter(unsigned char byte)
{
    switch (byte) {
    case '%': case '(': case ')': case '/': case '<': case '>': case '@': case '[': case ']': case '{': case '}':
        return true;
    default:
        return false;
    }
}

// Whether the text holds the word, in any case.
bool ContainsNoCase(std::string_view text, std::string_view word)
{
    const auto found = std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    });
    return found != text.end();
}

}  // namespace

// Scans a range of the buffer.
ParseDataResultType BasicPostscriptParser::ParseData(const DataBuffer& buffer, uint64_t first, uint64_t last)
{
    last = std::min(last, buffer.Length());
    if (first >= last)
        return PARSE_RESULT_HANDLED;
    const std::span<const unsigned char> pre = buffer.PreBuffer();
    const std::span<const unsigned char> main = buffer.MainBuffer();
    if (first < pre.size()) {
        const uint64_t end = std::min<uint64_t>(last, pre.size());
        mScan(pre.subspan(first, end - first));
    }
    const uint64_t mainFirst = std::max<uint64_t>(first, pre.size()) - pre.size();
    const uint64_t mainLast = std::max<uint64_t>(last, pre.size()) - pre.size();
    if (mainFirst < mainLast)
        mScan(main.subspan(mainFirst, mainLast - mainFirst));
    return PARSE_RESULT_HANDLED;
}

// Bytes that matter outside tokens, strings and base-85 data, and inside strings.
constexpr std::array<bool, 256> PLAIN_STOPS = [] {
    std::array<bool, 256> stops{};
    for (const unsigned char byte : std::string_view("%/<()"))
        stops[byte] = true;
    return stops;
}();
constexpr std::array<bool, 256> STRING_STOPS = [] {
    std::array<bool, 256> stops{};
    for (const unsigned char byte : std::string_view("()\\\r\n"))
        stops[byte] = true;
    return stops;
}();

// Runs the byte rules; bytes that change nothing are skipped in bulk.
void BasicPostscriptParser::mScan(std::span<const unsigned char> bytes)
{
    const unsigned char* data = bytes.data();
    const size_t length = bytes.size();
    for (size_t index = 0; index < length; ++index) {
        if (mintKind == KIND_NONE && !mblnInBase85 && !mblnEscape && !mLineWatcher.IsAtLineStart()) {
            const bool inString = mintStringDepth > 0;
            const std::array<bool, 256>& stops = inString ? STRING_STOPS : PLAIN_STOPS;
            const size_t start = index;
            // Inside a string at most the bytes left before the string is
            // abandoned are skipped, so the rule applies at the same byte
            // however the job is cut.
            const size_t limit =
                inString ? start + static_cast<size_t>(std::min<uint64_t>(
                                       length - start, mintMAX_STRING_BYTES - std::min(mintStringBytes, mintMAX_STRING_BYTES)))
                         : length;
            while (index < limit && !stops[data[index]])
                ++index;
            if (inString)
                mintStringBytes += index - start;
            if (index == length)
                break;
        }
        const unsigned char byte = data[index];
        if (mintKind == KIND_NONE) {
            mProcessPlain(byte);
            continue;
        }
        if (!mProcessToken(byte))
            mProcessPlain(byte);
    }
}

// Inside strings and base-85 data, follows line starts: a line that begins
// a structuring DSC comment ("%%Page:" among them) ends them and is read as
// a comment. True when the byte was taken so.
bool BasicPostscriptParser::mblnDscCommentStarts(unsigned char byte)
{
    if (mintStringDepth == 0 && !mblnInBase85) {
        mLineWatcher.Stop();
        return false;
    }
    if (!mLineWatcher.Take(byte))
        return false;
    mintStringDepth = 0;
    mblnEscape = false;
    mblnInBase85 = false;
    mintTokenLength = 0;
    for (const char character : mLineWatcher.Comment())
        mAppend(static_cast<unsigned char>(character));
    mintKind = KIND_COMMENT;
    if (!mProcessToken(byte))
        mProcessPlain(byte);
    return true;
}

// A byte outside any token.
void BasicPostscriptParser::mProcessPlain(unsigned char byte)
{
    if (mblnDscCommentStarts(byte))
        return;
    const bool escaped = mblnEscape;
    mblnEscape = mintStringDepth > 0 && byte == '\\' && !escaped;
    if (mintStringDepth > 0 && ++mintStringBytes > mintMAX_STRING_BYTES) {
        mintStringDepth = 0;
        mblnEscape = false;
        mLineWatcher.Stop();
    }
    const bool inString = mintStringDepth > 0;
    if (!inString && !mblnInBase85) {
        if (byte == '%' || byte == '/' || byte == '<') {
            mintTokenLength = 0;
            mAppend(byte);
            mintKind = byte == '%' ? KIND_COMMENT : byte == '/' ? KIND_NAME : KIND_AFTER_LESS;
            return;
        }
    }
    if (!inString && mblnInBase85 && byte == '~') {
        mintKind = KIND_AFTER_TILDE;
        return;
    }
    if (mblnInBase85 || escaped)
        return;
    if (byte == '(') {
        if (mintStringDepth == 0)
            mintStringBytes = 0;
        if (mintStringDepth < std::numeric_limits<int32_t>::max())
            ++mintStringDepth;
    } else if (byte == ')' && mintStringDepth >= 1) {
        --mintStringDepth;
    }
}

// Appends to the token; false when it is full.
bool BasicPostscriptParser::mAppend(unsigned char byte)
{
    if (mintTokenLength >= mbytToken.size())
        return false;
    mbytToken[mintTokenLength++] = static_cast<char>(byte);
    return true;
}

// A byte inside a token.
bool BasicPostscriptParser::mProcessToken(unsigned char byte)
{
    switch (mintKind) {
    case KIND_COMMENT: {
        const bool afterPercent = mintTokenLength > 0 && mbytToken[mintTokenLength - 1] == '%';
        const bool ends = byte == '\n' || byte == '\f' || byte == '\r' || (byte == '%' ? !afterPercent : IsDelimiter(byte));
        if (ends) {
            mEndComment();
            return false;
        }
        if (!mAppend(byte)) {
            mintKind = KIND_NONE;
            return false;
        }
        return true;
    }
    case KIND_NAME:
        if (IsWhiteSpace(byte) || IsDelimiter(byte)) {
            mintKind = ContainsNoCase(mToken(), "/#COPIES") ? KIND_COPIES : KIND_NONE;
            mintCopiesNumber = 0;
            mblnCopiesDigits = false;
            mintTokenLength = 0;
            return mintKind == KIND_COPIES ? mProcessToken(byte) : false;
        }
        if (!mAppend(byte)) {
            mintKind = KIND_NONE;
            return false;
        }
        return true;
    case KIND_COPIES:
        if (!mblnCopiesDigits && (byte == 0 || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' ||
                                  byte == '\r' || byte == ' '))
            return true;
        if (byte >= '0' && byte <= '9') {
            mblnCopiesDigits = true;
            mintCopiesNumber = std::min<uint64_t>(mintCopiesNumber * 10 + (byte - '0'), UINT32_MAX);
            return true;
        }
        if (mintCopiesNumber > mintCopies)
            mintCopies = static_cast<uint32_t>(mintCopiesNumber);
        mintKind = KIND_AFTER_COPIES;
        mintTokenLength = 0;
        return mProcessToken(byte);
    case KIND_AFTER_COPIES:
        if (IsWhiteSpace(byte) && mintTokenLength == 0)
            return true;
        if (IsWhiteSpace(byte) || IsDelimiter(byte) || !mAppend(byte)) {
            if (!ContainsNoCase(mToken(), "DEF"))
                mintCopies = 1;
            mintKind = KIND_NONE;
            return false;
        }
        return true;
    case KIND_AFTER_LESS:
        mintKind = KIND_NONE;
        if (byte == '~') {
            mblnInBase85 = true;
            return true;
        }
        return false;
    case KIND_AFTER_TILDE:
        mintKind = KIND_NONE;
        if (byte == '>') {
            mblnInBase85 = false;
            return true;
        }
        return false;
    case KIND_NONE:
        break;
    }
    return false;
}

// Reads the ordinal of a page comment.
void BasicPostscriptParser::mEndComment()
{
    mintKind = KIND_NONE;
    const std::string_view text = mToken();
    static constexpr std::string_view PAGE = "%%PAGE:";
    const auto found = std::search(text.begin(), text.end(), PAGE.begin(), PAGE.end(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == b;
    });
    if (found == text.end())
        return;
    // The label follows after an optional space; the ordinal after the next space.
    size_t start = static_cast<size_t>(found - text.begin()) + PAGE.size();
    if (start < text.size() && text[start] == ' ')
        ++start;
    const size_t space = text.find(' ', start);
    if (space == std::string_view::npos)
        return;
    const std::string_view ordinalText = text.substr(space + 1);
    if (ordinalText.empty() || ordinalText.front() < '0' || ordinalText.front() > '9')
        return;
    const int64_t ordinal = std::min<int64_t>(ReadLeadingInteger(ordinalText), UINT32_MAX);
    if (ordinal <= 0)
        return;
    const uint32_t page = static_cast<uint32_t>(ordinal);
    if (mintLowestPage == 0 || page < mintLowestPage)
        mintLowestPage = page;
    if (page > mintHighestPage)
        mintHighestPage = page;
}

// The page count from the ordinals.
uint32_t BasicPostscriptParser::GetPostscriptPages() const
{
    if (mintHighestPage == 0)
        return 0;
    return mintHighestPage - mintLowestPage + 1;
}

}  // namespace RawPrintData::Postscript
