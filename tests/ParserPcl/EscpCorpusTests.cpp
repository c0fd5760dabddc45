// The Epson driver corpus (data/escp-corpus, made by its make-escp-corpus.sh):
// one small document through every Epson driver Debian packages, each job
// with the pages, colour pages and paper it prints.

#include "tests/Parser/ChunkInvariance.h"
#include "tests/ParserPostscript/FixtureTable.h"
#include "tests/ParserPostscript/JobRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

using PostscriptTestSupport::FixtureRow;
using PostscriptTestSupport::JobResult;

namespace {

// Jobs whose colour the data does not tell (README, "What this build does not
// do"): uniprint's stc300 prints every colour through the black head's ESC r 0
// with a nozzle map, so its colour pages are billed mono. Their pages and
// paper are still checked.
constexpr std::string_view COLOUR_UNTOLD[] = {"uniprint-stc300.prn"};

bool ColourUntold(const std::string& file)
{
    return std::find(std::begin(COLOUR_UNTOLD), std::end(COLOUR_UNTOLD), file) != std::end(COLOUR_UNTOLD);
}

// Every job is billed what it prints, wherever it is cut into chunks.
TEST(EscpCorpus, EveryDriverJobIsBilledWhatItPrints)
{
    const std::vector<FixtureRow> rows =
        PostscriptTestSupport::ReadFixtureTable(CVK_TEST_DATA_DIR "/escp-corpus/corpus.tsv");
    ASSERT_GE(rows.size(), 80u);
    size_t right = 0;
    for (const FixtureRow& row : rows) {
        SCOPED_TRACE(row.mstrFile);
        const std::string job = PostscriptTestSupport::ReadTestFile("escp-corpus/" + row.mstrFile);
        ASSERT_FALSE(job.empty());
        const JobResult expected{row.mstrPageSets, row.mintCopies, row.mblnDuplex, row.mintColorType};
        const JobResult billed = PostscriptTestSupport::RunJob(job, job.size());
        right += billed == expected ? 1 : 0;
        if (ColourUntold(row.mstrFile))
            EXPECT_EQ(billed.mstrPageSets, "A4 2100x2970 4/0");
        else
            EXPECT_EQ(billed, expected);
        ParserTestSupport::ExpectChunkInvariant(ParserTestSupport::ToBytes(job));
    }
    std::cout << "Epson corpus: " << right << " of " << rows.size() << " jobs billed right\n";
}

}  // namespace
