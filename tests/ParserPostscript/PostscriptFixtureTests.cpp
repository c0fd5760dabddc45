#include "JobRunner.h"
#include "tests/Parser/ChunkInvariance.h"
#include "tests/ParserPostscript/FixtureTable.h"

#include <gtest/gtest.h>

#include <vector>

using PostscriptTestSupport::FixtureRow;
using PostscriptTestSupport::JobResult;
using PostscriptTestSupport::ReadFixtureTable;
using PostscriptTestSupport::ReadTestFile;
using PostscriptTestSupport::RunJob;

namespace {

// The fixtures and the corpus of make-corpus (pstops with generic and vendor
// PPDs, the text and conversion tools).
TEST(PostscriptFixtures, GiveTheirPagesWhereverTheJobIsCut)
{
    std::vector<FixtureRow> rows = ReadFixtureTable(std::string(CVK_TEST_DATA_DIR) + "/fixtures.tsv");
    ASSERT_GE(rows.size(), 24u);
    const std::vector<FixtureRow> corpus = ReadFixtureTable(std::string(CVK_TEST_DATA_DIR) + "/corpus.tsv");
    ASSERT_GE(corpus.size(), 51u);
    rows.insert(rows.end(), corpus.begin(), corpus.end());
    for (const FixtureRow& row : rows) {
        const std::string job = ReadTestFile(row.mstrFile);
        ASSERT_FALSE(job.empty()) << row.mstrFile;
        const JobResult expected{row.mstrPageSets, row.mintCopies, row.mblnDuplex, row.mintColorType};
        EXPECT_EQ(RunJob(job, job.size()), expected) << row.mstrFile;
        SCOPED_TRACE(row.mstrFile);
        ParserTestSupport::ExpectChunkInvariant(ParserTestSupport::ToBytes(job));
    }
}

}  // namespace
