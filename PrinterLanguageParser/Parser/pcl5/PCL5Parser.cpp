#include "PrinterLanguageParser/Parser/pcl5/PCL5Parser.h"

#include "PrinterLanguageParser/Parser/ControlByteFinder.h"
#include "PrinterLanguageParser/Parser/pcl5/PCL5PaperSize.h"

#include <algorithm>

namespace RawPrintData::PCL5 {

namespace {

// More digits than this may not fit 32 bits.
constexpr uint64_t MAX_DIGITS = 9;

}  // namespace

// Walks the data: skips announced data, counts form feeds and acts on escape
// sequences; a sequence cut by the end of the data is read again, from its
// ESC, with the next chunk.
ParseDataResultType PCL5Parser::ParseData(const DataBuffer& buffer)
{
    mStartCall();
    const uint64_t end = buffer.Length();
    if (end == 0)
        return PARSE_RESULT_HANDLED;

    ControlByteFinder finder(buffer);
    mContiguous.Bind(buffer);
    mbytChunk = buffer.MainBuffer();
    mintChunkStart = buffer.PreBufferLength();
    uint64_t position = 0;
    for (;;) {
        if (mintPlaneDataToRead > 0) {
            const uint64_t stop = position + std::min(end - position, mintPlaneDataToRead);
            mReadPlaneData(buffer, position, stop);
            mintPlaneDataToRead -= stop - position;
            position = stop;
            if (mintPlaneDataToRead > 0) {
                mintBytesProcessed = end;
                return PARSE_RESULT_NEED_MORE_DATA;
            }
        }
        if (!mSkip.Advance(position, end)) {
            mintBytesProcessed = end;
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        if (mblnAfterRasterTerminator && mCheckRowsAfterTerminator(buffer, position) == Step::NeedMoreData) {
            mintBytesProcessed = position;
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        if (mResumeGroup.has_value()) {
            if (mResumeGroup->mbytSign == '*' && mResumeGroup->mbytCharacter == 'b') {
                if (mReadRasterRows(buffer, position, 0) == Step::NeedMoreData) {
                    mintBytesProcessed = position;
                    return PARSE_RESULT_NEED_MORE_DATA;
                }
                continue;
            }
            const SequenceState state = mParameterized.Resume(mContiguous, position, *mResumeGroup);
            if (mActOnParameterized(buffer, position, state) == Step::NeedMoreData) {
                mintBytesProcessed = position;
                return PARSE_RESULT_NEED_MORE_DATA;
            }
            continue;  // the rest of the sequence may announce more data
        }

        const uint64_t next = finder.Next(position);
        mNoteText(buffer, position, next == DataBuffer::npos ? end : next);
        if (next == DataBuffer::npos)
            break;
        position = next;
        if (mByteAt(buffer, position) == ControlByteFinder::mbytFORM_FEED) {
            mFormFeed();
            ++position;
        } else if (mHandleEscape(buffer, position) == Step::NeedMoreData) {
            mintBytesProcessed = position;
            return PARSE_RESULT_NEED_MORE_DATA;
        }
        if (mblnLanguageSwitch) {
            mintBytesProcessed = position;
            return PARSE_RESULT_SWITCH_LANGUAGE;
        }
    }
    mintBytesProcessed = end;
    return PARSE_RESULT_HANDLED;
}

// Reads and acts on the sequence whose ESC is at position, and moves past it.
// Leaves position at the ESC when the sequence is not yet complete.
PCL5Parser::Step PCL5Parser::mHandleEscape(const DataBuffer& buffer, uint64_t& position)
{
    const uint64_t offset = position - mintChunkStart;
    unsigned char character = 0;
    if (position >= mintChunkStart && offset + 1 < mbytChunk.size())
        character = mbytChunk[offset + 1];
    else if (position + 1 < buffer.Length())
        character = buffer[position + 1];
    else
        return Step::NeedMoreData;

    if (character >= '!' && character <= '/') {
        if (character == '*' && mChunkByteIs(position + 2, 'b'))
            return mReadRasterRows(buffer, position, 3);
        if (mPassOverInertSequence(position))
            return Step::Continue;
        const SequenceState state = mParameterized.Read(mContiguous, position);
        if (state == SequenceState::Rejected) {
            ++position;  // no sequence: the ESC is passed over
            return Step::Continue;
        }
        return mActOnParameterized(buffer, position, state);
    }
    if (character >= '0' && character <= '~') {
        if (mblnDebug)
            Log(LOG_DEBUG, "PCL5Parser::ParseData - Escape Sequence Found: <ESC>%c", character);
        mTwoCharacter.Process(buffer, position);
        position += mTwoCharacter.Length();
        mTwoCharacter.ExecuteStrategy(*this);
        return Step::Continue;
    }
    ++position;  // a lone ESC
    return Step::Continue;
}

// Acts on a parameterized sequence just read at position and moves past it.
// A part after embedded data that is no value pair ends the sequence, and
// what follows the data is read as ordinary data.
PCL5Parser::Step PCL5Parser::mActOnParameterized(const DataBuffer& buffer, uint64_t& position, SequenceState state)
{
    if (state == SequenceState::Incomplete)
        return Step::NeedMoreData;
    if (state == SequenceState::Rejected) {
        mResumeGroup.reset();
        return Step::Continue;
    }
    if (mParameterized.ReachedRasterRows())
        return mReadRasterRows(buffer, position, mParameterized.Length());
    if (mblnDebug)
        mLogSequence("PCL5Parser", buffer, position, mParameterized.Length());
    position += mParameterized.Length();
    mParameterized.ExecuteStrategy(*this);
    mResumeGroup = mParameterized.ContinuesAfterData();
    mblnAfterRasterTerminator = false;
    return Step::Continue;
}

// Drivers of the DeskJet 6xx to 9xx open one ESC * b group and send rows
// (# v, # w with their data) after a terminating pair such as ESC * b 245 Y,
// which the printers take as more of the group. Digits then a parameter
// character, or a plane or row without digits (an empty one), read on in the
// group; anything else is ordinary data. Digits cut by the end of the data
// are read again with more data.
PCL5Parser::Step PCL5Parser::mCheckRowsAfterTerminator(const DataBuffer& buffer, uint64_t position)
{
    if (mChunkByteIs(position, 0x1B)) {
        mblnAfterRasterTerminator = false;  // the next sequence, most often
        return Step::Continue;
    }
    const uint64_t end = buffer.Length();
    if (position == end)
        return Step::Continue;  // checked when the next data comes
    uint64_t index = position;
    while (index < end && index - position <= MAX_DIGITS && buffer[index] >= '0' &&
           buffer[index] <= '9')
        ++index;
    if (index == end)
        return Step::NeedMoreData;
    mblnAfterRasterTerminator = false;
    const unsigned char parameter = buffer[index];
    const bool emptyPlane = (parameter | 0x20) == 'v' || (parameter | 0x20) == 'w';
    if (index - position <= MAX_DIGITS && parameter >= '@' && parameter <= '~' &&
        parameter != '_' && (index > position || emptyPlane))
        mResumeGroup = SequenceGroup{'*', 'b'};
    return Step::Continue;
}

// Rows (W) and planes of rows (V) announce their data, which prints; the
// compression mode and rows moved over (Y) bear on the colour planes.
// Answers the length of the data that follows the pair.
inline uint64_t PCL5Parser::mActOnRasterPair(const RasterPair& pair)
{
    const unsigned char parameter = pair.mbytParameter | 0x20;
    if (parameter == 'v' || parameter == 'w') {
        const uint64_t length = pair.mintValue > 0 ? static_cast<uint64_t>(pair.mintValue) : 0;
        if (length > 0)
            MarkPage();
        // The data of a colour plane is read while the page has no colour
        // yet, any other row data is skipped.
        mintPlaneDataToRead = mColourWatch.BeginPlane(parameter == 'w', length);
        if (pair.mintRepeatedRows > 0) [[unlikely]]
            mColourWatch.RepeatRows(pair.mintRepeatedRows);
        return length;
    }
    if (parameter == 'm')
        mColourWatch.SetCompression(pair.mintValue);
    else if (parameter == 'y') {
        mColourWatch.StartRaster();
        mColourWatch.BlankRows(pair.mintValue > 0 ? static_cast<uint64_t>(pair.mintValue) : 0);
    }
    return 0;
}

// Raster rows are most of what raster drivers send: a run of them is read in
// one go, each plane's data read for colour or skipped by count right where
// it lies in the chunk. Whatever is not whole in the data at hand is left to
// the main loop: a part cut by the end of the data from its start, data that
// runs past it by count.
PCL5Parser::Step PCL5Parser::mReadRasterRows(const DataBuffer& buffer, uint64_t& position, uint64_t first)
{
    constexpr uint64_t PART_BYTES = ParameterizedEscapeSequence::mintMAX_SEQUENCE_LENGTH + 1;
    const uint64_t end = buffer.Length();
    // The chunk, kept at hand while the pairs change the parser's state.
    const unsigned char* const chunk = mbytChunk.data();
    const uint64_t chunkStart = mintChunkStart, chunkEnd = mintChunkStart + mbytChunk.size();
    const bool debug = mblnDebug;
    // The watch does not open again within a run of rows.
    bool open = mColourWatch.Open();
    const auto act = [this, &open](const RasterPair& pair) {
        mActOnRasterPair(pair);
        open = open && mColourWatch.Open();
    };
    uint64_t at = position;
    Step step = Step::Continue;
    // Whether the group goes on at where reading stopped.
    bool inGroup = false;
    mblnAfterRasterTerminator = false;
    for (;;) {
        const std::span<const unsigned char> bytes =
            at >= chunkStart ? std::span<const unsigned char>(chunk + (at - chunkStart), std::min(chunkEnd - at, PART_BYTES))
                             : mContiguous.View(at, PART_BYTES);
        const RasterPart part = RasterRowSequence::Read(bytes, first, act);
        if (part.mState != SequenceState::Complete) [[unlikely]] {
            if (part.mState == SequenceState::Incomplete) {
                // Read again from its ESC, or from where the group goes on.
                inGroup = first == 0;
                step = Step::NeedMoreData;
            } else if (first > 0) {
                ++at;  // no group: the ESC is passed over
            }
            // (Out of a group after data, what follows is ordinary data.)
            break;
        }
        if (debug) [[unlikely]]
            mLogSequence("PCL5Parser", buffer, at, part.mintEnd);
        at += part.mintEnd;
        if (part.mEnd == RasterPartEnd::Escape)
            break;
        // The part's last pair: the data of a row or plane follows it. Once
        // the page's colour is settled (as it most often is early on a
        // page), its planes are only counted.
        uint64_t data = 0;
        const unsigned char last = part.mLast.mbytParameter | 0x20;
        if (open || (last != 'v' && last != 'w')) {
            data = mActOnRasterPair(part.mLast);
            open = open && mColourWatch.Open();
        } else {
            data = part.mLast.mintValue > 0 ? static_cast<uint64_t>(part.mLast.mintValue) : 0;
            if (data > 0)
                MarkPage();
            mColourWatch.CountPlane(last == 'w');
        }
        // The data of the part's last pair, read or skipped where it is at
        // hand, else by the main loop.
        if (data > 0) {
            const uint64_t read = mintPlaneDataToRead;
            if (at < chunkStart || end - at < data) {
                if (read == 0)
                    mSkip.Set(data);
                inGroup = part.mEnd == RasterPartEnd::Data;
                mblnAfterRasterTerminator = !inGroup;
                break;
            }
            if (read > 0) {
                mColourWatch.Read(std::span<const unsigned char>(chunk + (at - chunkStart), read));
                mintPlaneDataToRead = 0;
            } else if (debug) [[unlikely]] {
                Log(LOG_DEBUG, "PCL5Parser::AdvanceBytePosition - Skipping %llu bytes",
                    static_cast<unsigned long long>(data));
            }
            at += data;
        }
        if (part.mEnd == RasterPartEnd::Data) {
            first = 0;
            continue;
        }
        // After a terminating pair the next row most often starts a group
        // again; DeskJets also read on in the group after it.
        if (at >= chunkStart && chunkEnd - at >= 4 && RasterRowSequence::StartsGroup(chunk + (at - chunkStart))) {
            if (!open && !debug)
                at = mPassOverRows(at);
            if (chunkEnd - at >= 4 && RasterRowSequence::StartsGroup(chunk + (at - chunkStart))) {
                first = 3;
                continue;
            }
        }
        mblnAfterRasterTerminator = true;
        break;
    }
    position = at;
    if (inGroup)
        mResumeGroup = SequenceGroup{'*', 'b'};
    else
        mResumeGroup.reset();
    return step;
}

// Once the page's colour is settled, a row of one plane or one plane of a row
// (ESC * b # W or # V, then its data) only marks the page and is counted:
// such rows, one after another in the chunk from the ESC at position, are
// passed over here. Answers where the first that is not one lies, or whose
// data runs past the chunk.
uint64_t PCL5Parser::mPassOverRows(uint64_t position)
{
    constexpr uint64_t PART_BYTES = ParameterizedEscapeSequence::mintMAX_SEQUENCE_LENGTH + 1;
    const unsigned char* const chunk = mbytChunk.data();
    const uint64_t size = mbytChunk.size();
    uint64_t offset = position - mintChunkStart;
    while (size - offset >= 4 && RasterRowSequence::StartsGroup(chunk + offset)) {
        const std::span<const unsigned char> bytes(chunk + offset, std::min(size - offset, PART_BYTES));
        const ParameterizedEscapeSequence::ValueText text = ParameterizedEscapeSequence::ReadValue(bytes, 3);
        if (text.mState != SequenceState::Complete)
            break;
        const unsigned char parameter = bytes[text.mintParameter];
        const uint64_t data = text.mintValue > 0 ? static_cast<uint64_t>(text.mintValue) : 0;
        if ((parameter != 'W' && parameter != 'V') || size - offset - (text.mintParameter + 1) < data)
            break;
        if (data > 0)
            MarkPage();
        mColourWatch.CountPlane(parameter == 'W');
        offset += text.mintParameter + 1 + data;
    }
    return mintChunkStart + offset;
}

// Plane data at hand for the colour watch, straight from the chunk where it
// lies there.
void PCL5Parser::mReadPlaneData(const DataBuffer& buffer, uint64_t from, uint64_t to)
{
    if (from >= mintChunkStart) {
        mColourWatch.Read(mbytChunk.subspan(from - mintChunkStart, to - from));
        return;
    }
    for (uint64_t index = from; index < to; ++index) {
        const unsigned char byte = buffer[index];
        mColourWatch.Read(std::span<const unsigned char>(&byte, 1));
    }
}

// Ends the page at a form feed. A page ejected without one is already out:
// the form feed that drivers may still send after it is no second page.
void PCL5Parser::mFormFeed()
{
    if (mblnEjectedWithoutFormFeed && !mblnPageMarked) {
        mblnEjectedWithoutFormFeed = false;
        return;
    }
    mPageEject.Execute(this);
}

// Text prints: any byte above the space but DEL (control codes, the space
// and DEL only move the cursor or do nothing).
void PCL5Parser::mNoteText(const DataBuffer& buffer, uint64_t from, uint64_t to)
{
    if (mblnPageMarked)
        return;
    for (uint64_t index = from; index < to; ++index) {
        const unsigned char byte = buffer[index];
        if (byte > ' ' && byte != 0x7F) {
            MarkPage();
            return;
        }
    }
}

// Reports the page, colour when its raster put colour on it, and starts a
// blank one.
void PCL5Parser::NotifyDefaultPageCompleted()
{
    ++mintPagesEnded;
    if (mColourWatch.RowsCut() && !mblnRowsCutLogged) {
        mblnRowsCutLogged = true;
        Log(LOG_ERROR,
            "PCL5Parser::NotifyDefaultPageCompleted - PCL 5 page %lu: raster rows longer than %zu bytes; the colour "
            "of what lies beyond could not be ruled out, so the page counts as colour.",
            mintPagesEnded, RasterColourWatch::mintMAX_ROW_BYTES);
    }
    if (mColourWatch.Unjudged())
        Log(LOG_INFO, "PCL5Parser - Colour raster in a compression that is not read: the page counts as colour.");
    mCurrentPage.mblnColor = mCurrentPage.mblnColor || mColourWatch.PageHasColour();
    mColourWatch.NewPage();
    EscapeLanguageParser::NotifyDefaultPageCompleted();
    mblnPageMarked = false;
    mblnEjectedWithoutFormFeed = false;
}

// Prints a page with marks, as the printer does on an eject or a reset.
void PCL5Parser::EjectPage()
{
    if (!mblnPageMarked)
        return;
    NotifyDefaultPageCompleted();
    mblnEjectedWithoutFormFeed = true;
}

// The printer prints what is left on the page at the end of the job.
ParseDataResultType PCL5Parser::ParseDone()
{
    EjectPage();
    return PARSE_RESULT_HANDLED;
}

// Gives the page to the language entered; its marks and colour now travel
// with it.
PageInProgress PCL5Parser::LeaveLanguage()
{
    PageInProgress page{mCurrentPage, mblnPageMarked};
    page.mPage.mblnColor = mCurrentPage.mblnColor || mColourWatch.PageHasColour();
    mCurrentPage.mblnColor = false;
    mColourWatch.NewPage();
    mblnPageMarked = false;
    return page;
}

// Takes the page back with what was drawn on it meanwhile (HP-GL/2), and the
// paper a plot size put it on; any other language hands over no page, so
// PCL 5 starts a blank one.
void PCL5Parser::EnterLanguage(RawLanguageType previous, const PageInProgress& page)
{
    if (page.mblnMarked)
        MarkPage();
    if (previous == LANGUAGE_HPGL && !page.mPage.GetName().empty()) {
        mCurrentPage.SetName(page.mPage.GetName());
        mCurrentPage.mintWidth = page.mPage.mintWidth;
        mCurrentPage.mintHeight = page.mPage.mintHeight;
    }
    // Colour the raster put on the page before stays with it.
    mCurrentPage.mblnColor = page.mPage.mblnColor;
}

// Takes the code's paper for the current page.
void PCL5Parser::SetPaperSize(int32_t paperSize)
{
    const std::optional<PCL5Paper> paper = LookUpPaperSize(paperSize);
    if (!paper.has_value())
        return;
    mCurrentPage.SetName(paper->mstrName);
    mCurrentPage.mintWidth = paper->mintWidth;
    mCurrentPage.mintHeight = paper->mintHeight;
}

// Prints the page with marks; raster is reset to one plane of black.
void PCL5Parser::Reset()
{
    EjectPage();
    mColourWatch.Reset();
}

// Follows the raster settings.
void PCL5Parser::OnRaster(RasterStrategy::Kind kind, int32_t value)
{
    switch (kind) {
    case RasterStrategy::Kind::Planes:
        mColourWatch.SetPlanes(value);
        break;
    case RasterStrategy::Kind::ImageData:
        mintPlaneDataToRead = mColourWatch.BeginImageData(value > 0 ? static_cast<uint64_t>(value) : 0);
        break;
    case RasterStrategy::Kind::RasterConfiguration:
        mintPlaneDataToRead = mColourWatch.BeginRasterConfiguration(value > 0 ? static_cast<uint64_t>(value) : 0);
        break;
    case RasterStrategy::Kind::DriverConfiguration:
        mintPlaneDataToRead = mColourWatch.BeginDriverConfiguration(value > 0 ? static_cast<uint64_t>(value) : 0);
        break;
    case RasterStrategy::Kind::Start:
        mColourWatch.StartRaster();
        break;
    case RasterStrategy::Kind::Resolution:
        mColourWatch.SetResolution(value);
        break;
    case RasterStrategy::Kind::MoveDown:
        mColourWatch.MoveDown(value);
        break;
    }
}

// Sets the count of bytes still to skip.
void PCL5Parser::AdvanceBytePosition(uint64_t count)
{
    if (mblnDebug)
        Log(LOG_DEBUG, "PCL5Parser::AdvanceBytePosition - Skipping %llu bytes", static_cast<unsigned long long>(count));
    EscapeLanguageParser::AdvanceBytePosition(count);
}

}  // namespace RawPrintData::PCL5
