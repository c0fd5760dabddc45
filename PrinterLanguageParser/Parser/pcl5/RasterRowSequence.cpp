#include "PrinterLanguageParser/Parser/pcl5/RasterRowSequence.h"

#include <algorithm>
#include <array>

namespace RawPrintData::PCL5 {

namespace {

constexpr unsigned char ESCAPE = 0x1B;

// DeskJets read on in the group after its terminating pair when a value, or
// an empty plane or row, follows: read it here too, tentatively, for the rows
// that most often come so. Where it turns out to be no pair, reading stops at
// the terminating pair and the parser decides.
constexpr std::array<bool, 256> ROWS_FOLLOW = [] {
    std::array<bool, 256> table{};
    for (unsigned char digit = '0'; digit <= '9'; ++digit)
        table[digit] = true;
    for (const unsigned char parameter : {'v', 'w', 'V', 'W'})
        table[parameter] = true;
    return table;
}();

// How watched planes stop the reading (see RasterRowSequence::Read).
enum class Watch {
    None,        // no plane is watched: planes need no counting
    DataOnly,    // rows are blank: stop at a watched plane with data
    EveryPlane,  // stop at every watched plane and every row's last plane
};

// Reads value pairs of the raster group, digits then a parameter character,
// row after row. Without watched planes the planes of a row need no
// counting: the plane that comes next stays firstPlane.
template <Watch WATCH>
RasterRows ReadRows(std::span<const unsigned char> chunk, uint64_t offset, bool inSequence, uint32_t firstPlane,
                    uint32_t watchedPlanes)
{
    constexpr bool COUNT_PLANES = WATCH != Watch::None;
    constexpr uint64_t PAIR_BYTES = RasterRowSequence::PAIR_BYTES;
    constexpr uint64_t MAX_DIGITS = RasterRowSequence::MAX_DIGITS;
    constexpr uint64_t MAX_PART_LENGTH = RasterRowSequence::MAX_PART_LENGTH;
    const unsigned char* const bytes = chunk.data();
    const uint64_t size = chunk.size();
    RasterRows rows{offset, 0, inSequence, false, -1, firstPlane, false, false, 0, false};
    uint32_t plane = firstPlane;
    if (size < PAIR_BYTES)
        return rows;
    // A pair starts no later than limit: PAIR_BYTES before the end of the
    // chunk, and at most MAX_PART_LENGTH into the part being read (from its
    // ESC, or from the end of a plane's data).
    const auto limitFrom = [size](uint64_t partStart) {
        return std::min(size - PAIR_BYTES, partStart + MAX_PART_LENGTH);
    };
    uint64_t cursor = offset;
    bool inside = inSequence;
    uint64_t limit = limitFrom(offset);
    for (;;) {
        if (!inside) {
            if (size - cursor < 4 || bytes[cursor] != ESCAPE || bytes[cursor + 1] != '*' || bytes[cursor + 2] != 'b') {
                // Out of a group other than at the start, a terminating pair
                // came just before.
                if (cursor == offset || cursor >= size || !ROWS_FOLLOW[bytes[cursor]])
                    return rows;
                limit = limitFrom(cursor);
            } else {
                limit = limitFrom(cursor);
                cursor += 3;
            }
            inside = true;
        }
        if (cursor > limit)
            return rows;
        const unsigned char* const pair = bytes + cursor;
        uint64_t value = 0;
        uint64_t digits = 0;
        for (unsigned int digit = 0; (digit = pair[digits] - '0') < 10; ++digits) {
            if (digits == MAX_DIGITS)
                return rows;
            value = value * 10 + digit;
        }
        const unsigned char parameter = pair[digits];
        cursor += digits + 1;

        const unsigned char lower = parameter | 0x20;
        if (lower == 'v' || lower == 'w') {
            // Rows (W) and planes of rows (V) announce their data; an empty
            // one announces none.
            const bool ends = parameter <= '^';
            if constexpr (COUNT_PLANES) {
                const auto watched = [&] { return plane < 32 && ((watchedPlanes >> plane) & 1) != 0; };
                const bool stop = WATCH == Watch::DataOnly ? value > 0 && watched() : lower == 'w' || watched();
                if (stop) {
                    rows.mintPlane = plane;
                    rows.mblnWatched = true;
                    rows.mintWatchedLength = value;
                    rows.mblnWatchedLast = lower == 'w';
                    rows.mblnDrew = rows.mblnDrew || value > 0;
                    // Bare w after an empty row's end: rows that repeat it.
                    if (parameter == 'w' && value == 0) {
                        for (; cursor <= limit && bytes[cursor] == 'w'; ++cursor)
                            ++rows.mintRepeatedRows;
                    }
                    rows.mintEnd = cursor;
                    rows.mblnInSequence = !ends;
                    return rows;
                }
                plane = lower == 'w' ? 0 : plane + 1;
            }
            if (value > 0) {
                rows.mblnDrew = true;
                if (value > size - cursor) {
                    rows.mintEnd = cursor;
                    rows.mintPendingData = value;
                    rows.mblnInSequence = !ends;
                    if constexpr (COUNT_PLANES)
                        rows.mintPlane = plane;
                    return rows;
                }
                cursor += value;
                limit = limitFrom(cursor);
            }
            if (value > 0 || ends) {
                inside = !ends;
                rows.mintEnd = cursor;
                rows.mblnInSequence = inside;
                if constexpr (COUNT_PLANES)
                    rows.mintPlane = plane;
            } else if constexpr (WATCH != Watch::EveryPlane) {
                // Empty planes and rows without digits that follow, a byte
                // each (DeskJet drivers send a bare w for every row that
                // repeats the one before), announce no data and end nothing:
                // they are only counted.
                for (unsigned char next = 0; cursor <= limit && ((next = bytes[cursor]) == 'v' || next == 'w');
                     ++cursor) {
                    if constexpr (COUNT_PLANES)
                        plane = next == 'w' ? 0 : plane + 1;
                }
            }
        } else if (parameter >= '@' && parameter <= '^') {
            // Every other parameter of the group is only read, but for the
            // compression mode and rows moved over, which blank the seed
            // rows of those that follow.
            if (parameter == 'M')
                rows.mintCompression = static_cast<int64_t>(value);
            rows.mblnMovedOver = rows.mblnMovedOver || parameter == 'Y';
            rows.mintEnd = cursor;
            rows.mblnInSequence = false;
            if constexpr (COUNT_PLANES)
                rows.mintPlane = plane;
            inside = false;
        } else if (parameter < '`' || parameter > '~') {
            return rows;  // a sign, a fraction, white space: read the general way
        } else if (parameter == 'm') {
            rows.mintCompression = static_cast<int64_t>(value);
        } else if (parameter == 'y') {
            rows.mblnMovedOver = true;
        }
    }
}

}  // namespace

RasterRows RasterRowSequence::Read(std::span<const unsigned char> chunk, uint64_t offset, bool inSequence,
                                   uint32_t firstPlane, uint32_t watchedPlanes, bool rowsBlank)
{
    if (watchedPlanes == 0) [[likely]]
        return ReadRows<Watch::None>(chunk, offset, inSequence, firstPlane, 0);
    if (rowsBlank)
        return ReadRows<Watch::DataOnly>(chunk, offset, inSequence, firstPlane, watchedPlanes);
    return ReadRows<Watch::EveryPlane>(chunk, offset, inSequence, firstPlane, watchedPlanes);
}

}  // namespace RawPrintData::PCL5
