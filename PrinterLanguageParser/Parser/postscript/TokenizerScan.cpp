// The tokenizer's common path: between tokens, a token that ends within the
// bytes at hand is read straight from them and signalled without copying
// its text, with the same result as the states would give byte by byte.
// Everything else (tokens cut by the end of the bytes, escapes, lines in
// strings, base-85 strings, binary tokens, the Universal Exit Language and
// the CPCA signature) is left to the states.
#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenizer.h"

#include "PrinterLanguageParser/Parser/postscript/ByteScan.h"

#include <algorithm>
#include <array>

namespace RawPrintData::Postscript {

using namespace TokenizerStates;

namespace {

// What a byte between tokens starts.
enum ByteKind : uint8_t {
    BYTE_REGULAR,    // a name or a number
    BYTE_SPACE,      // white space
    BYTE_PERCENT,    // a comment
    BYTE_PAREN,      // a string
    BYTE_LESS,       // "<<", a hex or a base-85 string
    BYTE_GREATER,    // ">>"
    BYTE_ARRAY,      // "[" or "]"
    BYTE_PROCEDURE,  // "{" or "}"
    BYTE_STATES,     // ESC, binary tokens, the CPCA signature: the states' own
};

constexpr std::array<uint8_t, 256> BYTE_KINDS = [] {
    std::array<uint8_t, 256> kinds{};
    for (const unsigned char byte : std::string_view("\0\t\n\f\r ", 6))
        kinds[byte] = BYTE_SPACE;
    kinds['%'] = BYTE_PERCENT;
    kinds['('] = BYTE_PAREN;
    kinds['<'] = BYTE_LESS;
    kinds['>'] = BYTE_GREATER;
    kinds['['] = kinds[']'] = BYTE_ARRAY;
    kinds['{'] = kinds['}'] = BYTE_PROCEDURE;
    kinds[0x1B] = BYTE_STATES;
    for (unsigned byte = 128; byte <= 159; ++byte)
        kinds[byte] = BYTE_STATES;
    kinds[0xCD] = BYTE_STATES;
    return kinds;
}();

// Bytes that start a number rather than a name.
constexpr std::array<bool, 256> NUMBER_STARTS = [] {
    std::array<bool, 256> starts{};
    for (const unsigned char byte : std::string_view("0123456789+-"))
        starts[byte] = true;
    return starts;
}();

// Bytes that end a name or a number (")" does not).
constexpr std::array<bool, 256> NAME_ENDS = [] {
    std::array<bool, 256> ends{};
    for (const unsigned char byte : std::string_view("\0\t\n\f\r %{}[](<>/\x1B", 17))
        ends[byte] = true;
    for (unsigned byte = 128; byte <= 159; ++byte)
        ends[byte] = true;
    ends[0xCD] = true;
    return ends;
}();

std::string_view TextOf(const unsigned char* bytes, size_t length)
{
    return std::string_view(reinterpret_cast<const char*>(bytes), length);
}

// The end of a long name or number, searched in bulk (kept out of the
// per-token path, which short names take).
[[gnu::noinline]] size_t FindNameEnd(const unsigned char* bytes, size_t from, size_t length)
{
    return ByteScan::FindFirstIn<true, '%', '{', '}', '[', ']', '(', '<', '>', '/'>(NAME_ENDS, bytes, from, length);
}

}  // namespace

// Hands a token read straight from the bytes to the listener (here, where
// every token is read, so that the call is made in place).
inline ParseDataResultType PostscriptTokenizer::mSignalText(PostscriptTokenType type, std::string_view text)
{
    const bool go = mListener == nullptr ||
                    mListener->TokenScanned(PostscriptTokenView(type, text.substr(0, mintMAX_TOKEN_TEXT)));
    return go ? PARSE_RESULT_HANDLED : PARSE_RESULT_SWITCH_LANGUAGE;
}

// Reads the tokens that start the bytes, while the tokenizer stays between
// tokens and each ends within the bytes.
size_t PostscriptTokenizer::mScanTokens(const unsigned char* bytes, size_t length, ParseDataResultType& result)
{
    size_t index = 0;
    while (index < length && mCurrentState == mWhiteSpaceState && mstrText.empty()) {
        const unsigned char* const token = bytes + index;
        const size_t left = length - index;
        size_t taken = 0;
        switch (BYTE_KINDS[token[0]]) {
        case BYTE_SPACE:
            taken = 1;
            while (taken < left && BYTE_KINDS[token[taken]] == BYTE_SPACE)
                ++taken;
            result = PARSE_RESULT_HANDLED;
            break;
        case BYTE_REGULAR:
            taken = mScanName(token, left, result);
            break;
        case BYTE_PERCENT:
            taken = mScanComment(token, left, result);
            break;
        case BYTE_PAREN:
            taken = mScanString(token, left, result);
            break;
        case BYTE_LESS:
        case BYTE_GREATER:
            taken = mScanAngle(token, left, result);
            break;
        case BYTE_ARRAY:
            taken = 1;
            result = mSignalText(TOKEN_ARRAY, TextOf(token, 1));
            break;
        case BYTE_PROCEDURE:
            taken = 1;
            result = mSignalText(TOKEN_PROCEDURE, TextOf(token, 1));
            break;
        default:
            break;
        }
        if (taken == 0)
            break;
        index += taken;
        mintPosition += taken;
        if (result == PARSE_RESULT_SWITCH_LANGUAGE)
            break;
    }
    return index;
}

// A name or a number, signalled from the bytes. The white space that ends
// it is taken with it, and so is a bracket, which is signalled after it; the
// other bytes that end it are read again between tokens, which leaves the
// tokenizer as the name state would (unless the listener moved it to
// another state, which then gets the byte as the name state would give it).
// A name ended by ESC, a binary token or the CPCA signature becomes the
// token being built and the states take that byte.
inline size_t PostscriptTokenizer::mScanName(const unsigned char* bytes, size_t length, ParseDataResultType& result)
{
    size_t end = 1;
    if (bytes[0] == '/' && length > 1 && bytes[1] == '/')
        end = 2;  // an immediately evaluated name
    // Most names and numbers are short: their first bytes are looked at one
    // by one, the rest of a long one in bulk.
    const size_t near = std::min<size_t>(length, 16);
    while (end < near && !NAME_ENDS[bytes[end]])
        ++end;
    if (end == near)
        end = FindNameEnd(bytes, end, length);
    if (end == length)
        return 0;
    const PostscriptTokenType type = NUMBER_STARTS[bytes[0]] ? TOKEN_NUMBER : TOKEN_NAME;
    if (BYTE_KINDS[bytes[end]] == BYTE_SPACE) {
        result = mSignalText(type, TextOf(bytes, end));
        return end + 1;
    }
    return mEndName(bytes, end, type, result);
}

// A name or a number ended by a byte other than white space.
size_t PostscriptTokenizer::mEndName(const unsigned char* bytes, size_t end, PostscriptTokenType type,
                                     ParseDataResultType& result)
{
    const std::string_view text = TextOf(bytes, end);
    const unsigned char stop = bytes[end];
    StateId next = STATE_COUNT;
    switch (stop) {
    case '[':
    case ']':
    case '{':
    case '}':
        result = mSignalText(type, text);
        if (result != PARSE_RESULT_SWITCH_LANGUAGE)
            result = mSignalText(stop == '[' || stop == ']' ? TOKEN_ARRAY : TOKEN_PROCEDURE, TextOf(bytes + end, 1));
        return end + 1;
    case '(': next = STATE_STRING; break;
    case '<': next = STATE_AFTER_LESS; break;
    case '>': next = STATE_AFTER_GREATER; break;
    case '%': next = STATE_AFTER_PERCENT; break;
    case '/': next = STATE_NAME; break;
    default:
        mstrText.assign(text.substr(0, mintMAX_TOKEN_TEXT));
        mCurrentState = mvecStates[type == TOKEN_NUMBER ? STATE_NUMBER : STATE_NAME].get();
        result = PARSE_RESULT_NEED_MORE_DATA;
        return end;
    }
    IPostscriptTokenizerState* const state = mvecStates[next].get();
    mCurrentState = state;
    state->Enter();
    result = mSignalText(type, text);
    if (mCurrentState == state && result != PARSE_RESULT_SWITCH_LANGUAGE) {
        mCurrentState = mWhiteSpaceState;
        return end;
    }
    if (stop == '>' || stop == '%' || stop == '/')
        mstrText.assign(1, static_cast<char>(stop));
    return end + 1;
}

// A comment line that ends within the bytes, its line end taken.
size_t PostscriptTokenizer::mScanComment(const unsigned char* bytes, size_t length, ParseDataResultType& result)
{
    const size_t end = ByteScan::FindFirstOf<'\r', '\n'>(bytes, 1, length);
    if (end == length)
        return 0;
    const std::string_view text = TextOf(bytes, end).substr(0, mintMAX_TOKEN_TEXT);
    PostscriptTokenType type = TOKEN_COMMENT;
    StateId next = STATE_WHITE_SPACE;
    if (end > 1 && bytes[1] == '%') {
        type = TOKEN_DSC_COMMENT;
        if (text.starts_with("%%BeginBinary"))
            next = STATE_CONSUME_BINARY;
        else if (text.starts_with("%%BeginData"))
            next = STATE_CONSUME_DATA;
    } else if (end > 1 && bytes[1] == '!') {
        const bool plain = text.size() >= IPostscriptTokenizerState::mstrBasicPostscriptPrologue.size() &&
                           !text.starts_with(IPostscriptTokenizerState::mstrBasicPostscriptPrologue);
        type = plain ? TOKEN_COMMENT : TOKEN_PROLOGUE;
    }
    if (next != STATE_WHITE_SPACE) {
        mCurrentState = mvecStates[next].get();
        mCurrentState->Enter();
    }
    result = mSignalText(type, text);
    return end + 1;
}

// A string without escapes, nested brackets or line ends.
inline size_t PostscriptTokenizer::mScanString(const unsigned char* bytes, size_t length, ParseDataResultType& result)
{
    const size_t end = ByteScan::FindFirstOf<'(', ')', '\\', '\r', '\n'>(bytes, 1, length);
    if (end == length || bytes[end] != ')')
        return 0;
    result = mSignalText(TOKEN_STRING, TextOf(bytes + 1, end - 1));
    return end + 1;
}

// "<<", ">>" and a hex string on one line.
size_t PostscriptTokenizer::mScanAngle(const unsigned char* bytes, size_t length, ParseDataResultType& result)
{
    if (length < 2)
        return 0;
    if (bytes[0] == '>') {
        if (bytes[1] != '>')
            return 0;
        result = mSignalText(TOKEN_DICTIONARY, ">>");
        return 2;
    }
    if (bytes[1] == '<') {
        result = mSignalText(TOKEN_DICTIONARY, "<<");
        return 2;
    }
    if (bytes[1] == '~')
        return 0;
    const size_t end = ByteScan::FindFirstOf<'>', '\r', '\n'>(bytes, 1, length);
    if (end == length || bytes[end] != '>')
        return 0;
    result = mSignalText(TOKEN_HEX_STRING, TextOf(bytes + 1, end - 1));
    return end + 1;
}

}  // namespace RawPrintData::Postscript
