#pragma once

#include "PrinterLanguageParser/Parser/CRawDataHandler.h"

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace PostscriptTestSupport {

// What a whole job gave: the page sets as "name WxH mono/colour" joined by
// "; ", copies, duplex, colour type and the results of the calls.
struct JobResult {
    std::string mstrPageSets;
    unsigned long mintCopies = 0;
    bool mblnDuplex = false;
    int mintColorType = 0;
    int mintWorstResult = 0;  // the lowest ParseData result
    int mintDoneResult = 0;

    bool operator==(const JobResult&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const JobResult& result)
{
    return out << "[" << result.mstrPageSets << "] copies " << result.mintCopies << " duplex " << result.mblnDuplex
               << " colour type " << result.mintColorType << " results " << result.mintWorstResult << "/"
               << result.mintDoneResult;
}

// Feeds a job to a detecting handler in chunks of the given size.
inline JobResult RunJob(std::string_view job, size_t chunkSize,
                        const RawPrintData::ParserRegistry& registry = RawPrintData::ParserRegistry::BuiltIn())
{
    RawPrintData::CRawDataHandler handler(RawPrintData::LANGUAGE_UNKNOWN, registry);
    JobResult result;
    for (size_t offset = 0; offset < job.size(); offset += chunkSize) {
        const std::string_view chunk = job.substr(offset, chunkSize);
        const int parsed = handler.ParseData(reinterpret_cast<const unsigned char*>(chunk.data()), chunk.size());
        result.mintWorstResult = std::min(result.mintWorstResult, parsed);
    }
    result.mintDoneResult = handler.ParseDone();
    for (const RawPrintData::CRawPageSet& set : handler.GetPageSets()) {
        if (!result.mstrPageSets.empty())
            result.mstrPageSets += "; ";
        result.mstrPageSets += std::string(set.GetName()) + " " + std::to_string(set.mintWidth) + "x" +
                               std::to_string(set.mintHeight) + " " + std::to_string(set.mintMonoPages) + "/" +
                               std::to_string(set.mintColorPages);
    }
    result.mintCopies = handler.GetCopies();
    result.mblnDuplex = handler.IsDuplex();
    result.mintColorType = handler.GetColorType();
    return result;
}

// The bytes of a file in the test data folder.
inline std::string ReadTestFile(const std::string& name)
{
    std::ifstream file(std::string(CVK_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

}  // namespace PostscriptTestSupport
