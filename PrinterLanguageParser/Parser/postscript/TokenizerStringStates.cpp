// The tokenizer's states for the three string forms.
#include "PrinterLanguageParser/Parser/postscript/TokenizerStates.h"

#include "PrinterLanguageParser/Parser/postscript/ByteScan.h"

#include <cstring>

namespace RawPrintData::Postscript::TokenizerStates {

// Takes string bytes other than brackets and backslashes in bulk, and the
// line ends that begin no comment.
size_t StringLiteralState::ConsumeRun(const unsigned char* bytes, size_t length)
{
    if (IsWatchingLineStart())
        return 0;
    const size_t run = ByteScan::FindFirstOfAcrossLines<'(', ')', '\\'>(bytes, 0, length);
    AppendRun(bytes, run);
    return run;
}

// Takes hex string bytes up to the closing bracket in bulk, and the line
// ends that begin no comment.
size_t HexStringState::ConsumeRun(const unsigned char* bytes, size_t length)
{
    if (IsWatchingLineStart())
        return 0;
    const size_t run = ByteScan::FindFirstOfAcrossLines<'>'>(bytes, 0, length);
    AppendRun(bytes, run);
    return run;
}

// Takes base-85 bytes other than "~" and ">" in bulk, and the line ends that
// begin no comment.
size_t Base85StringState::ConsumeRun(const unsigned char* bytes, size_t length)
{
    if (Pending() != 0 || IsWatchingLineStart())
        return 0;
    const size_t run = ByteScan::FindFirstOfAcrossLines<'~', '>'>(bytes, 0, length);
    AppendRun(bytes, run);
    return run;
}

// Starts a string at depth 1.
void StringLiteralState::Enter()
{
    mintDepth = 1;
    StopWatching();
}

// Inside a ( ) string.
ParseDataResultType StringLiteralState::ProcessByte(unsigned char byte)
{
    if (Watch(byte))
        return ResyncAtDscComment(byte);
    if (byte == '(') {
        ++mintDepth;
        Append(byte);
    } else if (byte == ')') {
        if (--mintDepth == 0) {
            GoTo(STATE_WHITE_SPACE);
            return Signal(TOKEN_STRING);
        }
        Append(byte);
    } else if (byte == '\\') {
        GoTo(STATE_STRING_ESCAPE);
    } else {
        Append(byte);
    }
    return PARSE_RESULT_NEED_MORE_DATA;
}

// Starts an escape sequence.
void StringEscapeState::Enter()
{
    mintDigits = 0;
    mintValue = 0;
    Pending() = 0;
}

// After a backslash inside a string.
ParseDataResultType StringEscapeState::ProcessByte(unsigned char byte)
{
    if (Watch(byte))
        return ResyncAtDscComment(byte);
    if (Pending() == '\r') {
        // A line continuation ended by CR: an LF right after it belongs to it.
        Pending() = 0;
        if (byte == '\n') {
            Resume(STATE_STRING);
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        return ResumeAndHand(STATE_STRING, byte);
    }
    if (byte >= '0' && byte <= '7') {
        mintValue = mintValue * 8 + static_cast<unsigned>(byte - '0');
        if (++mintDigits == 3) {
            Append(static_cast<unsigned char>(mintValue & 0xFF));
            Resume(STATE_STRING);
        }
        return PARSE_RESULT_NEED_MORE_DATA;
    }
    if (mintDigits > 0) {
        // One or two octal digits, ended by a byte that belongs to the string.
        Append(static_cast<unsigned char>(mintValue & 0xFF));
        return ResumeAndHand(STATE_STRING, byte);
    }
    switch (byte) {
    case 'n': Append('\n'); break;
    case 'r': Append('\r'); break;
    case 't': Append('\t'); break;
    case 'b': Append('\b'); break;
    case 'f': Append('\f'); break;
    case '(':
    case ')':
    case '\\': Append(byte); break;
    case '\r':
        // Line continuation: the newline is dropped.
        Pending() = '\r';
        return PARSE_RESULT_NEED_MORE_DATA;
    default:
        // LF (line continuation) and unknown escapes are dropped.
        break;
    }
    Resume(STATE_STRING);
    return PARSE_RESULT_NEED_MORE_DATA;
}

// Inside a < > string.
ParseDataResultType HexStringState::ProcessByte(unsigned char byte)
{
    if (Watch(byte))
        return ResyncAtDscComment(byte);
    if (byte == '>') {
        GoTo(STATE_WHITE_SPACE);
        return Signal(TOKEN_HEX_STRING);
    }
    Append(byte);
    return PARSE_RESULT_NEED_MORE_DATA;
}

// Starts a base-85 string.
void Base85StringState::Enter()
{
    Pending() = 0;
    StopWatching();
}

// Inside a <~ ~> string.
ParseDataResultType Base85StringState::ProcessByte(unsigned char byte)
{
    if (Watch(byte))
        return ResyncAtDscComment(byte);
    const bool afterTilde = Pending() == '>';
    Pending() = 0;
    if (byte == '~') {
        Pending() = '>';
        return PARSE_RESULT_NEED_MORE_DATA;
    }
    if (byte == '>') {
        if (!afterTilde)
            return PARSE_RESULT_NEED_MORE_DATA;
        GoTo(STATE_WHITE_SPACE);
        return Signal(TOKEN_BASE85_STRING);
    }
    Append(byte);
    return PARSE_RESULT_NEED_MORE_DATA;
}

}  // namespace RawPrintData::Postscript::TokenizerStates
