#pragma once

#include "PrinterLanguageParser/Parser/pcl5/ParameterizedEscapeSequence.h"

#include <cstdint>
#include <span>

namespace RawPrintData::PCL5 {

// Where reading a run of raster rows stopped.
struct RasterRows {
    // Offset in the chunk after the last row, or plane of a row, read whole.
    uint64_t mintEnd = 0;
    // Data of that last row that runs past the chunk, to be skipped from mintEnd.
    uint64_t mintPendingData = 0;
    // Reading stopped inside a combined sequence, after the data of a plane.
    bool mblnInSequence = false;
    // Some row carried data: something is drawn on the page.
    bool mblnDrew = false;
    // The last compression mode read (# m, # M), -1 when none was.
    int64_t mintCompression = -1;
    // With watched planes: the plane of its row that comes next at mintEnd
    // (0 after a row's last).
    uint32_t mintPlane = 0;
    // Reading stopped at a watched plane (see Read): its pair is read, its
    // data of mintWatchedLength bytes starts at mintEnd, and mintPlane is
    // that plane; mblnWatchedLast for the row's last plane (W).
    bool mblnWatched = false;
    // A # y or # Y was read: rows were moved over.
    bool mblnMovedOver = false;
    uint64_t mintWatchedLength = 0;
    bool mblnWatchedLast = false;
    // After an empty watched row's end (a bare w): the rows of bare w that
    // follow it, passed over; each sends no plane.
    uint64_t mintRepeatedRows = 0;
};

// Reads the raster rows that raster drivers send one after another, straight
// from the chunk: ESC * b # W, the planes of a row (# V), and the same
// combined with seed row offsets and compression modes
// (ESC * b 2 m 3 v ... 4 w ...). Their only effect on accounting is the row
// data they announce, which is passed over by its count without being read,
// so they need no strategy.
//
// Reading starts at offset, at an ESC or, when inSequence is set, inside a
// combined sequence after the data of a plane, and stops before anything
// else: another sequence, a value that is not plain digits, a sequence cut
// by the end of the chunk, or a part of one (from its ESC, or from the end of
// a plane's data) that grows as long as ParameterizedEscapeSequence reads one
// part at most. ParameterizedEscapeSequence reads what is left from there, to
// the same effect as if it had read everything.
class RasterRowSequence {
public:
    // More digits than this may not fit 32 bits: such values go the general
    // way, which saturates them.
    static constexpr uint64_t MAX_DIGITS = 9;
    // A pair is read only with this many bytes at hand, so that its digits
    // and parameter character need no check against the end of the chunk.
    static constexpr uint64_t PAIR_BYTES = MAX_DIGITS + 2;
    // No pair starts further into a part than this, so that every parameter
    // character read lies where the general way reads one too.
    static constexpr uint64_t MAX_PART_LENGTH = ParameterizedEscapeSequence::mintMAX_SEQUENCE_LENGTH - PAIR_BYTES;

    // firstPlane: the plane of its row that comes first. watchedPlanes: a bit
    // for each plane whose data the caller reads itself; when any is set,
    // reading stops at such a plane with data and, unless rowsBlank, at
    // every such plane and every row's last plane. With none
    // watched, awaitedCompression, when given, tells the compression modes
    // that start a watch: planes are then counted, and reading stops before
    // the part (from its ESC, or from the end of a plane's data) that sets
    // one.
    static RasterRows Read(std::span<const unsigned char> chunk, uint64_t offset, bool inSequence,
                           uint32_t firstPlane = 0, uint32_t watchedPlanes = 0, bool rowsBlank = true,
                           bool (*awaitedCompression)(int64_t) = nullptr);
};

}  // namespace RawPrintData::PCL5
