#pragma once

#include "PrinterLanguageParser/Parser/ContiguousBytes.h"
#include "PrinterLanguageParser/Parser/pcl5/EscapeSequence.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace RawPrintData::PCL5 {

// The group a parameterized sequence's value pairs belong to: the group sign
// after the ESC ("%", "&", "(", ")" or "*") and, except for "%", the group
// character after it (ESC & l ... is the group "&" "l").
struct SequenceGroup {
    unsigned char mbytSign = 0;
    unsigned char mbytCharacter = 0;
};

// A parameterized sequence: ESC, a character from "!" to "/", then value pairs
// ending in a parameter character; "ESC & l 26 a 1 o 2 X" carries three pairs.
// Only the pairs that bear on accounting are acted on.
//
// Data announced by the terminating pair (ESC * b 5 W) follows the sequence
// and the parser skips it by count. Data announced by a continuing pair
// (ESC * b 5 w ... 0 Y) lies inside the combined sequence: the sequence ends
// where the data begins and, once the parser has skipped the data, reading
// goes on in the same group (Resume), so no sequence waits for its data to be
// at hand.
class ParameterizedEscapeSequence final : public EscapeSequence {
public:
    // The most bytes one sequence (or the part after embedded data) may take.
    // Real sequences are a few dozen bytes; a longer run of value bytes is no
    // sequence, and giving it up keeps the kept tail and any re-reading short.
    static constexpr uint64_t mintMAX_SEQUENCE_LENGTH = 4096;

    SequenceState Process(const DataBuffer& buffer, uint64_t escape) override;
    // As Process, from the bytes of a buffer the caller has bound for the
    // whole of its call, which spares binding it for every sequence.
    SequenceState Read(ContiguousBytes& bytes, uint64_t escape);

    // The length of a sequence at the start of bytes (its ESC first) whose
    // group has no pair that bears on accounting (cursor moves, fonts by
    // attributes): its pairs need no reading, only its end. 0 when the
    // sequence is of another group or its end is not within bytes; Read then
    // tells.
    static uint64_t InertLength(std::span<const unsigned char> bytes);
    // Whether no pair of the group of a sign and group character acts: a
    // test cheap enough to be made before asking InertLength.
    static bool IsInertGroup(unsigned char sign, unsigned char character)
    {
        const unsigned int row = sign - mbytFIRST_INERT_SIGN;
        return row < mINERT_GROUPS.size() && mINERT_GROUPS[row][character];
    }

    // Reads on in a group from position, after data embedded in a combined
    // sequence; Length is then counted from position.
    SequenceState Resume(ContiguousBytes& bytes, uint64_t position, SequenceGroup group);

    // After Complete: the group to read on in once the announced data has been
    // skipped, when the sequence stopped at embedded data.
    std::optional<SequenceGroup> ContinuesAfterData() const { return mContinueGroup; }
    // After Complete: whether the sequence ended with the terminating pair of
    // a raster row group (ESC * b ... Y), after which DeskJets read on in
    // the group.
    bool EndedRasterGroup() const { return mblnEndedRasterGroup; }

private:
    // The groups of "&", "(", ")" and "*" that no pair acts on, by sign (from
    // " ") and group character.
    static constexpr unsigned char mbytFIRST_INERT_SIGN = ' ';
    static const std::array<std::array<bool, 256>, 16> mINERT_GROUPS;

    // One parameter with its value.
    struct ValuePair {
        unsigned char mbytParameter = 0;  // upper case
        int32_t mintValue = 0;
        bool mblnTerminating = false;
        // An ESC came before any parameter character: the sequence ends
        // there, without this pair.
        bool mblnCut = false;
    };

    // The sequence's bytes from its start, one more than the length bound
    // at most; positions below count from that start.
    using Bytes = std::span<const unsigned char>;

    void mStart(ContiguousBytes& bytes, uint64_t start);
    SequenceState mParseFrom(uint64_t position);
    SequenceState mParseGroup(uint64_t position, SequenceGroup group);
    // Read and acted on for every pair of every sequence: kept within
    // mParseGroup.
    [[gnu::always_inline]] inline SequenceState mParseValuePair(uint64_t& position, ValuePair& pair);
    // Acts on one pair; true when the sequence stops at data embedded after it.
    [[gnu::always_inline]] inline bool mActOnPair(SequenceGroup group, const ValuePair& pair);
    // Whether announced data prints on the page (raster rows, transparent
    // print data) or not (fonts, patterns, palettes).
    enum class DataPrints { No, Yes };
    bool mAddSkipBytesIfParamIs(const ValuePair& pair, unsigned char parameter, DataPrints prints = DataPrints::No);
    // A raster row's plane (V) or last plane (W) with its data.
    bool mAddRasterPlane(const ValuePair& pair);

    // Whether the bytes read since the start reach the length bound.
    static bool mTooLong(uint64_t position) { return position >= mintMAX_SEQUENCE_LENGTH; }

    ContiguousBytes mContiguous;
    Bytes mbytSequence;
    std::optional<SequenceGroup> mContinueGroup;
    bool mblnEndedRasterGroup = false;
};

}  // namespace RawPrintData::PCL5
