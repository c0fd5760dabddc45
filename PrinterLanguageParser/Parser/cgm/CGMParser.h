#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/cgm/ApplicationDataInterpreter.h"

#include <memory>
#include <string>
#include <string_view>

namespace RawPrintData::CGM {

// Reads clear-text CGM: takes job settings from the application data of the
// metafile formats it knows (the description, MFDESC, chooses the
// interpreter) and returns to the previous language at ENDMF. Counts no pages.
class CGMParser final : public IRawDataParser {
public:
    // Blank, tab, carriage return and line feed.
    static constexpr std::string_view mstrCOMMAND_WHITESPACES{" \t\r\n"};

    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    ParseDataResultType ParseDone() override { return PARSE_RESULT_HANDLED; }
    void NotifyDefaultPageCompleted() override {}

private:
    // Handles one finished command; PARSE_RESULT_SWITCH_LANGUAGE at ENDMF.
    ParseDataResultType mintHandleCurrentCommand();

    // The command read so far (bounded), with the quote and comment state,
    // all kept across chunks so that a chunk boundary changes nothing.
    std::string mstrCurrentCommand;
    unsigned char mbytOpenQuote = 0;  // the quote byte of an open string, or 0
    bool mblnInComment = false;
    std::unique_ptr<ApplicationDataInterpreter> mInterpreter;
};

}  // namespace RawPrintData::CGM
