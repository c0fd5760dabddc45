#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/pjl/PJLCommand.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace RawPrintData::PJL {

// Reads the PJL wrapper of a job: job settings from @PJL SET and XCPT lines
// and from DSC requirements in COMMENT lines, and the hand-over to the next
// language at ENTER LANGUAGE. Counts no pages.
class PJLParser final : public IRawDataParser {
public:
    // 0 all handled, 1 a line is incomplete (or no data), 3 ENTER LANGUAGE,
    // -3 a line that is not PJL.
    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    ParseDataResultType ParseDone() override { return PARSE_RESULT_HANDLED; }
    void NotifyDefaultPageCompleted() override {}

    // Decipoints (1/720 inch) to tenths of a millimetre, cut at the frame's
    // 32-bit range.
    static int32_t mintConvertPJLSizeToRawSize(uint64_t decipoints);

private:
    // Handles one complete line (without its line feed).
    ParseDataResultType mintHandleCurrentCommand(std::string_view line);
    ParseDataResultType mintSenseLanguage(const DataBuffer& buffer, uint64_t position);
    void mHandleEnter(const PJLCommand& command, ParseDataResultType& result);
    void mHandleSet(const PJLCommand& command);
    void mHandleXcpt(const PJLCommand& command);
    void mHandleComment(const PJLCommand& command);
    void mReportCopies(uint64_t copies);
    void mReportColorType(RawColorType color);

    // The line read so far, kept across chunks until its line feed arrives;
    // bounded, longer lines are cut.
    std::string mstrCurrentLine;
    bool mblnLinePending = false;
    // ENTER LANGUAGE named a language that is not read: its data is passed
    // over up to the universal exit language that ends it.
    bool mblnSkippingLanguage = false;
    // ENTER LANGUAGE named such a language: what follows is read as PCL XL
    // when it starts with PCL XL's stream header, else passed over.
    bool mblnSensingAfterEnter = false;
};

}  // namespace RawPrintData::PJL
