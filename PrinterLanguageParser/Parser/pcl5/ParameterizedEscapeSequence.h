#pragma once

#include "PrinterLanguageParser/Parser/ContiguousBytes.h"
#include "PrinterLanguageParser/Parser/pcl5/EscapeSequence.h"

#include <algorithm>
#include <array>
#include <climits>
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
    // After Complete: whether the sequence reached the raster row group
    // (ESC * b), which the raster row reader reads from Length on.
    bool ReachedRasterRows() const { return mblnRasterRows; }

    // A value text read up to the parameter character after it.
    struct ValueText {
        SequenceState mState = SequenceState::Incomplete;
        int32_t mintValue = 0;
        // Where the parameter character, or an ESC that cuts the sequence, lies.
        uint64_t mintParameter = 0;
    };
    // Reads the value text at index of a sequence's bytes (counted from its
    // start): every byte but a parameter character or an ESC, read as strtoul
    // reads it (saturated at the 32-bit range). Incomplete when the bytes end first, Rejected when the
    // sequence would grow past its length bound.
    static ValueText ReadValue(std::span<const unsigned char> bytes, uint64_t index)
    {
        const uint64_t limit = bytes.size() < mintMAX_SEQUENCE_LENGTH ? bytes.size() : mintMAX_SEQUENCE_LENGTH;
        // Nearly every value is up to nine digits, which fit: read those in
        // one pass (with room for all nine and the byte after them, without
        // looking for the end); any other value text is read again as a
        // whole below.
        const uint64_t start = index;
        uint32_t value = 0;
        if (index + 10 < limit) [[likely]] {
            const unsigned char* const digits = bytes.data() + index;
            uint64_t count = 0;
            for (unsigned int digit = 0; count < 9 && (digit = digits[count] - '0') < 10u; ++count)
                value = value * 10 + digit;
            index += count;
            if (!mVALUE_BYTES[bytes[index]]) [[likely]]
                return {SequenceState::Complete, static_cast<int32_t>(value), index};
        } else {
            const uint64_t digitsEnd = limit - index < 9 ? limit : index + 9;
            for (unsigned int digit = 0; index < digitsEnd && (digit = bytes[index] - '0') < 10u; ++index)
                value = value * 10 + digit;
        }
        if (index < limit && !mVALUE_BYTES[bytes[index]]) [[likely]]
            return {SequenceState::Complete, static_cast<int32_t>(value), index};
        while (index < limit && mVALUE_BYTES[bytes[index]])
            ++index;
        if (index >= limit)
            return {mTooLong(index) ? SequenceState::Rejected : SequenceState::Incomplete, 0, index};
        return {SequenceState::Complete, mReadValueText(bytes.subspan(start, index - start)), index};
    }
    static constexpr unsigned char mbytESCAPE = 0x1B;
    // A terminating parameter character ends the sequence.
    static constexpr bool IsTerminatingParameter(unsigned char byte) { return byte >= '@' && byte <= '^'; }

private:
    // The groups of "&", "(", ")" and "*" that no pair acts on, by sign (from
    // " ") and group character.
    static constexpr unsigned char mbytFIRST_INERT_SIGN = ' ';
    static const std::array<std::array<bool, 256>, 16> mINERT_GROUPS;
    // Bytes other than parameter characters belong to the value text, but
    // for an ESC, which starts the next sequence as it does on the printer.
    static constexpr std::array<bool, 256> mVALUE_BYTES = [] {
        std::array<bool, 256> table{};
        for (unsigned int byte = 0; byte < table.size(); ++byte)
            table[byte] = (byte < '@' || byte == '_' || byte > '~') && byte != mbytESCAPE;
        return table;
    }();
    // A value text other than a sign and digits.
    static int32_t mReadValueText(std::span<const unsigned char> text);

    // One parameter with its value.
    struct ValuePair {
        unsigned char mbytParameter = 0;  // upper case
        int32_t mintValue = 0;
        bool mblnTerminating = false;
        // An ESC came before any parameter character: the sequence ends
        // there, without this pair.
        bool mblnCut = false;
        // The value was written with a plus sign (a relative move).
        bool mblnPlus = false;
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

    // Whether the bytes read since the start reach the length bound.
    static bool mTooLong(uint64_t position) { return position >= mintMAX_SEQUENCE_LENGTH; }

    ContiguousBytes mContiguous;
    Bytes mbytSequence;
    std::optional<SequenceGroup> mContinueGroup;
    bool mblnRasterRows = false;
};

}  // namespace RawPrintData::PCL5
