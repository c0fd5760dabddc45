// Feeds arbitrary bytes to the parser handler in chunk sizes taken from the
// input, and checks that the results equal those of the same job fed whole:
// no crash, no hang, and no dependence on where the job was cut.
//
// Input: one flag byte (bit 0: use the test script parser for every language
// without a skipping parser, to reach the frame's switching and accounting;
// bits 1-3: how many chunk-size bytes follow), the chunk-size bytes (below
// 200: that many bytes plus one; from 200: multiples of 4096), then the job.
//
// A job is cut into at most MaxPieces pieces: the chunk sizes are scaled up
// for a long job. Cut into single bytes, a seed of some tens of kilobytes
// took a fifth of a second an input (each piece runs the parser frame once),
// and the target made under a hundred inputs a second; every cut position
// still occurs, in the short jobs the fuzzer makes.

#include "tests/Parser/ParseOutcome.h"
#include "tests/Parser/ScriptParser.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

using namespace ParserTestSupport;

namespace {

constexpr size_t MaxPieces = 256;

// The chunk size a size byte stands for.
size_t ChunkSize(uint8_t code)
{
    return code < 200 ? size_t{code} + 1 : size_t{code - 199u} * 4096;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::span<const unsigned char> input(data, size);
    const uint8_t flags = input[0];
    input = input.subspan(1);

    const size_t sizeBytes = std::min<size_t>((flags >> 1) & 7, input.size());
    std::vector<size_t> chunkSizes;
    for (size_t k = 0; k < sizeBytes; ++k)
        chunkSizes.push_back(ChunkSize(input[k]));
    if (chunkSizes.empty())
        chunkSizes.push_back(1);
    const std::span<const unsigned char> job = input.subspan(sizeBytes);
    const size_t smallest = (job.size() + MaxPieces - 1) / MaxPieces;
    for (size_t& chunkSize : chunkSizes)
        chunkSize = std::max(chunkSize, smallest);

    static const RawPrintData::ParserRegistry scripts = ScriptRegistryForAllLanguages();
    const RawPrintData::ParserRegistry& registry = (flags & 1) != 0 ? scripts : RawPrintData::ParserRegistry::BuiltIn();

    const ParseOutcome whole = ParseWhole(job, registry);
    const ParseOutcome chunked = ParseInChunks(job, chunkSizes, registry);
    if (!(whole == chunked)) {
        std::fprintf(stderr, "Results depend on the chunking.\n  whole:   %s\n  chunked: %s\n", whole.Describe().c_str(),
                     chunked.Describe().c_str());
        std::abort();
    }
    return 0;
}
