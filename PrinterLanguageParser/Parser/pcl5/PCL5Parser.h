#pragma once

#include "PrinterLanguageParser/Parser/EscapeLanguageParser.h"
#include "PrinterLanguageParser/Parser/pcl5/PCL5Strategies.h"
#include "PrinterLanguageParser/Parser/pcl5/ParameterizedEscapeSequence.h"
#include "PrinterLanguageParser/Parser/pcl5/RasterColourWatch.h"
#include "PrinterLanguageParser/Parser/pcl5/RasterRowSequence.h"
#include "PrinterLanguageParser/Parser/pcl5/TwoCharacterEscapeSequence.h"

#include <cstdint>
#include <optional>
#include <span>

namespace RawPrintData::PCL5 {

// Reads PCL 5: a page at every form feed, and from the escape sequences the
// paper size, orientation, duplex, copies, job colour and language changes.
// Every other byte is passed over, and data that a sequence announces
// (raster rows, fonts, patterns) is skipped unread, so that bytes inside it
// are never taken for form feeds or escapes.
//
// A page is also printed without a form feed when something was drawn on it
// (raster rows, text, a filled rectangle, HP-GL/2) and it is then ejected by
// the paper source command, a printer reset or the end of the job; a form
// feed right after such an eject finds the sheet already out and counts
// nothing. A reset or eject of a blank page prints nothing.
class PCL5Parser final : public EscapeLanguageParser {
public:
    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    // The end of the job prints a page with something drawn on it.
    ParseDataResultType ParseDone() override;
    // A printer reset prints a page with something drawn on it, and raster
    // is one plane of black again.
    void Reset() override;
    // Reports the page; the next one starts blank.
    void NotifyDefaultPageCompleted() override;
    // HP-GL/2 entered from here draws on this page: it goes with the job and
    // comes back with what was drawn on it.
    PageInProgress LeaveLanguage() override;
    void EnterLanguage(RawLanguageType previous, const PageInProgress& page) override;

    // Notes that something is drawn on the current page; a form feed after
    // it ends a page again.
    void MarkPage()
    {
        mblnPageMarked = true;
        mblnEjectedWithoutFormFeed = false;
    }
    // Prints the current page when something is drawn on it.
    void EjectPage();

    // Takes the paper of a page-size code for the pages that follow; an
    // unknown code changes nothing.
    void SetPaperSize(int32_t paperSize);
    // Passes over the next count bytes, across chunks if need be.
    void AdvanceBytePosition(uint64_t count);
    // A raster setting, or a row's plane whose data follows: colour planes
    // are read for ink, other data is skipped.
    void OnRaster(RasterStrategy::Kind kind, int32_t value);

private:
    // What the main loop does after reading a sequence.
    enum class Step { Continue, NeedMoreData };

    Step mHandleEscape(const DataBuffer& buffer, uint64_t& position);
    Step mActOnParameterized(const DataBuffer& buffer, uint64_t& position, SequenceState state);
    // Most sequences of text pages (cursor moves, fonts by attributes) carry
    // no pair that bears on accounting: they are passed over straight from
    // the chunk, to the same effect as reading them. False when the sequence
    // is to be read.
    bool mPassOverInertSequence(uint64_t& position)
    {
        const uint64_t offset = position - mintChunkStart;
        if (position < mintChunkStart || mbytChunk.size() - offset < 4 || mblnDebug ||
            !ParameterizedEscapeSequence::IsInertGroup(mbytChunk[offset + 1], mbytChunk[offset + 2]))
            return false;
        const uint64_t length = ParameterizedEscapeSequence::InertLength(mbytChunk.subspan(offset));
        if (length == 0)
            return false;
        position += length;
        mResumeGroup.reset();
        mblnAfterRasterTerminator = false;
        return true;
    }
    // Reads the raster row group from position on, part after part with the
    // plane data between them, while the group goes on and its data is at
    // hand: from the ESC at position with the first pair at first, or inside
    // the group (first 0) after a plane's data.
    Step mReadRasterRows(const DataBuffer& buffer, uint64_t& position, uint64_t first);
    // Passes over rows of one plane each while the page's colour is settled.
    uint64_t mPassOverRows(uint64_t position);
    // Acts on one pair of the raster row group.
    uint64_t mActOnRasterPair(const RasterPair& pair);
    // The byte at a position of the data, straight from the chunk where it
    // lies there.
    unsigned char mByteAt(const DataBuffer& buffer, uint64_t position) const
    {
        const uint64_t offset = position - mintChunkStart;
        return position >= mintChunkStart && offset < mbytChunk.size() ? mbytChunk[offset] : buffer[position];
    }
    // Whether the chunk holds this byte at the position.
    bool mChunkByteIs(uint64_t position, unsigned char byte) const
    {
        return position >= mintChunkStart && position - mintChunkStart < mbytChunk.size() &&
               mbytChunk[position - mintChunkStart] == byte;
    }
    // Reads on in the raster row group when what follows its terminating
    // pair has the shape of a value pair.
    Step mCheckRowsAfterTerminator(const DataBuffer& buffer, uint64_t position);
    void mReadPlaneData(const DataBuffer& buffer, uint64_t from, uint64_t to);
    // A form feed: ends the page, unless an eject already printed it.
    void mFormFeed();
    // Marks the page when the bytes between from and to print as text.
    void mNoteText(const DataBuffer& buffer, uint64_t from, uint64_t to);

    // Something is drawn on the current page.
    bool mblnPageMarked = false;
    // Pages ended, and whether a page whose rows were cut was logged (once a job).
    unsigned long mintPagesEnded = 0;
    bool mblnRowsCutLogged = false;
    // Whether colour planes of raster rows put colour on the page, and how
    // much of a plane's data is still to be read for it.
    RasterColourWatch mColourWatch;
    uint64_t mintPlaneDataToRead = 0;
    // The last page was ejected without a form feed and nothing is drawn since.
    bool mblnEjectedWithoutFormFeed = false;

    // A raster row group just ended with its terminating pair: DeskJets take
    // value pairs that follow it as more of the group.
    bool mblnAfterRasterTerminator = false;
    // The group a combined sequence reads on in once its embedded data is skipped.
    std::optional<SequenceGroup> mResumeGroup;
    // The call's data, bound once for all the sequences read in it.
    ContiguousBytes mContiguous;
    // The call's chunk and where it starts in the data at hand.
    std::span<const unsigned char> mbytChunk;
    uint64_t mintChunkStart = 0;
    ParameterizedEscapeSequence mParameterized;
    TwoCharacterEscapeSequence mTwoCharacter;
};

}  // namespace RawPrintData::PCL5
