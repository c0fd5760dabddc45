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

TEST(PostscriptFixtures, GiveTheirPagesWhereverTheJobIsCut)
{
    const std::vector<FixtureRow> rows = ReadFixtureTable(std::string(CVK_TEST_DATA_DIR) + "/fixtures.tsv");
    ASSERT_GE(rows.size(), 24u);
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
