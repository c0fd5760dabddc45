#include "tests/Parser/ParseOutcome.h"

#include "PrinterLanguageParser/Parser/CRawDataHandler.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace RawPrintData;

namespace ParserTestSupport {

// Lists the outcome's fields and page sets.
std::string ParseOutcome::Describe() const
{
    std::ostringstream text;
    text << "copies " << mintCopies << ", colour " << mintColorType << ", duplex " << mblnDuplex << ", mono "
         << mintMonoPages << ", colour pages " << mintColorPages << ", first failure " << mintFirstFailure
         << ", done " << mintDoneResult << ", page sets:";
    for (const CRawPageSet& pageSet : mvecPageSets)
        text << " [" << pageSet.GetName() << " " << pageSet.mintWidth << "x" << pageSet.mintHeight << " mono "
             << pageSet.mintMonoPages << " colour " << pageSet.mintColorPages << " orientation "
             << pageSet.mintOrientation << "]";
    return text.str();
}

// Feeds the job chunk by chunk and collects the results.
ParseOutcome ParseInChunks(std::span<const unsigned char> job, std::span<const size_t> chunkSizes,
                           const ParserRegistry& registry, RawLanguageType language)
{
    CRawDataHandler handler(language, registry);
    ParseOutcome outcome;
    size_t position = 0;
    size_t turn = 0;
    while (position < job.size()) {
        const size_t wanted = chunkSizes.empty() ? job.size() : std::max<size_t>(1, chunkSizes[turn++ % chunkSizes.size()]);
        const size_t length = std::min(wanted, job.size() - position);
        const Bytes chunk(job.begin() + position, job.begin() + position + length);
        position += length;
        const ParseDataResultType result = handler.ParseData(chunk.data(), chunk.size());
        if (result < 0) {
            outcome.mintFirstFailure = result;
            break;
        }
    }
    // As the hook does: the formats read whole see the bytes fed so far.
    const MemoryJobBytes fed(job.first(position));
    handler.SetJobBytes(&fed);
    outcome.mintDoneResult = handler.ParseDone();
    outcome.mvecPageSets = handler.GetPageSets();
    outcome.mintCopies = handler.GetCopies();
    outcome.mintColorType = handler.GetColorType();
    outcome.mblnDuplex = handler.IsDuplex();
    handler.GetTotalPageCount(&outcome.mintMonoPages, &outcome.mintColorPages);
    return outcome;
}

// Feeds the job in one chunk.
ParseOutcome ParseWhole(std::span<const unsigned char> job, const ParserRegistry& registry, RawLanguageType language)
{
    return ParseInChunks(job, {}, registry, language);
}

// The text's bytes.
Bytes ToBytes(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

// Reads a whole file.
Bytes ReadJobFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace ParserTestSupport
