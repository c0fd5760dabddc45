#include "PrinterLanguageParser/Parser/escp/ParameterizedEscapeSequence.h"

#include "PrinterLanguageParser/Parser/Endian.h"
#include "PrinterLanguageParser/Parser/escp/EscpCommandLayout.h"

#include <algorithm>
#include <array>
#include <utility>
#include <string_view>

namespace RawPrintData::ESCP {

namespace {

// ESC ( commands whose parameters are passed over. ESC ( K, the choice of
// colour or monochrome mode, is sent once at the start of a job whatever its
// pages hold: the colour of the data printed (ESC r, ESC ( r, ESC i) makes a
// colour page, not the mode.
constexpr std::string_view PASSED_PAREN_COMMANDS = "CDGKSUV\\ceisv$";

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

// The columns of a bit image (ESC *, K, L, Y, Z, ^), in the selected ink.
// Those of the 8-dot and 24-dot modes are read as columns of pins (1/60 and
// 1/180 inch apart) at the mode's density; the others are skipped by their
// length and, in a colour ink, not judged.
RasterBlock BitImage(uint64_t columns, uint64_t bytesPerColumn, int mode)
{
    static constexpr std::array<std::pair<int, double>, 11> DENSITY = {{{0, 60},
                                                                        {1, 120},
                                                                        {2, 120},
                                                                        {3, 240},
                                                                        {4, 80},
                                                                        {6, 90},
                                                                        {32, 60},
                                                                        {33, 120},
                                                                        {38, 90},
                                                                        {39, 180},
                                                                        {40, 360}}};
    RasterBlock block;
    for (const auto& [known, density] : DENSITY) {
        if (known == mode && bytesPerColumn == (mode >= 32 ? 3u : 1u)) {
            block.mData = RasterBlock::Data::Columns;
            block.mintBytesPerRow = columns;
            block.mintRows = bytesPerColumn * 8;
            block.mdblRowPitch = mode >= 32 ? 1.0 / 180 : 1.0 / 60;
            block.mdblDotWidth = 1 / density;
            return block;
        }
    }
    block.mintBitsPerDot = 0;
    block.mintBytesPerRow = columns * bytesPerColumn;
    block.mintRows = 1;
    return block;
}

}  // namespace

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
        if (byte == '@') {
            mAddStrategy(PrintPositionStrategy(Motion::Reset, 0));
            return mCompleteAt(command + 1);
        }
        if (byte == '(')
            return mParseGroupForLeftParen(buffer, command);
        if (byte < ' ' || byte > 'x')
            return mCompleteAt(command);

        const CommandDefinition definition = ESCP_COMMANDS[byte];
        if (definition.mLayout == CommandLayout::Fixed && definition.mintFixedParameters == 0) {
            // ESC 0 and ESC 2: line spacing of 1/8 and 1/6 inch.
            if (byte == '0' || byte == '2')
                mAddStrategy(PrintPositionStrategy(Motion::LineSpacing, byte == '0' ? 1.0 / 8 : 1.0 / 6, 1));
            // ESC P, ESC M and ESC g: 10, 12 and 15 characters an inch; ESC p
            // (proportional) leaves the width of a character unknown.
            if (byte == 'P' || byte == 'M' || byte == 'g')
                mAddStrategy(PrintPositionStrategy(Motion::CharacterPitch, byte == 'P' ? 10 : byte == 'M' ? 12 : 15, 1));
            return mCompleteAt(command + 1);
        }

        // A command with parameters: its first one must be at hand.
        if (command + 1 >= end)
            return mIncompleteAt(command);
        switch (byte) {
        case 'U':
            return mCompleteAt(command + 2);
        case '$':
        case '\\':
            // Complete only with a byte after nH at hand. ESC $ is an absolute,
            // ESC \ a relative (signed) horizontal position.
            if (command + 3 >= end)
                return mIncompleteAt(command);
            if (byte == '$')
                mAddStrategy(PrintPositionStrategy(Motion::ToColumn, static_cast<double>(LittleEndian16(buffer, command + 1))));
            else
                mAddStrategy(PrintPositionStrategy(Motion::Across, static_cast<int16_t>(LittleEndian16(buffer, command + 1))));
            return mCompleteAt(command + 3);
        case 'r':
            mAddStrategy(SelectInkStrategy(buffer[command + 1], true));
            return mCompleteAt(command + 2);
        case 'J':
        case '+':
        case '3':
        case 'A': {
            // ESC J feeds n/180 inch; ESC +, ESC 3 and ESC A set the line
            // spacing to n/360, n/180 and n/60 inch.
            const double amount = buffer[command + 1];
            if (byte == 'J')
                mAddStrategy(PrintPositionStrategy(Motion::Down, amount, 1.0 / 180));
            else
                mAddStrategy(PrintPositionStrategy(Motion::LineSpacing, amount, byte == '+' ? 1.0 / 360 : byte == '3' ? 1.0 / 180 : 1.0 / 60));
            return mCompleteAt(command + 2);
        }
        case 'i':
            return mParseEscICommand(buffer, command);
        case 'l':
            mAddStrategy(PrintPositionStrategy(Motion::LeftMargin, buffer[command + 1], 1));
            return mCompleteAt(command + 2);
        case '!':
        case 'W':
        case ' ':
        case 'X':
        case 'c':
        case 'p':
            // Master select, double width, character spacing, pitch and HMI,
            // proportional: what a character is wide is not followed.
            mAddStrategy(PrintPositionStrategy(Motion::CharacterPitch, 0, 1));
            break;
        case 'D':
            mAddTabStops(buffer, command + 1);
            break;
        default:
            break;
        }
        if (definition.mLayout != CommandLayout::Unknown)
            return mParseByLayout(buffer, command, definition);
        // An unknown command byte is passed over: the next byte is read as a
        // command byte.
    }
}

// A command read by the layout of its parameters. Graphics data is not part
// of the sequence: the parser skips it by the length the header gives.
SequenceState ParameterizedEscapeSequence::mParseByLayout(const DataBuffer& buffer, uint64_t command,
                                                          CommandDefinition definition)
{
    const uint64_t end = buffer.Length();
    const uint64_t parameters = command + 1;
    // The sequence, or the header of its data, ends before position.
    const auto endsBefore = [this, end, command](uint64_t position) {
        return position <= end ? mCompleteAt(position) : mIncompleteAt(command);
    };
    switch (definition.mLayout) {
    case CommandLayout::Fixed:
        return endsBefore(parameters + definition.mintFixedParameters);
    case CommandLayout::NulEndedList:
        return mParseNulEndedList(buffer, command, parameters,
                                  buffer[command] == 'B' ? MAX_VERTICAL_TABS : MAX_HORIZONTAL_TABS);
    case CommandLayout::ChannelAndList:
        return mParseNulEndedList(buffer, command, parameters + 1, MAX_VERTICAL_TABS);
    case CommandLayout::PageLength:
        // ESC C NUL n gives the length in inches.
        return endsBefore(parameters + (buffer[parameters] == 0 ? 2 : 1));
    case CommandLayout::Graphics8Dot:
        if (parameters + 2 > end)
            return mIncompleteAt(command);
        mAddStrategy(RasterBlockStrategy(BitImage(LittleEndian16(buffer, parameters), 1,
                                                  static_cast<int>(std::string_view("KLYZ").find(static_cast<char>(buffer[command]))))));
        return mCompleteAt(parameters + 2);
    case CommandLayout::GraphicsMode:
    case CommandLayout::Graphics9Pin: {
        if (parameters + 3 > end)
            return mIncompleteAt(command);
        const uint64_t columns = LittleEndian16(buffer, parameters + 1);
        const uint64_t bytesPerColumn =
            definition.mLayout == CommandLayout::Graphics9Pin ? 2 : BytesPerColumn(buffer[parameters]);
        mAddStrategy(RasterBlockStrategy(BitImage(
            columns, bytesPerColumn, definition.mLayout == CommandLayout::Graphics9Pin ? -1 : buffer[parameters])));
        return mCompleteAt(parameters + 3);
    }
    case CommandLayout::RasterGraphics: {
        // c v h m nL nH: compression, densities, rows and dots per row.
        if (parameters + 6 > end)
            return mIncompleteAt(command);
        // v and h are the row spacing and the dot width in 1/3600 inch.
        // Modes 2 (TIFF) and 3 (delta rows) send their rows as binary
        // commands after the header, up to an EXIT.
        RasterBlock block;
        block.mintCompression = buffer[parameters];
        block.mdblRowPitch = buffer[parameters + 1] / 3600.0;
        block.mdblDotWidth = buffer[parameters + 2] / 3600.0;
        block.mintRows = buffer[parameters + 3];
        block.mintBytesPerRow = (LittleEndian16(buffer, parameters + 4) + 7) / 8;
        block.mData = block.mintCompression == 0   ? RasterBlock::Data::Raw
                      : block.mintCompression == 1 ? RasterBlock::Data::RunLength
                      : block.mintCompression <= 3 ? RasterBlock::Data::Binary
                                                   : RasterBlock::Data::None;
        mAddStrategy(RasterBlockStrategy(block));
        return mCompleteAt(parameters + 6);
    }
    default:
        return mCompleteAt(parameters);
    }
}

// Values up to and including NUL, at most maximum of them; a list that runs
// longer ends there and what follows is read as data.
// ESC D's tab stops, in columns, up to NUL (none: no stop).
void ParameterizedEscapeSequence::mAddTabStops(const DataBuffer& buffer, uint64_t first)
{
    const uint64_t end = std::min(buffer.Length(), first + MAX_HORIZONTAL_TABS);
    mAddStrategy(PrintPositionStrategy(Motion::TabStop, first < end ? buffer[first] : 0, 1));
    for (uint64_t position = first + 1; position < end && buffer[first] != 0 && buffer[position] != 0; ++position)
        mAddStrategy(PrintPositionStrategy(Motion::NextTabStop, buffer[position], 1));
}

SequenceState ParameterizedEscapeSequence::mParseNulEndedList(const DataBuffer& buffer, uint64_t command,
                                                              uint64_t first, uint64_t maximum)
{
    const uint64_t end = buffer.Length();
    for (uint64_t position = first; position <= first + maximum; ++position) {
        if (position >= end)
            return mIncompleteAt(command);
        if (buffer[position] == 0)
            return mCompleteAt(position + 1);
    }
    return mCompleteAt(first + maximum);
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
    if (letter == 'r' || PASSED_PAREN_COMMANDS.find(static_cast<char>(letter)) != std::string_view::npos) {
        if (parametersEnd >= end)
            return mIncompleteAt(command);
        // ESC ( r: the colour is the second parameter byte, when there is one.
        if (letter == 'r' && count >= 2)
            mAddStrategy(SelectInkStrategy(buffer[parameters + 1], false));
        else
            mAddPaperStrategy(buffer, letter, parameters, count);
        return mCompleteAt(parametersEnd);
    }
    // An unknown ESC ( command: its parameters are read as ordinary data.
    return parameters < end ? mCompleteAt(parameters) : mIncompleteAt(command);
}

// The paper and position commands: ESC ( U sets their units, either n / 3600
// inch or, in its long form P V H mL mH, P / m inch for the paper, V / m for
// vertical and H / m for horizontal moves; ESC ( S gives the paper's width
// and length, ESC ( C the page length, in that unit. ESC ( v (relative) and
// ESC ( V (absolute) move down, ESC ( $ across, in 16 or 32 bits; ESC ( D r
// v h sets ESC i's row spacing to v / r and dot width to h / r inch. Other
// forms are passed over.
void ParameterizedEscapeSequence::mAddPaperStrategy(const DataBuffer& buffer, unsigned char letter, uint64_t parameters,
                                                    uint64_t count)
{
    const auto number = [&buffer, parameters, count]() -> int64_t {
        return count == 2 ? static_cast<int16_t>(LittleEndian16(buffer, parameters))
                          : static_cast<int32_t>(LittleEndian32(buffer, parameters));
    };
    if (letter == 'U' && count == 1 && buffer[parameters] != 0) {
        const double unit = buffer[parameters] / 3600.0;
        mAddStrategy(SetPageUnitStrategy(unit, unit, unit));
    } else if (letter == 'U' && count == 5) {
        const uint64_t base = LittleEndian16(buffer, parameters + 3);
        if (base != 0 && buffer[parameters] != 0)
            mAddStrategy(SetPageUnitStrategy(static_cast<double>(buffer[parameters]) / static_cast<double>(base),
                                             static_cast<double>(buffer[parameters + 1]) / static_cast<double>(base),
                                             static_cast<double>(buffer[parameters + 2]) / static_cast<double>(base)));
    } else if ((letter == 'v' || letter == 'V' || letter == '$') && (count == 2 || count == 4)) {
        const double amount = static_cast<double>(number());
        mAddStrategy(PrintPositionStrategy(letter == 'v' ? Motion::Down : letter == 'V' ? Motion::ToRow : Motion::ToColumn,
                                           letter == '$' ? std::max(amount, 0.0) : amount));
    } else if (letter == 'D' && count == 4) {
        const double base = static_cast<double>(LittleEndian16(buffer, parameters));
        if (base > 0)
            mAddStrategy(PrintPositionStrategy(Motion::RasterPitch, buffer[parameters + 2] / base, 1,
                                               buffer[parameters + 3] / base));
    } else if (letter == 'S' && count == 8) {
        mAddStrategy(SetPaperDimensionsStrategy(LittleEndian32(buffer, parameters), LittleEndian32(buffer, parameters + 4)));
    } else if (letter == 'C' && (count == 2 || count == 4)) {
        mAddStrategy(SetPaperDimensionsStrategy(
            0, count == 2 ? LittleEndian16(buffer, parameters) : LittleEndian32(buffer, parameters)));
    }
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

    RasterBlock block;
    block.mblnOwnInk = true;
    block.mintInkCode = buffer[header];
    block.mintCompression = compression;
    block.mintBitsPerDot = buffer[header + 2];
    block.mintBytesPerRow = LittleEndian16(buffer, header + 3);
    block.mintRows = LittleEndian16(buffer, header + 5);
    uint64_t data = header + 7;
    if (compression > 2) {
        // The length of the data is given; its rows are not judged.
        block.mintRows = 1;
        block.mintBytesPerRow = LittleEndian32(buffer, header + 8);
        data = header + 12;
    }
    block.mData = IsRawRasterCompression(compression) ? RasterBlock::Data::Raw : RasterBlock::Data::RunLength;
    mAddStrategy(RasterBlockStrategy(block));
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
