#include "PrinterLanguageParser/Parser/postscript/BasicPostscriptParser.h"

#include "PrinterLanguageParser/Parser/postscript/ByteScan.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptNumberText.h"
#include "PrinterLanguageParser/Parser/postscript/TokenizerStates.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace RawPrintData::Postscript {

namespace {

using TokenizerStates::IsWhiteSpace;

// Bytes that end names and comments.
constexpr bool IsDelimiter(unsigned char byte)
{
    switch (byte) {
    case '%': case '(': case ')': case '/': case '<': case '>': case '@': case '[': case ']': case '{': case '}':
        return true;
    default:
        return false;
    }
}

// Bytes that end a name: white space and the delimiters.
constexpr std::array<bool, 256> NAME_ENDS = [] {
    std::array<bool, 256> ends{};
    for (unsigned byte = 0; byte < 256; ++byte)
        ends[byte] = IsWhiteSpace(static_cast<unsigned char>(byte)) || IsDelimiter(static_cast<unsigned char>(byte));
    return ends;
}();

// Bytes that end a comment or may: line ends, the delimiters and "%" (which
// ends it unless it follows one).
constexpr std::array<bool, 256> COMMENT_STOPS = [] {
    std::array<bool, 256> stops{};
    for (unsigned byte = 0; byte < 256; ++byte)
        stops[byte] = IsDelimiter(static_cast<unsigned char>(byte));
    stops['\n'] = stops['\f'] = stops['\r'] = true;
    return stops;
}();

// ASCII upper case, whatever the process's locale.
constexpr char Upper(char character)
{
    return character >= 'a' && character <= 'z' ? static_cast<char>(character - 'a' + 'A') : character;
}

// Whether the text holds the word (in upper case), in any case.
bool ContainsNoCase(std::string_view text, std::string_view word)
{
    const auto found = std::search(text.begin(), text.end(), word.begin(), word.end(),
                                   [](char a, char b) { return Upper(a) == b; });
    return found != text.end();
}

// Whether the text begins with the word (in upper case), in any case.
bool StartsWithNoCase(std::string_view text, std::string_view word)
{
    if (text.size() < word.size())
        return false;
    for (size_t index = 0; index < word.size(); ++index) {
        if (Upper(text[index]) != word[index])
            return false;
    }
    return true;
}

// Whether a name is "/#copies" in any case (a name holds no "/" but its
// first, so it holds the word only at its start).
bool IsCopiesName(std::string_view name)
{
    static constexpr std::string_view COPIES = "/#COPIES";
    return name.size() >= COPIES.size() && name[1] == '#' && ContainsNoCase(name.substr(0, COPIES.size()), COPIES);
}

std::string_view TextOf(const unsigned char* bytes, size_t length)
{
    return std::string_view(reinterpret_cast<const char*>(bytes), length);
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

// Runs the byte rules. Outside strings and base-85 data the bytes are read in
// bulk (mScanPlain); inside them the bytes that change nothing are skipped in
// bulk; the rest, and tokens cut by the end of the bytes, go byte by byte.
void BasicPostscriptParser::mScan(std::span<const unsigned char> bytes)
{
    const unsigned char* data = bytes.data();
    const size_t length = bytes.size();
    size_t index = 0;
    while (index < length) {
        if (mintKind == KIND_COMMENT || mintKind == KIND_NAME) {
            index += mintKind == KIND_COMMENT ? mTakeComment(data + index, length - index)
                                              : mTakeName(data + index, length - index);
            if (index == length)
                break;
        } else if (mintKind == KIND_NONE && !mblnEscape && !mLineWatcher.IsAtLineStart()) {
            index = mintStringDepth == 0 && !mblnInBase85 ? mScanPlain(data, index, length) : mSkip(data, index, length);
            if (index == length)
                break;
        }
        const unsigned char byte = data[index++];
        if (mintKind == KIND_NONE || !mProcessToken(byte))
            mProcessPlain(byte);
    }
}

// Reads the bytes outside strings and base-85 data from index on: names and
// comments that end within the bytes are read whole, and so are strings.
// Returns where the byte rules take over: inside a string or at a byte that
// opens base-85 data, or that starts a token the bulk reading leaves to
// them, or at the end.
size_t BasicPostscriptParser::mScanPlain(const unsigned char* data, size_t index, size_t length)
{
    while (true) {
        // "<" alone, a name other than "/#...", and a comment that does not
        // begin "%%" change nothing (a name or comment holds none of the
        // bytes looked for here before the byte that ends it, which is read
        // again anyway): only the pairs that matter stop the search.
        index = ByteScan::FindFirstOfOrPair<'(', '%', '%', '/', '#', '<', '~'>(data, index, length);
        if (index + 1 >= length)
            return index;
        if (data[index] == '(') {
            // A string opens; its body is followed in bulk, and a string that
            // closes within the bytes is passed over. Most close on their
            // line without brackets or escapes inside.
            const size_t close = ByteScan::FindFirstOf<'(', ')', '\\', '\r', '\n'>(data, index + 1, length);
            if (close < length && data[close] == ')' && close - index <= mintMAX_STRING_BYTES) {
                index = close + 1;
                continue;
            }
            mintStringBytes = 0;
            mintStringDepth = 1;
            index = mSkip(data, index + 1, length);
            if (mintStringDepth != 0)
                return index;
            continue;
        }
        if (data[index] == '<')
            return index;  // "<~" opens base-85 data
        const size_t end = data[index] == '/' ? mNameEnd(data, index, length) : mCommentEnd(data, index, length);
        if (end == length || end - index > mbytToken.size())
            return index;  // cut by the end of the bytes, or too long to keep
        const std::string_view text = TextOf(data + index, end - index);
        if (data[index] == '%') {
            mCountPageComment(text);
        } else if (IsCopiesName(text)) {
            mStartCopies();
            return end;
        }
        index = end;
    }
}

// Where a name that starts at index ends: its first white space or delimiter.
size_t BasicPostscriptParser::mNameEnd(const unsigned char* data, size_t index, size_t length)
{
    ++index;
    while (index < length && !NAME_ENDS[data[index]])
        ++index;
    return index;
}

// Where a comment that starts at index ends: after its leading "%" bytes, at
// its first line end, delimiter or "%".
size_t BasicPostscriptParser::mCommentEnd(const unsigned char* data, size_t index, size_t length)
{
    ++index;
    while (index < length && data[index] == '%')
        ++index;
    while (index < length && !COMMENT_STOPS[data[index]])
        ++index;
    return index;
}

// Skips the bytes from index on that change nothing inside strings and
// base-85 data, and follows the brackets and escapes of a string; returns
// the first byte that the byte rules must take (a "~", a line end that may
// begin a comment, a string's end or the string bound). Inside a string at
// most the bytes left before the string is abandoned are taken, so the rule
// applies at the same byte however the job is cut.
size_t BasicPostscriptParser::mSkip(const unsigned char* data, size_t index, size_t length)
{
    if (mintStringDepth == 0)
        return ByteScan::FindFirstOfAcrossLines<'~'>(data, index, length);
    while (true) {
        const size_t limit = index + static_cast<size_t>(std::min<uint64_t>(
                                         length - index, mintMAX_STRING_BYTES - std::min(mintStringBytes, mintMAX_STRING_BYTES)));
        const size_t stop = ByteScan::FindFirstOfAcrossLines<'(', ')', '\\'>(data, index, limit);
        mintStringBytes += stop - index;
        index = stop;
        if (stop == limit)
            return stop;
        // A bracket, or an escape with the byte it escapes (unless that is
        // a line end, which the line watcher sees), as mProcessPlain takes
        // them.
        size_t taken = 0;
        if (data[stop] == '(' && mintStringDepth < std::numeric_limits<int32_t>::max())
            taken = 1;
        else if (data[stop] == ')')
            taken = 1;
        else if (data[stop] == '\\' && stop + 1 < length && data[stop + 1] != '\r' && data[stop + 1] != '\n')
            taken = 2;
        if (taken == 0 || mintStringBytes + taken > mintMAX_STRING_BYTES)
            return stop;
        mintStringBytes += taken;
        index = stop + taken;
        if (data[stop] == '(') {
            ++mintStringDepth;
        } else if (data[stop] == ')' && --mintStringDepth == 0) {
            return index;
        }
    }
}

// Appends bytes to the token; false when they did not all fit (as many as
// fit are kept).
bool BasicPostscriptParser::mAppendRun(const unsigned char* data, size_t length, size_t& taken)
{
    taken = std::min(length, mbytToken.size() - mintTokenLength);
    std::memcpy(mbytToken.data() + mintTokenLength, data, taken);
    mintTokenLength += taken;
    return taken == length;
}

// Takes the bytes of a comment; the byte after them, if any, ended or
// abandoned it and is examined again.
size_t BasicPostscriptParser::mTakeComment(const unsigned char* data, size_t length)
{
    for (size_t index = 0;;) {
        const size_t stop = ByteScan::FindFirstIn<false, '%', '(', ')', '/', '<', '>', '@', '[', ']', '{', '}'>(
            COMMENT_STOPS, data, index, length);
        size_t taken = 0;
        if (!mAppendRun(data + index, stop - index, taken)) {
            mintKind = KIND_NONE;
            return index + taken;
        }
        if (stop == length)
            return length;
        const bool afterPercent = mintTokenLength > 0 && mbytToken[mintTokenLength - 1] == '%';
        if (data[stop] != '%' || !afterPercent) {
            mintKind = KIND_NONE;
            mCountPageComment(mToken());
            return stop;
        }
        if (!mAppend('%')) {
            mintKind = KIND_NONE;
            return stop;
        }
        index = stop + 1;
    }
}

// Takes the bytes of a name; the byte after them, if any, ended or
// abandoned it and is examined again (by the copies number after a
// "/#copies" name).
size_t BasicPostscriptParser::mTakeName(const unsigned char* data, size_t length)
{
    const size_t end =
        ByteScan::FindFirstIn<false, '%', '(', ')', '/', '<', '>', '@', '[', ']', '{', '}'>(NAME_ENDS, data, 0, length);
    size_t taken = 0;
    if (!mAppendRun(data, end, taken)) {
        mintKind = KIND_NONE;
        return taken;
    }
    if (end == length)
        return length;
    if (IsCopiesName(mToken()))
        mStartCopies();
    else
        mintKind = KIND_NONE;
    return end;
}

// After a "/#copies" name: its number follows.
void BasicPostscriptParser::mStartCopies()
{
    mintKind = KIND_COPIES;
    mintCopiesNumber = 0;
    mblnCopiesDigits = false;
    mintTokenLength = 0;
}

// Inside strings and base-85 data, follows line starts: a line that begins
// a structuring DSC comment ("%%Page:" among them) ends them and is read as
// a comment. True when the byte was taken so.
bool BasicPostscriptParser::mblnDscCommentStarts(unsigned char byte)
{
    if (!mLineWatcher.Take(byte))
        return false;
    mintStringDepth = 0;
    mblnEscape = false;
    mblnInBase85 = false;
    mintTokenLength = 0;
    for (const char character : mLineWatcher.Comment())
        mAppend(static_cast<unsigned char>(character));
    mintKind = KIND_COMMENT;
    if (mTakeComment(&byte, 1) == 0)
        mProcessPlain(byte);
    return true;
}

// A byte outside any token.
void BasicPostscriptParser::mProcessPlain(unsigned char byte)
{
    // Outside strings and base-85 data no line start is followed.
    if ((mintStringDepth > 0 || mblnInBase85) && mblnDscCommentStarts(byte))
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

// A byte inside a token (other than a comment or a name).
bool BasicPostscriptParser::mProcessToken(unsigned char byte)
{
    switch (mintKind) {
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
    default:
        break;
    }
    return false;
}

// Reads the ordinal of a page comment. A comment holds "%" only in its
// leading run (a "%" after another character ends it), so "%%PAGE:" can
// only stand at the end of that run.
void BasicPostscriptParser::mCountPageComment(std::string_view text)
{
    static constexpr std::string_view PAGE = "%%PAGE:";
    if (text.size() < PAGE.size() || text[1] != '%')
        return;
    size_t percents = 2;
    while (percents < text.size() && text[percents] == '%')
        ++percents;
    if (text.size() - percents < PAGE.size() - 2 || !StartsWithNoCase(text.substr(percents), PAGE.substr(2)))
        return;
    // The label follows after an optional space; the ordinal after the next space.
    size_t start = percents + PAGE.size() - 2;
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
