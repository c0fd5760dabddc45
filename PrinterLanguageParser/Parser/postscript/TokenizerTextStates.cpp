// The tokenizer's states for names, numbers, comments, delimiters and the
// data blocks that DSC comments announce.
#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/postscript/TokenizerStates.h"

#include "PrinterLanguageParser/Parser/postscript/ByteScan.h"

#include <array>

namespace RawPrintData::Postscript::TokenizerStates {

namespace {

constexpr unsigned char ESC = 0x1B;

// Bytes 128 to 159 start binary tokens.
constexpr bool IsBinaryTokenStart(unsigned char byte)
{
    return byte >= 128 && byte <= 159;
}

constexpr unsigned char CPCA_FIRST_BYTE = 0xCD;

// Whether the text is a proper prefix of the Universal Exit Language.
bool IsExitPrefix(std::string_view text)
{
    return !text.empty() && text.size() < IRawDataParser::mstrUNIVERSAL_EXIT_LANGUAGE.size() &&
           static_cast<unsigned char>(text.front()) == ESC &&
           IRawDataParser::mstrUNIVERSAL_EXIT_LANGUAGE.starts_with(text);
}

// Bytes that end or change a name: white space, delimiters, ESC, binary
// token starts and the CPCA signature's first byte.
constexpr std::array<bool, 256> NAME_STOPS = [] {
    std::array<bool, 256> stops{};
    for (const unsigned char byte : std::string_view("\0\t\n\f\r %{}[]()<>/\x1B", 18))
        stops[byte] = true;
    for (unsigned byte = 128; byte <= 159; ++byte)
        stops[byte] = true;
    stops[CPCA_FIRST_BYTE] = true;
    return stops;
}();

}  // namespace

// Takes the plain characters of a name in bulk.
size_t NameState::ConsumeRun(const unsigned char* bytes, size_t length)
{
    // A name that may become the Universal Exit Language goes byte by byte.
    if (!Text().empty() && static_cast<unsigned char>(Text().front()) == ESC)
        return 0;
    const size_t run =
        ByteScan::FindFirstIn<true, '%', '{', '}', '[', ']', '(', ')', '<', '>', '/'>(NAME_STOPS, bytes, 0, length);
    AppendRun(bytes, run);
    return run;
}

// Takes a comment line up to its end in bulk.
size_t CommentState::ConsumeRun(const unsigned char* bytes, size_t length)
{
    const size_t run = ByteScan::FindFirstOf<'\r', '\n'>(bytes, 0, length);
    AppendRun(bytes, run);
    return run;
}

// Between tokens.
ParseDataResultType WhiteSpaceState::ProcessByte(unsigned char byte)
{
    if (IsWhiteSpace(byte))
        return PARSE_RESULT_HANDLED;
    switch (byte) {
    case '%':
        Append(byte);
        GoTo(STATE_AFTER_PERCENT);
        return PARSE_RESULT_NEED_MORE_DATA;
    case '[':
    case ']':
        Append(byte);
        return Signal(TOKEN_ARRAY);
    case '{':
    case '}':
        Append(byte);
        return Signal(TOKEN_PROCEDURE);
    case '(':
        GoTo(STATE_STRING);
        return PARSE_RESULT_NEED_MORE_DATA;
    case '<':
        GoTo(STATE_AFTER_LESS);
        return PARSE_RESULT_NEED_MORE_DATA;
    case '>':
        Append(byte);
        GoTo(STATE_AFTER_GREATER);
        return PARSE_RESULT_NEED_MORE_DATA;
    default:
        break;
    }
    if (IsBinaryTokenStart(byte))
        return HandTo(STATE_BINARY_TOKEN, byte);
    if (byte == CPCA_FIRST_BYTE)
        return HandTo(STATE_CPCA_SIGNATURE, byte);
    Append(byte);
    const bool number = (byte >= '0' && byte <= '9') || byte == '+' || byte == '-';
    GoTo(number ? STATE_NUMBER : STATE_NAME);
    return PARSE_RESULT_NEED_MORE_DATA;
}

// Ends the name and hands the byte that follows it to the next state.
ParseDataResultType NameState::mEndAndHandOn(StateId state, unsigned char byte)
{
    GoTo(STATE_WHITE_SPACE);
    const ParseDataResultType result = Signal(mintType);
    if (result == PARSE_RESULT_SWITCH_LANGUAGE)
        return result;
    return HandTo(state, byte);
}

// Ends the name and starts the next token with the byte in the state.
ParseDataResultType NameState::mEndAndStartNext(StateId state, unsigned char byte)
{
    GoTo(state);
    const ParseDataResultType result = Signal(mintType);
    Append(byte);
    return result;
}

// Inside a name or number.
ParseDataResultType NameState::ProcessByte(unsigned char byte)
{
    if (IsWhiteSpace(byte)) {
        GoTo(STATE_WHITE_SPACE);
        return Signal(mintType);
    }
    switch (byte) {
    case '%':
        // ESC "%-12345X" stays one name, so that PJL can take over after it.
        if (IsExitPrefix(Text())) {
            Append(byte);
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        return mEndAndStartNext(STATE_AFTER_PERCENT, byte);
    case '{':
    case '}':
    case '[':
    case ']': {
        GoTo(STATE_WHITE_SPACE);
        if (Signal(mintType) == PARSE_RESULT_SWITCH_LANGUAGE)
            return PARSE_RESULT_SWITCH_LANGUAGE;
        Append(byte);
        return Signal(byte == '{' || byte == '}' ? TOKEN_PROCEDURE : TOKEN_ARRAY);
    }
    case '(':
        GoTo(STATE_STRING);
        return Signal(mintType);
    case '<':
        GoTo(STATE_AFTER_LESS);
        return Signal(mintType);
    case '>':
        return mEndAndStartNext(STATE_AFTER_GREATER, byte);
    case '/':
        if (Text() == "/") {
            Append(byte);
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        // A literal name starts here; after a number ("2/Duplex") it is still a name.
        return mEndAndStartNext(STATE_NAME, byte);
    case ESC:
        // ESC never belongs to a PostScript name: it may begin the Universal
        // Exit Language, which must start a name of its own.
        if (Text().empty()) {
            Append(byte);
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        return mEndAndStartNext(STATE_NAME, byte);
    default:
        break;
    }
    if (IsBinaryTokenStart(byte))
        return mEndAndHandOn(STATE_BINARY_TOKEN, byte);
    if (byte == CPCA_FIRST_BYTE)
        return mEndAndHandOn(STATE_CPCA_SIGNATURE, byte);
    Append(byte);
    if (mintType == TOKEN_NAME && Text() == IRawDataParser::mstrUNIVERSAL_EXIT_LANGUAGE) {
        GoTo(STATE_WHITE_SPACE);
        return Signal(TOKEN_NAME);
    }
    return PARSE_RESULT_NEED_MORE_DATA;
}

// Signals the name at the end of the job.
ParseDataResultType NameState::Flush()
{
    GoTo(STATE_WHITE_SPACE);
    return Signal(mintType);
}

// After "%": a DSC comment, a "%!" line or a plain comment.
ParseDataResultType AfterPercentState::ProcessByte(unsigned char byte)
{
    if (byte == '%')
        return HandTo(STATE_DSC_COMMENT, byte);
    if (byte == '!')
        return HandTo(STATE_PROLOGUE, byte);
    return HandTo(STATE_COMMENT, byte);
}

// Signals a lone "%" at the end of the job.
ParseDataResultType AfterPercentState::Flush()
{
    GoTo(STATE_WHITE_SPACE);
    return Signal(TOKEN_COMMENT);
}

// Inside a "%!" line.
ParseDataResultType PrologueState::ProcessByte(unsigned char byte)
{
    if (byte == '\r' || byte == '\n') {
        GoTo(STATE_WHITE_SPACE);
        return Signal(mintType);
    }
    Append(byte);
    if (Text().size() == mstrBasicPostscriptPrologue.size() && Text() != mstrBasicPostscriptPrologue)
        mintType = TOKEN_COMMENT;
    return PARSE_RESULT_NEED_MORE_DATA;
}

// Signals the line at the end of the job.
ParseDataResultType PrologueState::Flush()
{
    const PostscriptTokenType type = mintType;
    GoTo(STATE_WHITE_SPACE);
    return Signal(type);
}

// Inside a comment line.
ParseDataResultType CommentState::ProcessByte(unsigned char byte)
{
    if (byte != '\r' && byte != '\n') {
        Append(byte);
        return PARSE_RESULT_NEED_MORE_DATA;
    }
    StateId next = STATE_WHITE_SPACE;
    if (mintType == TOKEN_DSC_COMMENT) {
        const std::string_view text(Text());
        if (text.starts_with("%%BeginBinary"))
            next = STATE_CONSUME_BINARY;
        else if (text.starts_with("%%BeginData"))
            next = STATE_CONSUME_DATA;
    }
    GoTo(next);
    return Signal(mintType);
}

// Signals the line at the end of the job.
ParseDataResultType CommentState::Flush()
{
    GoTo(STATE_WHITE_SPACE);
    return Signal(mintType);
}

// Starts a data block.
void ConsumeDataState::Enter()
{
    mblnWordSignalled = false;
    mPicture.reset();
    StopWatching();
}

// Skips a data word, watching for the end marker.
ParseDataResultType ConsumeDataState::ProcessByte(unsigned char byte)
{
    if (mPicture)
        return mTakePictureHeader(byte);
    if (Watch(byte))
        return ResyncAtDscComment(byte);
    if (!IsWhiteSpace(byte)) {
        // Only the marker's length matters once the first word is out.
        if (!mblnWordSignalled || Text().size() < mstrEndMarker.size())
            Append(byte);
        return PARSE_RESULT_NEED_MORE_DATA;
    }
    if (std::string_view(Text()).starts_with(mstrEndMarker))
        return HandTo(STATE_DSC_COMMENT, byte);
    if (Text().empty())
        return PARSE_RESULT_NEED_MORE_DATA;
    if (mblnWordSignalled) {
        Text().clear();
        return PARSE_RESULT_NEED_MORE_DATA;
    }
    mblnWordSignalled = true;
    if (Text() == "DisplayImage") {
        mPicture.emplace();
        return PARSE_RESULT_NEED_MORE_DATA;
    }
    return Signal(TOKEN_NAME);
}

// The lines after ImageMagick's DisplayImage, up to the verdict; then the
// name is signalled. A block cut before the verdict paints as colour.
ParseDataResultType ConsumeDataState::mTakePictureHeader(unsigned char byte)
{
    if (Watch(byte)) {
        mPicture.reset();
        const ParseDataResultType result = SignalPicture(false);
        return result != PARSE_RESULT_HANDLED ? result : ResyncAtDscComment(byte);
    }
    const ImageMagickPicture::Verdict verdict = mPicture->Take(byte);
    if (verdict == ImageMagickPicture::Verdict::Reading)
        return PARSE_RESULT_NEED_MORE_DATA;
    mPicture.reset();
    return SignalPicture(verdict == ImageMagickPicture::Verdict::Neutral);
}

// Starts passing over unreadable bytes.
void SkipToDscCommentState::Enter()
{
    StopWatching();
}

// Passes over a byte, watching line starts.
ParseDataResultType SkipToDscCommentState::ProcessByte(unsigned char byte)
{
    if (Watch(byte))
        return ResyncAtDscComment(byte);
    return PARSE_RESULT_NEED_MORE_DATA;
}

// Passes over the lines that begin no comment in bulk.
size_t SkipToDscCommentState::ConsumeRun(const unsigned char* bytes, size_t length)
{
    if (IsWatchingLineStart())
        return 0;
    return ByteScan::FindFirstOfAcrossLines<>(bytes, 0, length);
}

// After "<": a base-85 string, "<<" or a hex string.
ParseDataResultType AfterLessState::ProcessByte(unsigned char byte)
{
    if (byte == '~') {
        GoTo(STATE_BASE85_STRING);
        return PARSE_RESULT_NEED_MORE_DATA;
    }
    if (byte == '<') {
        Append("<<");
        GoTo(STATE_WHITE_SPACE);
        return Signal(TOKEN_DICTIONARY);
    }
    return HandTo(STATE_HEX_STRING, byte);
}

// After ">": ">>", or a lone ">" that ends base-85 data a filter reads from
// the file itself (Ghostscript's inline images), which prints nothing and is
// passed over.
ParseDataResultType AfterGreaterState::ProcessByte(unsigned char byte)
{
    if (byte != '>') {
        Text().clear();
        return HandTo(STATE_WHITE_SPACE, byte);
    }
    Append(byte);
    GoTo(STATE_WHITE_SPACE);
    return Signal(TOKEN_DICTIONARY);
}

}  // namespace RawPrintData::Postscript::TokenizerStates
