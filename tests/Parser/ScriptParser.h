#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/ParserRegistry.h"
#include "PrinterLanguageParser/Parser/RawLanguageType.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace ParserTestSupport {

// A test-only printer language of text lines, one command per line, through
// which tests make a parser report exactly what they need:
//   P <name> <width> <height> [c]  a finished page ("-" for an empty name)
//   N [c]                          a page of no known size
//   C <n>  copies          A <n>  additional copies    D <0|1>  duplex
//   K <n>  colour type     O <n>  default orientation  T <n>    page-count override
//   S <name>  default paper size   W <n>  default width  H <n>  default height
//   L <language> [literal]  switch to the language after this line
//   Z <language>            switch without consuming this line
//   F  fail with PARSE_RESULT_FAILURE     B  claim more bytes processed than given
// Other lines are passed over. A line whose newline has not arrived yet is
// left unconsumed, as a real parser leaves a cut command.
class ScriptParser final : public RawPrintData::IRawDataParser {
public:
    RawPrintData::ParseDataResultType ParseData(const RawPrintData::DataBuffer& buffer) override;
    RawPrintData::ParseDataResultType ParseDone() override { return RawPrintData::PARSE_RESULT_HANDLED; }
    void NotifyDefaultPageCompleted() override;

    // Complete lines this object has read, over its whole life.
    uint64_t LinesSeen() const { return mintLinesSeen; }

private:
    // Runs one line; false when the parse must stop with the given result.
    bool mRunLine(std::string_view line, uint64_t lineStart, uint64_t lineEnd, uint64_t total,
                  RawPrintData::ParseDataResultType& result);

    uint64_t mintLinesSeen = 0;
    uint64_t mintSearchedTail = 0;  // bytes of the kept tail known to hold no newline
};

// A registry of the library's parsers with the script parser in place of the
// given languages.
RawPrintData::ParserRegistry ScriptRegistry(std::initializer_list<RawPrintData::RawLanguageType> languages);

// The script parser for every language that has a parser of its own (all but
// the detector and the skipped languages).
RawPrintData::ParserRegistry ScriptRegistryForAllLanguages();

}  // namespace ParserTestSupport
