#include "PrinterLanguageParser/Parser/pcl5/RasterRowSequence.h"

#include <algorithm>
#include <array>
#include <cstring>

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
    Compression, // none is watched until a compression that is read: count
                 // planes, and stop before the part that sets one
};

// Whether four bytes start with ESC * b: the first three compared at once.
bool StartsRasterGroup(const unsigned char* bytes)
{
    static constexpr std::array<unsigned char, 4> GROUP = {ESCAPE, '*', 'b', 0}, MASK = {0xFF, 0xFF, 0xFF, 0};
    uint32_t word, group, mask;
    std::memcpy(&word, bytes, sizeof word);
    std::memcpy(&group, GROUP.data(), sizeof group);
    std::memcpy(&mask, MASK.data(), sizeof mask);
    return (word & mask) == group;
}

// Whether the part of a combined sequence being read ends within the chunk:
// at a terminating pair, at a plane or row with data, or at an ESC, with every
// pair of it digits then a parameter character starting no later than limit.
bool PartEnds(const unsigned char* bytes, uint64_t cursor, uint64_t limit)
{
    for (;;) {
        if (cursor > limit)
            return false;
        if (bytes[cursor] == ESCAPE)
            return true;
        uint64_t value = 0;
        uint64_t digits = 0;
        for (unsigned int digit = 0; (digit = bytes[cursor + digits] - '0') < 10; ++digits) {
            if (digits == RasterRowSequence::MAX_DIGITS)
                return false;
            value = value * 10 + digit;
        }
        const unsigned char parameter = bytes[cursor + digits];
        cursor += digits + 1;
        if (parameter >= '@' && parameter <= '^')
            return true;
        if (parameter < '`' || parameter > '~')
            return false;
        if ((parameter == 'v' || parameter == 'w') && value > 0)
            return true;
    }
}

// Reads value pairs of the raster group, digits then a parameter character,
// row after row. Without watched planes the planes of a row need no
// counting: the plane that comes next stays firstPlane.
template <Watch WATCH>
RasterRows ReadRows(std::span<const unsigned char> chunk, uint64_t offset, bool inSequence, uint32_t firstPlane,
                    uint32_t watchedPlanes, bool (*awaited)(int64_t) = nullptr)
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
    // The pairs of a part act once the part is read to its end, as they do
    // the general way, which drops a part that never ends: where reading
    // stops inside a part, a compression mode or rows moved over read within
    // it are taken back. (A setting lies in the part being read when it lies
    // past the end of the last part read whole, mintEnd.)
    uint64_t settingEnd = 0;
    int64_t compressionBefore = -1;
    bool movedOverBefore = false;
    const auto noteSetting = [&] {
        if (settingEnd <= rows.mintEnd) {
            compressionBefore = rows.mintCompression;
            movedOverBefore = rows.mblnMovedOver;
        }
        settingEnd = cursor;
    };
    const auto stopInPart = [&] {
        if (settingEnd > rows.mintEnd) {
            rows.mintCompression = compressionBefore;
            rows.mblnMovedOver = movedOverBefore;
        }
        return rows;
    };
    for (;;) {
        if (!inside) {
            if (size - cursor < 4 || !StartsRasterGroup(bytes + cursor)) {
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
            return stopInPart();
        const unsigned char* const pair = bytes + cursor;
        uint64_t value = 0;
        uint64_t digits = 0;
        for (unsigned int digit = 0; (digit = pair[digits] - '0') < 10; ++digits) {
            if (digits == MAX_DIGITS)
                return stopInPart();
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
                const bool stop = WATCH == Watch::Compression ? false
                                  : WATCH == Watch::DataOnly  ? value > 0 && watched()
                                                              : lower == 'w' || watched();
                if (stop) {
                    // Bare w after an empty row's end: rows that send no plane.
                    uint64_t repeated = 0;
                    if (parameter == 'w' && value == 0) {
                        for (; cursor <= limit && bytes[cursor] == 'w'; ++cursor)
                            ++repeated;
                    }
                    // A plane without data stops reading inside its part,
                    // which must then be known to end.
                    if (value == 0 && !ends && !PartEnds(bytes, cursor, limit))
                        return stopInPart();
                    rows.mintEnd = cursor;
                    rows.mblnInSequence = !ends;
                    rows.mintPlane = plane;
                    rows.mblnWatched = true;
                    rows.mintWatchedLength = value;
                    rows.mblnWatchedLast = lower == 'w';
                    rows.mblnDrew = rows.mblnDrew || value > 0;
                    rows.mintRepeatedRows = repeated;
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
            if constexpr (WATCH == Watch::Compression) {
                if (parameter == 'M' && awaited(static_cast<int64_t>(value)))
                    return stopInPart();
            }
            if (parameter == 'M')
                rows.mintCompression = static_cast<int64_t>(value);
            rows.mblnMovedOver = rows.mblnMovedOver || parameter == 'Y';
            if constexpr (COUNT_PLANES) {
                if (parameter == 'Y')
                    plane = 0;  // rows start again from their first plane
            }
            rows.mintEnd = cursor;
            rows.mblnInSequence = false;
            if constexpr (COUNT_PLANES)
                rows.mintPlane = plane;
            inside = false;
        } else if (parameter < '`' || parameter > '~') {
            return stopInPart();  // a sign, a fraction, white space: read the general way
        } else if (parameter == 'm') {
            // The part that starts the watch is read again the general way,
            // from its start, with the planes that follow it watched.
            if constexpr (WATCH == Watch::Compression) {
                if (awaited(static_cast<int64_t>(value)))
                    return stopInPart();
            }
            noteSetting();
            rows.mintCompression = static_cast<int64_t>(value);
        } else if (parameter == 'y') {
            noteSetting();
            rows.mblnMovedOver = true;
            if constexpr (COUNT_PLANES)
                plane = 0;
        }
    }
}

}  // namespace

RasterRows RasterRowSequence::Read(std::span<const unsigned char> chunk, uint64_t offset, bool inSequence,
                                   uint32_t firstPlane, uint32_t watchedPlanes, bool rowsBlank,
                                   bool (*awaitedCompression)(int64_t))
{
    if (watchedPlanes == 0) [[likely]] {
        if (awaitedCompression != nullptr)
            return ReadRows<Watch::Compression>(chunk, offset, inSequence, firstPlane, 0, awaitedCompression);
        return ReadRows<Watch::None>(chunk, offset, inSequence, firstPlane, 0);
    }
    if (rowsBlank)
        return ReadRows<Watch::DataOnly>(chunk, offset, inSequence, firstPlane, watchedPlanes);
    return ReadRows<Watch::EveryPlane>(chunk, offset, inSequence, firstPlane, watchedPlanes);
}

}  // namespace RawPrintData::PCL5
