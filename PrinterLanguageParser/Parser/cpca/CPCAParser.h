#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/SkipCounter.h"

#include <cstdint>

namespace RawPrintData::CPCA {

// Walks the operation headers of a CPCA wrapper, passing over each
// operation's data, and returns to the previous language at the operation
// that carries the print data. Counts no pages.
class CPCAParser final : public IRawDataParser {
public:
    // Bytes of one operation header.
    static constexpr uint64_t mintCPCA_HEADER_SIZE = 20;

    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    ParseDataResultType ParseDone() override { return PARSE_RESULT_HANDLED; }
    void NotifyDefaultPageCompleted() override {}

    // Passes the next count bytes over, also across chunks.
    void AdvanceBytePosition(uint64_t count);

    // The print data begins one byte after the header of the operation that
    // carries it, so the hand-over moves on by that byte.
    using IRawDataParser::NotifyNextLanguage;
    void NotifyNextLanguage(RawLanguageType language) override;

private:
    SkipCounter mSkip;
    bool mblnLanguageSwitch = false;
};

}  // namespace RawPrintData::CPCA
