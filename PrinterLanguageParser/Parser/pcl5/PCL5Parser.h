#pragma once

#include "PrinterLanguageParser/Parser/EscapeLanguageParser.h"
#include "PrinterLanguageParser/Parser/pcl5/ParameterizedEscapeSequence.h"
#include "PrinterLanguageParser/Parser/pcl5/TwoCharacterEscapeSequence.h"

#include <cstdint>
#include <optional>

namespace RawPrintData::PCL5 {

// Reads PCL 5: a page at every form feed, and from the escape sequences the
// paper size, orientation, duplex, copies, job colour and language changes.
// Every other byte is passed over, and data that a sequence announces
// (raster rows, fonts, patterns) is skipped unread, so that bytes inside it
// are never taken for form feeds or escapes.
class PCL5Parser final : public EscapeLanguageParser {
public:
    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    // A page that no form feed closed is not counted.
    ParseDataResultType ParseDone() override { return PARSE_RESULT_HANDLED; }

    // Takes the paper of a page-size code for the pages that follow; an
    // unknown code changes nothing.
    void SetPaperSize(int32_t paperSize);
    // Passes over the next count bytes, across chunks if need be.
    void AdvanceBytePosition(uint64_t count);

private:
    // What the main loop does after reading a sequence.
    enum class Step { Continue, NeedMoreData };

    Step mHandleEscape(const DataBuffer& buffer, uint64_t& position);
    Step mActOnParameterized(const DataBuffer& buffer, uint64_t& position, SequenceState state);

    // The group a combined sequence reads on in once its embedded data is skipped.
    std::optional<SequenceGroup> mResumeGroup;
    // The call's data, bound once for all the sequences read in it.
    ContiguousBytes mContiguous;
    ParameterizedEscapeSequence mParameterized;
    TwoCharacterEscapeSequence mTwoCharacter;
};

}  // namespace RawPrintData::PCL5
