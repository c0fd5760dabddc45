// Prints what the parser finds in each job file named on the command line,
// for the corpus sweeps that judge whole driver families: one line per file,
// as the test harness describes an outcome, and whether a parse in small
// chunks found the same.
#include "tests/Parser/ParseOutcome.h"

#include <array>
#include <cstdio>

using namespace ParserTestSupport;

int main(int argc, char** argv)
{
    int status = 0;
    for (int index = 1; index < argc; ++index) {
        const Bytes job = ReadJobFile(argv[index]);
        if (job.empty()) {
            std::fprintf(stderr, "%s: cannot be read or is empty\n", argv[index]);
            status = 1;
            continue;
        }
        const ParseOutcome whole = ParseWhole(job);
        constexpr std::array<size_t, 3> SMALL_CHUNKS = {1, 7, 509};
        const bool chunkInvariant = ParseInChunks(job, SMALL_CHUNKS) == whole;
        std::printf("%s: %s%s\n", argv[index], whole.Describe().c_str(), chunkInvariant ? "" : " (differs in chunks)");
    }
    return status;
}
