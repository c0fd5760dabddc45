#include "PrinterLanguageParser/Parser/escp/ESCPParser.h"

#include "PrinterLanguageParser/Parser/CommandText.h"
#include "PrinterLanguageParser/Parser/ControlByteFinder.h"

#include <algorithm>
#include <cmath>

namespace RawPrintData::ESCP {

namespace {

// EJL (Epson's job language) opens with ESC 01, and its lines with "@EJL".
constexpr unsigned char EJL_INTRODUCER = 0x01;
constexpr std::string_view EJL_LINE_START = "@EJL";
// The longest EJL line read: a longer one ends EJL, and its bytes are read as
// the language's data.
constexpr uint64_t MAX_EJL_LINE = 1024;

// The binary commands of compressed raster graphics: the first group (XFER,
// MOVX, MOVY, COLR) in the top three bits, with a parameter in the low four
// bits or, when bit 4 is set, that many parameter bytes after it; the second
// group (top three bits set: CLR, CR, EXIT, MOVXBYTE, MOVXDOT), whose
// parameter bytes, when bit 4 is set, go on while their top bit is set.
constexpr unsigned int BINARY_XFER = 1;
constexpr unsigned int BINARY_COLR = 4;
constexpr unsigned int BINARY_SECOND_GROUP = 7;
constexpr unsigned int BINARY_EXIT = 3;
// The longest run of second-group parameter bytes read.
constexpr uint64_t MAX_BINARY_PARAMETERS = 16;

// Tenths of a millimetre in an inch and in a point.
constexpr double TENTHS_MM_PER_INCH = 254;
constexpr double TENTHS_MM_PER_POINT = 254.0 / 72;

// A length in tenths of a millimetre, rounded; 0 when it is no length.
int64_t ToTenthsMm(double length)
{
    if (!(length > 0) || length > 1e9)
        return 0;
    return std::llround(length);
}

}  // namespace

// Walks the data: skips raster and remote-mode data, counts form feeds and
// acts on escape sequences; a sequence cut by the end of the data is read
// again with the next chunk.
ParseDataResultType ESCPParser::ParseData(const DataBuffer& buffer)
{
    mStartCall();
    const uint64_t end = buffer.Length();
    if (end == 0)
        return PARSE_RESULT_HANDLED;

    EscPageControlByteFinder finder(buffer);
    uint64_t position = 0;
    for (;;) {
        // The walkers are called only while their data lasts.
        if (!mSkip.Advance(position, end) || (mintRawLeft > 0 && !mReadRawRaster(buffer, position)) ||
            (mintColumnBytesLeft > 0 && !mReadBitImage(buffer, position)) ||
            (mintEscPageDataLeft > 0 && !mReadEscPageData(buffer, position)) ||
            ((mintRunLengthLeft > 0 || mintLiteralLeft > 0 || mblnRunByteNext) &&
             !mWalkRunLengthData(buffer, position)) ||
            (mblnRemoteMode && !mSkipRemoteMode(buffer, position)) ||
            (mblnBinaryRaster && !mWalkBinaryRaster(buffer, position)) ||
            (mblnInEjl && !mReadEjlLines(buffer, position))) {
            mintBytesProcessed = position;
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        if (mblnAfterCommand)
            mReadLineControls(buffer, position);
        if (mblnInCommandChain) {
            if (!mHandleSequence(buffer, position, mSequence.ResumeChain(buffer, position))) {
                mintBytesProcessed = position;
                return PARSE_RESULT_NEED_MORE_DATA;
            }
            continue;
        }

        const uint64_t next = finder.Next(position);
        if (!mblnColumnUnknown && next != position)
            mNoteTextMoves(buffer, position, next == DataBuffer::npos ? end : next);
        if (mSelectedInk != InkCoverage::Ink::Neutral && !mCurrentPage.mblnColor)
            mNoteText(buffer, position, next == DataBuffer::npos ? end : next);
        if (next == DataBuffer::npos)
            break;
        position = next;
        if (buffer[position] == ControlByteFinder::mbytFORM_FEED) {
            if (mblnDebug)
                Log(LOG_DEBUG, "ESCPParser::ParseData - Found Formfeed command");
            mEndPage();
            ++position;
        } else if (buffer[position] == ControlByteFinder::mbytGROUP_SEPARATOR) {
            const EscPageCommand::State state =
                mEscPageCommand.Read(mCommandBytes.View(buffer, position, EscPageCommand::mintMAX_LENGTH));
            if (state == EscPageCommand::State::Incomplete) {
                mintBytesProcessed = position;
                return PARSE_RESULT_NEED_MORE_DATA;
            }
            if (state == EscPageCommand::State::NotACommand) {
                ++position;  // a GS in text
            } else {
                position += mEscPageCommand.Length();
                mActOnEscPageCommand();
                // Data the colour judge reads goes to it, the rest is skipped.
                mintEscPageDataLeft = mEscPageColour.DataWanted();
                mSkip.Set(mEscPageCommand.DataLength() - mintEscPageDataLeft);
            }
        } else if (position + 1 >= end) {
            mintBytesProcessed = position;
            return PARSE_RESULT_NEED_MORE_DATA;
        } else if (buffer[position + 1] == EJL_INTRODUCER) {
            position += 2;
            mblnInEjl = true;
        } else if (const unsigned char command = buffer[position + 1]; command >= ' ' && command <= 'x') {
            if (!mHandleSequence(buffer, position, mSequence.Process(buffer, position))) {
                mintBytesProcessed = position;
                return PARSE_RESULT_NEED_MORE_DATA;
            }
        } else {
            ++position;  // a lone ESC
        }
        if (mblnLanguageSwitch) {
            mintBytesProcessed = position;
            return PARSE_RESULT_SWITCH_LANGUAGE;
        }
    }
    mintBytesProcessed = end;
    return PARSE_RESULT_HANDLED;
}

// Acts on a sequence just read at position and moves past it; false, with
// position where to read again, when it is not yet complete.
bool ESCPParser::mHandleSequence(const DataBuffer& buffer, uint64_t& position, SequenceState state)
{
    if (state != SequenceState::Complete) {
        if (mblnDebug)
            Log(LOG_DEBUG, "ESCPParser: Sequence not complete, need more buffer.");
        position = mSequence.RestartPosition();
        mblnInCommandChain = mSequence.RestartInChain();
        return false;
    }
    if (mblnDebug)
        mLogSequence("ESCPParser", buffer, position, mSequence.Length());
    position += mSequence.Length();
    mblnInCommandChain = false;
    mblnAfterCommand = true;
    mSequence.ExecuteStrategy(*this);
    return true;
}

// Text in a colour ink: a printable byte among those passed over.
void ESCPParser::mNoteText(const DataBuffer& buffer, uint64_t from, uint64_t to)
{
    for (uint64_t position = from; position < to; ++position) {
        const unsigned char byte = buffer[position];
        if (byte > ' ' && byte != 0x7F) {
            SetColor(COLOR_TYPE_COLOR);
            return;
        }
    }
}

// Bytes passed over as text move the print position by what is not
// followed: across (until a carriage return or an absolute move), or down
// for a line feed or vertical tab (until the page ends).
void ESCPParser::mNoteTextMoves(const DataBuffer& buffer, uint64_t from, uint64_t to)
{
    for (uint64_t position = from; position < to; ++position) {
        const unsigned char byte = buffer[position];
        if (byte == '\n' || byte == 0x0B)
            mblnRowUnknown = true;
        if (byte != 0) {
            mblnColumnUnknown = true;
            return;
        }
    }
}

// A printer starts with a tab stop every eight characters of 1/10 inch.
std::vector<double> ESCPParser::mDefaultTabStops()
{
    std::vector<double> stops;
    for (int stop = 1; stop <= static_cast<int>(MAX_HORIZONTAL_TABS); ++stop)
        stops.push_back(stop * 0.8);
    return stops;
}

// HT: to the next tab stop right of the print position; none there leaves it.
void ESCPParser::mTab()
{
    if (mblnTabsUnknown) {
        mblnColumnUnknown = true;
        return;
    }
    const double column = mInks.Column();
    for (const double stop : mTabStops) {
        if (stop > column + 1e-9) {
            mInks.MoveToColumn(stop);
            return;
        }
    }
}

// Carriage returns, line feeds and tabs right after a command or raster data.
void ESCPParser::mReadLineControls(const DataBuffer& buffer, uint64_t& position)
{
    const uint64_t end = buffer.Length();
    for (; position < end; ++position) {
        const unsigned char byte = buffer[position];
        if (byte == '\r') {
            mInks.CarriageReturn();
            mblnColumnUnknown = false;
        } else if (byte == '\t') {
            mTab();
        } else if (byte == '\n') {
            mInks.LineFeed();
        } else {
            mblnAfterCommand = false;
            return;
        }
    }
}

// Judges the page's inks, then ends it.
void ESCPParser::mEndPage()
{
    mInks.EndPage();
    if (mInks.Colour() || mEscPageColour.Colour())
        SetColor(COLOR_TYPE_COLOR);
    if (mInks.Unjudged() || mEscPageColour.Unjudged())
        Log(LOG_INFO, "ESCPParser - Colour in data that is not judged (bit images, a compression not read, a "
                      "limit): the page counts as colour.");
    mPageEject.Execute(this);
    mInks.NewPage();
    mblnColumnUnknown = false;
    mblnRowUnknown = false;
    mEscPageColour.NewPage();
    mblnEscPageMarked = false;
}

namespace {

// Gives count bytes from a position to a reader, part by part.
template <class Reader>
void FeedParts(const DataBuffer& buffer, uint64_t from, uint64_t count, Reader&& read)
{
    const std::span<const unsigned char> pre = buffer.PreBuffer();
    const std::span<const unsigned char> main = buffer.MainBuffer();
    while (count > 0) {
        const bool inPre = from < pre.size();
        const std::span<const unsigned char> part = inPre ? pre : main;
        const uint64_t index = inPre ? from : from - pre.size();
        if (index >= part.size())
            return;
        const uint64_t take = std::min<uint64_t>(count, part.size() - index);
        read(part.subspan(index, take));
        from += take;
        count -= take;
    }
}

}  // namespace

// Gives count bytes from a position to the ink judge.
void ESCPParser::mFeedInks(const DataBuffer& buffer, uint64_t from, uint64_t count)
{
    FeedParts(buffer, from, count, [this](std::span<const unsigned char> part) { mInks.Read(part); });
}

// Gives the data of an ESC/Page command to the colour judge. False when the
// data at hand ends first.
bool ESCPParser::mReadEscPageData(const DataBuffer& buffer, uint64_t& position)
{
    const uint64_t end = buffer.Length();
    const uint64_t take = std::min(mintEscPageDataLeft, end > position ? end - position : 0);
    FeedParts(buffer, position, take, [this](std::span<const unsigned char> part) { mEscPageColour.Feed(part); });
    position += take;
    mintEscPageDataLeft -= take;
    return mintEscPageDataLeft == 0;
}

// Gathers a bit image's columns, and judges them once all have come. False
// when the data at hand ends first.
bool ESCPParser::mReadBitImage(const DataBuffer& buffer, uint64_t& position)
{
    const uint64_t end = buffer.Length();
    const uint64_t take = std::min(mintColumnBytesLeft, end > position ? end - position : 0);
    FeedParts(buffer, position, take, [this](std::span<const unsigned char> part) {
        mColumnBytes.insert(mColumnBytes.end(), part.begin(), part.end());
    });
    position += take;
    mintColumnBytesLeft -= take;
    if (mintColumnBytesLeft > 0)
        return false;
    mJudgeBitImage();
    mblnAfterCommand = true;
    return true;
}

// Gives a bit image's columns to the ink judge as rows of their pins, from
// the column it started at; the print position moves past its columns.
void ESCPParser::mJudgeBitImage()
{
    const RasterBlock& block = mColumnBlock;
    const uint64_t columns = block.mintBytesPerRow;
    const uint64_t pins = block.mintRows;
    const uint64_t bytesPerColumn = pins / 8;
    const uint64_t bytesPerRow = (columns + 7) / 8;
    std::vector<unsigned char> rows(bytesPerRow * pins);
    for (uint64_t column = 0; column < columns && (column + 1) * bytesPerColumn <= mColumnBytes.size(); ++column) {
        for (uint64_t byte = 0; byte < bytesPerColumn; ++byte) {
            const unsigned int value = mColumnBytes[column * bytesPerColumn + byte];
            for (unsigned int bit = 0; value != 0 && bit < 8; ++bit)
                if ((value >> (7 - bit) & 1) != 0)
                    rows[(byte * 8 + bit) * bytesPerRow + column / 8] |= static_cast<unsigned char>(0x80 >> (column % 8));
        }
    }
    mColumnBytes.clear();
    mInks.MoveToColumn(mdblColumnsX);
    if (mInks.BeginBlock(mColumnInk, 1, bytesPerRow, pins, block.mdblRowPitch, block.mdblDotWidth, true))
        mInks.Read(rows);
    mInks.MoveToColumn(mdblColumnsX + static_cast<double>(columns) * block.mdblDotWidth);
}

// Reads raw raster bytes. False when the data at hand ends first.
bool ESCPParser::mReadRawRaster(const DataBuffer& buffer, uint64_t& position)
{
    const uint64_t end = buffer.Length();
    const uint64_t take = std::min(mintRawLeft, end > position ? end - position : 0);
    mFeedInks(buffer, position, take);
    position += take;
    mintRawLeft -= take;
    mblnAfterCommand = mintRawLeft == 0;
    return mintRawLeft == 0;
}

// Walks run-length encoded raster data: a control byte x from 128 up is a run
// of 257 - x bytes encoded in one more byte, x below 128 a literal of x + 1
// bytes. The data ends once the decoded length is reached (a unit that
// overshoots it ends it as well, its bytes past the length unread). While
// the block is read, its decoded bytes go to the ink judge. False when the
// data at hand ends first.
bool ESCPParser::mWalkRunLengthData(const DataBuffer& buffer, uint64_t& position)
{
    const uint64_t end = buffer.Length();
    mPassRunLengthUnits(buffer, position);
    while (mintRunLengthLeft > 0 || mintLiteralLeft > 0 || mblnRunByteNext) {
        if (position >= end)
            return false;
        if (mintLiteralLeft > 0) {
            const uint64_t take = std::min(mintLiteralLeft, end - position);
            const uint64_t read = std::min(take, mintLiteralToRead);
            if (mblnReadRunLength && read > 0)
                mFeedInks(buffer, position, read);
            mintLiteralToRead -= read;
            mintLiteralLeft -= take;
            position += take;
            continue;
        }
        if (mblnRunByteNext) {
            if (mblnReadRunLength)
                mInks.ReadRun(buffer[position], mintRunCount);
            ++position;
            mblnRunByteNext = false;
            continue;
        }
        const unsigned int control = buffer[position++];
        const uint64_t decoded = std::min<uint64_t>(control >= 128 ? 257 - control : control + 1, mintRunLengthLeft);
        mintRunLengthLeft -= decoded;
        if (control >= 128) {
            mblnRunByteNext = true;
            mintRunCount = decoded;
        } else {
            mintLiteralLeft = control + 1;
            mintLiteralToRead = decoded;
        }
    }
    mblnAfterCommand = true;
    return true;
}

// Walks whole run-length units as far as they lie in the chunk's own bytes,
// giving those of a block that is read to the ink judge: the walk above
// goes on from there.
void ESCPParser::mPassRunLengthUnits(const DataBuffer& buffer, uint64_t& position)
{
    const std::span<const unsigned char> main = buffer.MainBuffer();
    const uint64_t offset = buffer.PreBuffer().size();
    if (mintLiteralLeft > 0 || mblnRunByteNext || position < offset)
        return;
    uint64_t index = position - offset;
    // Blank runs one after another are given to the judge as one.
    uint64_t blank = 0;
    while (mintRunLengthLeft > 0 && index < main.size()) {
        const unsigned int control = main[index];
        const uint64_t length = control >= 128 ? 2 : control + 2u;
        if (index + length > main.size())
            break;
        const uint64_t decoded = std::min<uint64_t>(control >= 128 ? 257 - control : control + 1, mintRunLengthLeft);
        mintRunLengthLeft -= decoded;
        if (mblnReadRunLength) {
            if (control >= 128 && main[index + 1] == 0) {
                blank += decoded;
            } else {
                mInks.ReadRun(0, blank);
                blank = 0;
                if (control >= 128)
                    mInks.ReadRun(main[index + 1], decoded);
                else
                    mInks.Read(main.subspan(index + 1, decoded));
            }
        }
        index += length;
    }
    if (blank > 0)
        mInks.ReadRun(0, blank);
    position = index + offset;
}

// Passes over remote-mode data up to and including the end marker. False
// when the data at hand ends first: all but the bytes that may start a marker
// cut by the chunk's end are consumed.
bool ESCPParser::mSkipRemoteMode(const DataBuffer& buffer, uint64_t& position)
{
    if (!mblnRemoteMode)
        return true;
    const uint64_t found = buffer.Find(mbytESCP2_ParenRCommand_END, position);
    if (found == DataBuffer::npos) {
        const uint64_t end = buffer.Length();
        position = std::max(position, end - std::min(end, mintESCP2_ParenRCommand_END_LENGTH - 1));
        return false;
    }
    position = found + mintESCP2_ParenRCommand_END_LENGTH;
    mblnRemoteMode = false;
    return true;
}

// Passes over compressed raster commands up to and including EXIT; a byte
// that is no such command ends them too, and is read as ESC/P again. False,
// with position at the command, when the data at hand ends inside one.
bool ESCPParser::mWalkBinaryRaster(const DataBuffer& buffer, uint64_t& position)
{
    const uint64_t end = buffer.Length();
    while (mblnBinaryRaster) {
        if (position >= end)
            return false;
        const unsigned int command = buffer[position];
        const unsigned int group = command >> 5;
        const bool extended = (command & 0x10) != 0;
        const unsigned int parameter = command & 0x0F;
        if (group == BINARY_SECOND_GROUP) {
            uint64_t next = position + 1;
            if (extended) {
                // Parameter bytes go on while their top bit is set.
                for (;; ++next) {
                    if (next >= end)
                        return false;
                    if (next - position > MAX_BINARY_PARAMETERS || (buffer[next] & 0x80) == 0)
                        break;
                }
                ++next;
            }
            position = next;
            if (parameter == BINARY_EXIT)
                mblnBinaryRaster = false;
            continue;
        }
        if (group < BINARY_XFER || group > BINARY_COLR) {
            mblnBinaryRaster = false;
            return true;
        }
        uint64_t value = parameter;
        uint64_t length = 1;
        if (extended) {
            if (position + parameter >= end)
                return false;
            value = 0;
            for (unsigned int index = parameter; index > 0; --index)
                value = index > 8 ? value : (value << 8) | buffer[position + index];
            length += parameter;
        }
        position += length;
        if (group == BINARY_XFER) {
            mSkip.Set(value);
            if (!mSkip.Advance(position, end))
                return false;
        }
    }
    return true;
}

// Reads the EJL lines after ESC 01: each starts "@EJL" and ends with a line
// feed; anything else ends EJL. False, with position at the line, when the
// data at hand ends inside one.
bool ESCPParser::mReadEjlLines(const DataBuffer& buffer, uint64_t& position)
{
    while (mblnInEjl) {
        const TextMatch start = MatchAt(buffer, position, EJL_LINE_START);
        if (start == TextMatch::Prefix || position >= buffer.Length())
            return false;
        if (start == TextMatch::None) {
            mblnInEjl = false;
            return true;
        }
        const uint64_t lineFeed = buffer.Find(std::string_view("\n", 1), position);
        const uint64_t available = buffer.Length() - position;
        if (lineFeed == DataBuffer::npos || lineFeed - position >= MAX_EJL_LINE) {
            if (lineFeed == DataBuffer::npos && available < MAX_EJL_LINE)
                return false;
            mblnInEjl = false;  // no EJL line: read as data
            return true;
        }
        const std::span<const unsigned char> line = mCommandBytes.View(buffer, position, lineFeed - position);
        mReadEjlLine(std::string_view(reinterpret_cast<const char*>(line.data()), line.size()));
        position = lineFeed + 1;
    }
    return true;
}

// Takes the paper of an EJL line's PS= or PAPER= setting.
void ESCPParser::mReadEjlLine(std::string_view line)
{
    size_t start = 0;
    while (start < line.size()) {
        const size_t tokenEnd = std::min(line.find_first_of(" \t\r", start), line.size());
        const std::string_view token = line.substr(start, tokenEnd - start);
        for (const std::string_view key : {std::string_view("PS="), std::string_view("PAPER=")}) {
            if (token.size() > key.size() && token.substr(0, key.size()) == key)
                mSetPaper(EjlPaper(token.substr(key.size())));
        }
        start = tokenEnd + 1;
    }
}

// Acts on the ESC/Page commands that bear on accounting: the unit (GS 0;u
// muE, u points), the paper (GS n psE by its code, GS -1;w;h psE by its size
// in the unit), what is painted in colour (EscPageColour) and the reset (GS
// rhE), which ejects a page that image data was sent for and no form feed
// ended, as Ghostscript's lp8000 family ends every page.
void ESCPParser::mActOnEscPageCommand()
{
    const std::string_view name = mEscPageCommand.Name();
    mEscPageColour.Act(mEscPageCommand, mdblEscPageUnitPoints);
    if (mEscPageCommand.DataLength() > 0) {
        mblnEscPageMarked = true;
    } else if (name == "rhE") {
        if (mblnEscPageMarked)
            mEndPage();
        mblnEscPageMarked = false;
    } else if (name == "muE" && mEscPageCommand.Parameter(1) > 0) {
        mdblEscPageUnitPoints = mEscPageCommand.Parameter(1);
    } else if (name == "psE") {
        const double code = mEscPageCommand.Parameter(0);
        if (code >= 0) {
            mSetPaper(EscPagePaper(static_cast<int64_t>(code)));
        } else if (mEscPageCommand.ParameterCount() >= 3) {
            const double factor = mdblEscPageUnitPoints * TENTHS_MM_PER_POINT;
            const int64_t width = ToTenthsMm(mEscPageCommand.Parameter(1) * factor);
            const int64_t length = ToTenthsMm(mEscPageCommand.Parameter(2) * factor);
            mSetPaper(width > 0 && length > 0 ? PaperOfSize(width, length) : std::nullopt);
        }
    }
}

// Gives the page the paper, or leaves it unsized.
void ESCPParser::mSetPaper(const std::optional<KnownPaper>& paper)
{
    if (!paper.has_value()) {
        mCurrentPage.SetName("");
        mCurrentPage.mintWidth = 0;
        mCurrentPage.mintHeight = 0;
        return;
    }
    mCurrentPage.SetName(paper->mstrName);
    mCurrentPage.mintWidth = paper->mintWidth;
    mCurrentPage.mintHeight = paper->mintHeight;
}

// A block of a colour ink is read while the page may still be mono and its
// data is one that is judged: uncompressed or run-length encoded rows of one
// or two bits a dot. Other data of a colour ink makes the page colour.
void ESCPParser::BeginRasterBlock(const RasterBlock& block)
{
    const InkCoverage::Ink ink = block.mblnOwnInk ? InkCoverage::InkOfCode(block.mintInkCode) : mSelectedInk;
    if (block.mData == RasterBlock::Data::Columns) {
        // A bit image in a colour ink is read while the page may still be
        // mono and its place can be told; it moves the print position.
        const uint64_t length = block.mintBytesPerRow * (block.mintRows / 8);
        const double width = static_cast<double>(block.mintBytesPerRow) * block.mdblDotWidth;
        if (ink == InkCoverage::Ink::Neutral || mInks.Colour() || mCurrentPage.mblnColor || length == 0) {
            mInks.MoveAcross(width);
            mSkip.Set(length);
            return;
        }
        if (mblnColumnUnknown || mblnRowUnknown || mblnMarginUnknown) {
            mInks.NoteUnjudged();
            mInks.MoveAcross(width);
            mSkip.Set(length);
            return;
        }
        mColumnBlock = block;
        mColumnInk = ink;
        mdblColumnsX = mInks.Column();
        mColumnBytes.clear();
        mintColumnBytesLeft = length;
        return;
    }
    const bool readable = block.mData == RasterBlock::Data::Raw ? block.mintCompression == 0
                          : block.mData == RasterBlock::Data::RunLength ? block.mintCompression == 1
                                                                        : false;
    bool read = false;
    if (readable) {
        read = mInks.BeginBlock(ink, block.mintBitsPerDot, block.mintBytesPerRow, block.mintRows, block.mdblRowPitch,
                                block.mdblDotWidth);
    } else {
        if (ink != InkCoverage::Ink::Neutral && block.mData != RasterBlock::Data::None)
            mInks.NoteUnjudged();
        mInks.BeginBlock(InkCoverage::Ink::Neutral, block.mintBitsPerDot, block.mintBytesPerRow, block.mintRows,
                         block.mdblRowPitch, block.mdblDotWidth);
    }
    const uint64_t length = block.mintBytesPerRow * block.mintRows;
    switch (block.mData) {
    case RasterBlock::Data::Raw:
        if (read)
            mintRawLeft = length;
        else
            mSkip.Set(length);
        break;
    case RasterBlock::Data::RunLength:
        mintRunLengthLeft = length;
        mblnReadRunLength = read;
        break;
    case RasterBlock::Data::Binary:
        mblnBinaryRaster = true;
        break;
    case RasterBlock::Data::None:
    case RasterBlock::Data::Columns:  // read above
        break;
    }
}

void ESCPParser::SelectInk(unsigned int code, bool selection)
{
    mSelectedInk = selection ? InkCoverage::InkOfSelection(code) : InkCoverage::InkOfCode(code);
}

// Moves the print position; amounts without their own unit are in the
// vertical or horizontal unit of ESC ( U.
void ESCPParser::MovePrintPosition(Motion motion, double amount, double inchesPerAmount, double second)
{
    const double vertical = amount * (inchesPerAmount > 0 ? inchesPerAmount : mInks.VerticalUnit());
    const double horizontal = amount * (inchesPerAmount > 0 ? inchesPerAmount : mInks.HorizontalUnit());
    switch (motion) {
    case Motion::Down:
        mInks.MoveDown(vertical);
        break;
    case Motion::ToRow:
        mInks.MoveToRow(vertical);
        mblnRowUnknown = false;
        break;
    case Motion::Across:
        mInks.MoveAcross(horizontal);
        break;
    case Motion::ToColumn:
        mInks.MoveToColumn(horizontal);
        mblnColumnUnknown = false;
        break;
    case Motion::CharacterPitch:
        mdblCharacterInches = amount > 0 ? 1 / amount : 0;
        break;
    case Motion::LeftMargin:
        mblnMarginUnknown = amount != 0;
        break;
    case Motion::TabStop:
        mTabStops.clear();
        mblnTabsUnknown = mdblCharacterInches == 0;
        [[fallthrough]];
    case Motion::NextTabStop:
        if (amount > 0)
            mTabStops.push_back(amount * mdblCharacterInches);
        break;
    case Motion::LineSpacing:
        mInks.SetLineSpacing(vertical);
        break;
    case Motion::RasterPitch:
        mInks.SetRasterResolution(amount, second);
        break;
    case Motion::Reset:
        mInks.Reset();
        mSelectedInk = InkCoverage::Ink::Neutral;
        mdblCharacterInches = 0.1;
        mTabStops = mDefaultTabStops();
        mblnTabsUnknown = mblnColumnUnknown = mblnMarginUnknown = false;
        break;
    }
}

// Sets the units of the paper commands and of moves.
void ESCPParser::SetPageUnit(double page, double vertical, double horizontal)
{
    mdblPageUnitInches = page;
    mInks.SetUnits(vertical, horizontal);
}

// Sizes the page: ESC ( S gives both dimensions, ESC ( C only the length,
// which keeps the width ESC ( S gave before.
void ESCPParser::SetPaperDimensions(uint64_t width, uint64_t length)
{
    const double factor = mdblPageUnitInches * TENTHS_MM_PER_INCH;
    if (width != 0)
        mintPaperWidth = static_cast<uint64_t>(ToTenthsMm(static_cast<double>(width) * factor));
    const int64_t tenths = ToTenthsMm(static_cast<double>(length) * factor);
    mSetPaper(tenths > 0 ? PaperOfSize(static_cast<int64_t>(mintPaperWidth), tenths) : std::nullopt);
}

// Marks the page colour.
void ESCPParser::SetColor(RawColorType color)
{
    if (color == COLOR_TYPE_COLOR)
        mCurrentPage.mblnColor = true;
}

// Starts skipping remote-mode commands.
void ESCPParser::SkipRemoteMode()
{
    mblnRemoteMode = true;
}

}  // namespace RawPrintData::ESCP
