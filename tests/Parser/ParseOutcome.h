#pragma once

#include "PrinterLanguageParser/Parser/CRawPageSet.h"
#include "PrinterLanguageParser/Parser/ParseDataResultType.h"
#include "PrinterLanguageParser/Parser/ParserRegistry.h"
#include "PrinterLanguageParser/Parser/RawJobTypes.h"
#include "PrinterLanguageParser/Parser/RawLanguageType.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ParserTestSupport {

using Bytes = std::vector<unsigned char>;

// Everything a finished handler tells about a job, as the hook would read it.
struct ParseOutcome {
    std::vector<RawPrintData::CRawPageSet> mvecPageSets;
    unsigned long mintCopies = 0;
    RawPrintData::RawColorType mintColorType = RawPrintData::COLOR_TYPE_UNKNOWN;
    bool mblnDuplex = false;
    int mintMonoPages = 0;
    int mintColorPages = 0;
    // The first negative ParseData result (feeding stops there, as in the
    // hook), or PARSE_RESULT_HANDLED when there was none.
    RawPrintData::ParseDataResultType mintFirstFailure = RawPrintData::PARSE_RESULT_HANDLED;
    RawPrintData::ParseDataResultType mintDoneResult = RawPrintData::PARSE_RESULT_HANDLED;

    bool operator==(const ParseOutcome&) const = default;

    // A readable form for failure messages.
    std::string Describe() const;
};

// Feeds a job to a new handler in chunks of the given sizes, used in turn and
// repeated from the start; each chunk is a separate copy that is freed after
// its call, so a handler that kept a pointer into it is caught. Stops at the
// first failure, then calls ParseDone.
ParseOutcome ParseInChunks(std::span<const unsigned char> job, std::span<const size_t> chunkSizes,
                           const RawPrintData::ParserRegistry& registry = RawPrintData::ParserRegistry::BuiltIn(),
                           RawPrintData::RawLanguageType language = RawPrintData::LANGUAGE_UNKNOWN);

// Feeds a job in one chunk.
ParseOutcome ParseWhole(std::span<const unsigned char> job,
                        const RawPrintData::ParserRegistry& registry = RawPrintData::ParserRegistry::BuiltIn(),
                        RawPrintData::RawLanguageType language = RawPrintData::LANGUAGE_UNKNOWN);

// The bytes of a text.
Bytes ToBytes(std::string_view text);

// The bytes of a file; empty when it cannot be read.
Bytes ReadJobFile(const std::string& path);

}  // namespace ParserTestSupport
