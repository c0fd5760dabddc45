#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/IRawDataParserListener.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ParserPjlTests {

// Listens to one parser and writes down each report as a short text, in
// order: "copies 3", "duplex 1", "color 3", "orientation 1", "paper A4",
// "width 2100", "height 2970", "language 5", "page 7500x10000 mono",
// "override 4". GetCopies answers the largest count reported so far (1 at
// first), as the handler does.
class RecordingListener final : public RawPrintData::IRawDataParserListener {
public:
    void LogMessage(RawPrintData::LogLevel, const char*) override {}
    void OnPageCompleted(const RawPrintData::CRawPage& page) override;
    void OnJobPropertyChanged(RawPrintData::RawDataJobProperty property, const void* value) override;
    void OnNextLanguage(RawPrintData::RawLanguageType language, bool literalTarget) override;
    void OnPageCountOverride(unsigned long pages) override;
    unsigned long GetCopies() const override { return mintCopies; }

    std::vector<std::string> mvecEvents;

private:
    unsigned long mintCopies = 1;
};

// What feeding one parser gave.
struct FeedResult {
    RawPrintData::ParseDataResultType mintResult = RawPrintData::PARSE_RESULT_HANDLED;  // of the last call
    uint64_t mintBytesProcessed = 0;  // of the last call, counted from that call's buffer start
    std::vector<std::string> mvecEvents;
};

// Feeds the text to a new parser of the given kind in chunks that end at the
// given offsets, keeping the unconsumed tail in front of the next chunk as
// the frame does. Stops at a language switch or a failure; otherwise calls
// ParseDone at the end.
template <typename Parser>
FeedResult Feed(std::string_view text, const std::vector<size_t>& cuts = {});

// One row of a parser's command table: the input, the result of feeding it
// whole, and the reports in order.
struct CommandCase {
    const char* mstrName;
    std::string mstrInput;
    RawPrintData::ParseDataResultType mintResult;
    std::vector<std::string> mvecEvents;
};

// Checks every row fed whole, and that each input of a few hundred bytes at
// most gives the same reports wherever it is cut.
template <typename Parser>
void ExpectCommandTable(const std::vector<CommandCase>& rows);

// Every event list that feeding gives when the text is cut once at every
// offset and when it is fed a byte at a time must equal the whole-text one.
template <typename Parser>
void ExpectSameEventsWhereverCut(std::string_view text);

}  // namespace ParserPjlTests

#include "tests/ParserPjl/RecordingListener.inl"
