#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"

#include <string>
#include <string_view>

namespace RawPrintData::Prescribe {

// Reads Prescribe commands ("!R! RES; UNIT C; EXIT;") until EXIT, then returns
// to the previous language. Counts no pages.
class PrescribeParser final : public IRawDataParser {
public:
    // The command start; only its first three bytes are compared.
    static constexpr std::string_view mbytPRESCRIBE_START{"!R! "};
    static constexpr std::string_view mstrATOM_DELIMITERS{" "};

    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    ParseDataResultType ParseDone() override { return PARSE_RESULT_HANDLED; }
    void NotifyDefaultPageCompleted() override {}

private:
    // Whether "!R!" is at the position: full, cut by the end of the data, or not.
    static bool mblnIsPrescribeStart(const DataBuffer& buffer, uint64_t position, bool& cut);
    // Handles one command; PARSE_RESULT_SWITCH_LANGUAGE at EXIT.
    ParseDataResultType mintHandleCurrentCommand();

    // The command read so far (bounded), kept across chunks.
    std::string mstrCurrentCommand;
};

}  // namespace RawPrintData::Prescribe
