#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/IRawDataParserListener.h"
#include "tests/Parser/ParseOutcome.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ParserTestSupport {

// Everything one parser reported, in order, for tests that look at a parser
// on its own rather than through a handler.
class RecordingListener final : public RawPrintData::IRawDataParserListener {
public:
    void LogMessage(RawPrintData::LogLevel, const char*) override {}
    void OnPageCompleted(const RawPrintData::CRawPage& page) override { mvecPages.push_back(page); }
    void OnJobPropertyChanged(RawPrintData::RawDataJobProperty property, const void* value) override;
    void OnNextLanguage(RawPrintData::RawLanguageType language, bool) override { mvecLanguages.push_back(language); }
    void OnPageCountOverride(unsigned long) override {}
    unsigned long GetCopies() const override { return 1; }

    // The values reported for one property, as numbers.
    std::vector<int64_t> Reports(RawPrintData::RawDataJobProperty property) const;

    std::vector<RawPrintData::CRawPage> mvecPages;
    std::vector<std::pair<RawPrintData::RawDataJobProperty, int64_t>> mvecProperties;
    std::vector<RawPrintData::RawLanguageType> mvecLanguages;
};

// What feeding a parser on its own gave.
struct FeedResult {
    RawPrintData::ParseDataResultType mintLastResult = RawPrintData::PARSE_RESULT_HANDLED;
    // Bytes of the data at hand the parser had finished with after the last
    // call, counted from the start of the job.
    uint64_t mintConsumed = 0;
    // The longest tail the parser left unconsumed after any call.
    uint64_t mintLongestTail = 0;
};

// Feeds a job to a parser in chunks as the handler does (the unconsumed tail
// in front of the next chunk), stopping at a language switch or a failure.
FeedResult FeedParser(RawPrintData::IRawDataParser& parser, std::span<const unsigned char> job, size_t chunkSize);

// The bytes of a string literal, embedded NULs included.
template <size_t N>
std::string_view Raw(const char (&text)[N])
{
    return std::string_view(text, N - 1);
}

// A job made of pieces of text and bytes.
Bytes Join(std::initializer_list<std::string_view> pieces);

// The part of a PJL-wrapped job that belongs to the language it enters: from
// after the ENTER LANGUAGE line to the closing universal exit language.
Bytes WithoutPjlWrapper(std::span<const unsigned char> job);

}  // namespace ParserTestSupport
