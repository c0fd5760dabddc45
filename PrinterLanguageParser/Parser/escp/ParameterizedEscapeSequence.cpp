#include "PrinterLanguageParser/Parser/escp/ParameterizedEscapeSequence.h"

#include "PrinterLanguageParser/Parser/Endian.h"

#include <string_view>

namespace RawPrintData::ESCP {

namespace {

// ESC ( commands whose parameters are passed over.
constexpr std::string_view PASSED_PAREN_COMMANDS = "CDGSUV\\ceisv$";

// ESC i compression modes whose data is raw rather than run-length encoded.
constexpr bool IsRawRasterCompression(unsigned int compression)
{
    return compression == 0 || compression == 4 || compression == 5;
}

// ESC/P numbers come least significant byte first.
const LittleEndian LITTLE_ENDIAN_ORDER;

// A little-endian 16-bit number at a position.
uint64_t LittleEndian16(const DataBuffer& buffer, uint64_t position)
{
    return LITTLE_ENDIAN_ORDER.Combine_uint16(buffer[position], buffer[position + 1]);
}

// A little-endian 32-bit number at a position.
uint64_t LittleEndian32(const DataBuffer& buffer, uint64_t position)
{
    return LITTLE_ENDIAN_ORDER.Combine_uint32(buffer[position], buffer[position + 1], buffer[position + 2],
                                              buffer[position + 3]);
}

}  // namespace

// Maps a colour code to a colour type.
RawColorType ParameterizedEscapeSequence::mintGetRawColorType(unsigned int code)
{
    switch (code) {
    case 0:
    case 5:
    case 6:
    case 16:
    case 64:
    case 128:
    case 192:
        return COLOR_TYPE_MONO;
    default:
        return COLOR_TYPE_COLOR;
    }
}

// Reads a sequence from its ESC.
SequenceState ParameterizedEscapeSequence::Process(const DataBuffer& buffer, uint64_t escape)
{
    mClear();
    mintStart = escape;
    mblnFromEscape = true;
    return mParseFrom(buffer, escape + 1);
}

// Reads on in a chain of command bytes.
SequenceState ParameterizedEscapeSequence::ResumeChain(const DataBuffer& buffer, uint64_t position)
{
    mClear();
    mintStart = position;
    mblnFromEscape = false;
    return mParseFrom(buffer, position);
}

// Reads command bytes until one that ends the sequence.
SequenceState ParameterizedEscapeSequence::mParseFrom(const DataBuffer& buffer, uint64_t command)
{
    const uint64_t end = buffer.Length();
    for (;; ++command) {
        if (command >= end)
            return mIncompleteAt(command);
        const unsigned char byte = buffer[command];
        if (byte == '@')
            return mCompleteAt(command + 1);
        if (byte == '(')
            return mParseGroupForLeftParen(buffer, command);
        if (byte < ' ' || byte > 'x')
            return mCompleteAt(command);

        // A command with parameters: its first one must be at hand.
        if (command + 1 >= end)
            return mIncompleteAt(command);
        switch (byte) {
        case 'U':
            return mCompleteAt(command + 2);
        case '$':
        case '\\':
            // Complete only with a byte after nH at hand.
            return command + 3 < end ? mCompleteAt(command + 3) : mIncompleteAt(command);
        case 'r':
            mAddStrategy(SetPageColorStrategy(mintGetRawColorType(buffer[command + 1])));
            return mCompleteAt(command + 2);
        case 'i':
            return mParseEscICommand(buffer, command);
        default:
            break;  // passed over: the next byte is read as a command byte
        }
    }
}

// ESC ( c nL nH and nL + 256 nH parameter bytes.
SequenceState ParameterizedEscapeSequence::mParseGroupForLeftParen(const DataBuffer& buffer, uint64_t command)
{
    const uint64_t end = buffer.Length();
    if (command + 3 >= end)
        return mIncompleteAt(command);
    const unsigned char letter = buffer[command + 1];
    const uint64_t count = LittleEndian16(buffer, command + 2);
    const uint64_t parameters = command + 4;
    const uint64_t parametersEnd = parameters + count;

    if (letter == 'R') {
        // Remote mode: the parser skips its commands up to the end marker.
        if (parametersEnd > end)
            return mIncompleteAt(command);
        mAddStrategy(SkipRemoteModeStrategy());
        return mCompleteAt(parametersEnd);
    }
    if (letter == 'K' || letter == 'r' || PASSED_PAREN_COMMANDS.find(static_cast<char>(letter)) != std::string_view::npos) {
        if (parametersEnd >= end)
            return mIncompleteAt(command);
        if (letter != 'K' && letter != 'r')
            return mCompleteAt(parametersEnd);
        // The colour is the second parameter byte, when there is one.
        if (count >= 2) {
            const unsigned char code = buffer[parameters + 1];
            const RawColorType color =
                letter == 'K' ? (code == 1 ? COLOR_TYPE_MONO : COLOR_TYPE_COLOR) : mintGetRawColorType(code);
            mAddStrategy(SetPageColorStrategy(color));
        }
        return mCompleteAt(parametersEnd);
    }
    // An unknown ESC ( command: its parameters are read as ordinary data.
    return parameters < end ? mCompleteAt(parameters) : mIncompleteAt(command);
}

// ESC i r c b nL nH mL mH [four length bytes] and the raster data: the
// sequence ends where the data begins, and the parser skips the data by count
// (raw) or by walking its run-length encoding, never waiting for it whole.
SequenceState ParameterizedEscapeSequence::mParseEscICommand(const DataBuffer& buffer, uint64_t command)
{
    const uint64_t end = buffer.Length();
    const uint64_t header = command + 1;
    if (header + 1 >= end)
        return mIncompleteAt(command);
    const unsigned int compression = buffer[header + 1];
    const uint64_t needed = compression <= 2 ? 7 : 11;
    if (header + needed >= end)
        return mIncompleteAt(command);

    uint64_t length = 0;
    uint64_t data = 0;
    if (compression <= 2) {
        length = LittleEndian16(buffer, header + 3) * LittleEndian16(buffer, header + 5);
        data = header + 7;
    } else {
        length = LittleEndian32(buffer, header + 8);
        data = header + 12;
    }
    if (IsRawRasterCompression(compression))
        mAddStrategy(SkipBytesStrategy(length));
    else
        mAddStrategy(SkipRunLengthDataStrategy(length));
    mAddStrategy(SetPageColorStrategy(mintGetRawColorType(buffer[header])));
    return mCompleteAt(data);
}

// Ends the sequence before position end.
SequenceState ParameterizedEscapeSequence::mCompleteAt(uint64_t end)
{
    mintLength = end - mintStart;
    return SequenceState::Complete;
}

// Marks where to read again: the ESC when the first command byte is cut,
// else the cut command inside the chain.
SequenceState ParameterizedEscapeSequence::mIncompleteAt(uint64_t command)
{
    if (mblnFromEscape && command == mintStart + 1) {
        mintRestart = mintStart;
        mblnRestartInChain = false;
    } else {
        mintRestart = command;
        mblnRestartInChain = true;
    }
    mvecStrategies.clear();
    return SequenceState::Incomplete;
}

}  // namespace RawPrintData::ESCP
