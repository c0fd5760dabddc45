#include "tests/Parser/ChunkInvariance.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace ParserTestSupport {

namespace {

constexpr unsigned RANDOM_RUNS = 4;

// Random chunk sizes, mostly small with some large, so that cuts fall
// everywhere.
std::vector<size_t> RandomChunkSizes(unsigned seed, size_t jobSize)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<size_t> scale(0, 3);
    std::vector<size_t> sizes;
    size_t covered = 0;
    while (covered < jobSize) {
        const size_t limits[] = {4, 32, 1024, 70000};
        const size_t size = std::uniform_int_distribution<size_t>(1, limits[scale(random)])(random);
        sizes.push_back(size);
        covered += size;
    }
    return sizes;
}

// Compares one chunking's outcome with the whole-job one.
void ExpectSameOutcome(const ParseOutcome& whole, const ParseOutcome& chunked, const std::string& chunking)
{
    EXPECT_EQ(whole, chunked) << "fed " << chunking << "\n  whole:   " << whole.Describe()
                              << "\n  chunked: " << chunked.Describe();
}

}  // namespace

// Parses the job in every chunking and compares each with the whole-job parse.
ParseOutcome ExpectChunkInvariant(std::span<const unsigned char> job, const RawPrintData::ParserRegistry& registry,
                                  RawPrintData::RawLanguageType language)
{
    const ParseOutcome whole = ParseWhole(job, registry, language);
    for (const size_t size : {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{4096}, size_t{65536}}) {
        const size_t sizes[] = {size};
        ExpectSameOutcome(whole, ParseInChunks(job, sizes, registry, language),
                          "in chunks of " + std::to_string(size));
    }
    for (unsigned seed = 1; seed <= RANDOM_RUNS; ++seed) {
        const std::vector<size_t> sizes = RandomChunkSizes(seed, job.size());
        ExpectSameOutcome(whole, ParseInChunks(job, sizes, registry, language),
                          "in random chunks, seed " + std::to_string(seed));
    }
    return whole;
}

}  // namespace ParserTestSupport
