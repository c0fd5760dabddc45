#pragma once

#include "PrinterLanguageParser/Parser/pcl5/ParameterizedEscapeSequence.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace RawPrintData::PCL5 {

// One value pair of a raster row group (trivial, so that a few are kept on
// the stack without being cleared).
struct RasterPair {
    // As sent: lower case continues the group, upper case ends it.
    unsigned char mbytParameter;
    int32_t mintValue;
    // After an empty row's end (0 w, or a bare w): the bare w that follow it,
    // rows that send no plane.
    uint64_t mintRepeatedRows;
};

// How a part of a raster row group ends.
enum class RasterPartEnd {
    Terminator,  // after its terminating pair, whose data (# W, # V) follows
    Data,        // after a plane or row (# v, # w) whose data follows inside the group
    Escape,      // at an ESC, which cuts the group: the pairs read stand
};

// (Trivial, as RasterPair: each field is set where it is read.)
struct RasterPart {
    SequenceState mState;
    // Where the part ends in its bytes.
    uint64_t mintEnd;
    RasterPartEnd mEnd;
    // The pair that ends it, but at an ESC.
    RasterPair mLast;
};

// Reads the raster row group (ESC * b) that raster drivers send one row after
// another: rows (# W), planes of a row (# V), and the same combined with seed
// row offsets and compression modes (ESC * b 2 m 3 v ... 4 w ...). The group
// is read one part at a time: from its ESC, or after the data of a plane,
// up to a pair that announces data, its terminating pair or an ESC. The pairs
// are read as every PCL 5 value pair is (ParameterizedEscapeSequence::
// ReadValue), with the same length bound for a part; a part is acted on only
// once it is whole, so that a part cut by the end of the data is read again,
// from its start, with more data.
class RasterRowSequence {
public:
    // Reads the part whose bytes start at bytes[0] (its ESC, or the first
    // byte after a plane's data), with its first pair at first. Once the part
    // is known whole, the pairs before its last are given to each, in order;
    // the caller acts on its last (mLast).
    template <typename Each>
    static RasterPart Read(std::span<const unsigned char> bytes, uint64_t first, Each&& each)
    {
        // Most parts are one pair: a row or plane with its data.
        RasterPart part;
        uint64_t index = first;
        if (mReadPair(bytes, index, part)) [[likely]]
            return part;
        return mReadPairs(bytes, first, index, part, each);
    }

    // Whether four bytes start a raster row group (ESC * b and a byte): the
    // first three compared at once.
    static bool StartsGroup(const unsigned char* bytes)
    {
        static constexpr std::array<unsigned char, 4> GROUP = {ParameterizedEscapeSequence::mbytESCAPE, '*', 'b', 0},
                                                      MASK = {0xFF, 0xFF, 0xFF, 0};
        uint32_t word, group, mask;
        std::memcpy(&word, bytes, sizeof word);
        std::memcpy(&group, GROUP.data(), sizeof group);
        std::memcpy(&mask, MASK.data(), sizeof mask);
        return (word & mask) == group;
    }

private:
    // The rest of a part of more than one pair, its first read into part
    // (kept out of line, away from the rows of one pair each).
    template <typename Each>
    static RasterPart mReadPairs(std::span<const unsigned char> bytes, uint64_t first,
                                  uint64_t index, RasterPart part, Each&& each)
    {
        // A part holds a few pairs: those before its last are kept as read,
        // and a part of more is read a second time to act on them.
        std::array<RasterPair, 8> pairs;
        size_t count = 0;
        do {
            if (count < pairs.size())
                pairs[count] = part.mLast;
            ++count;
        } while (!mReadPair(bytes, index, part));
        if (part.mState != SequenceState::Complete)
            return part;
        if (count <= pairs.size()) {
            for (size_t kept = 0; kept < count; ++kept)
                each(pairs[kept]);
            return part;
        }
        for (index = first; !mReadPair(bytes, index, part);)
            each(part.mLast);
        return part;
    }

    // Reads the pair at index into part.mLast and moves index past it. True
    // when the part ends with it (or at an ESC, or cannot be read whole: see
    // part.mState); false when the pair continues the part.
    static bool mReadPair(std::span<const unsigned char> bytes, uint64_t& index, RasterPart& part)
    {
        const ParameterizedEscapeSequence::ValueText text = ParameterizedEscapeSequence::ReadValue(bytes, index);
        if (text.mState != SequenceState::Complete) [[unlikely]] {
            part.mState = text.mState;
            return true;
        }
        const unsigned char parameter = bytes[text.mintParameter];
        index = text.mintParameter + 1;
        part.mLast = RasterPair{parameter, text.mintValue, 0};
        part.mState = SequenceState::Complete;
        part.mintEnd = index;
        if (ParameterizedEscapeSequence::IsTerminatingParameter(parameter)) {
            part.mEnd = RasterPartEnd::Terminator;
            return true;
        }
        if ((parameter == 'v' || parameter == 'w') && text.mintValue > 0) {
            part.mEnd = RasterPartEnd::Data;
            return true;
        }
        if (parameter == ParameterizedEscapeSequence::mbytESCAPE) [[unlikely]] {
            // The pairs read so far stand, as in any sequence an ESC cuts.
            part.mEnd = RasterPartEnd::Escape;
            part.mintEnd = text.mintParameter;
            return true;
        }
        // DeskJet drivers send a bare w for every row that repeats the one
        // before: a run of them is counted at once.
        if (parameter == 'w' && text.mintValue == 0) {
            const uint64_t limit = std::min<uint64_t>(bytes.size(), ParameterizedEscapeSequence::mintMAX_SEQUENCE_LENGTH);
            const uint64_t run = index;
            while (index < limit && bytes[index] == 'w')
                ++index;
            part.mLast.mintRepeatedRows = index - run;
        }
        return false;
    }
};

}  // namespace RawPrintData::PCL5
