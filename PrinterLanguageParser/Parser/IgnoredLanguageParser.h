#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"

#include <string>
#include <string_view>

namespace RawPrintData {

// Passes over a language the system does not count: up to and including its
// trailer, then back to the language current before it; without a trailer,
// to the end of the job.
class IgnoredLanguageParser final : public IRawDataParser {
public:
    // Skips to the end of the job.
    IgnoredLanguageParser() = default;
    // Skips up to and including the trailer.
    explicit IgnoredLanguageParser(std::string_view trailer);

    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    ParseDataResultType ParseDone() override { return PARSE_RESULT_HANDLED; }
    void NotifyDefaultPageCompleted() override {}

private:
    bool mblnSkipToEnd = true;
    std::string mbytTrailer;
    bool mblnReported = false;  // the skip to the end was reported
};

}  // namespace RawPrintData
