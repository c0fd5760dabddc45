#include "JobRunner.h"
#include "tests/Parser/ChunkInvariance.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

using PostscriptTestSupport::JobResult;
using PostscriptTestSupport::ReadTestFile;
using PostscriptTestSupport::RunJob;

namespace {

struct FixtureRow {
    std::string mstrFile;
    JobResult mExpected;
};

// The rows of fixtures.tsv: file, page sets, copies, duplex, colour type.
std::vector<FixtureRow> ReadFixtureTable()
{
    std::vector<FixtureRow> rows;
    std::ifstream table(std::string(CVK_TEST_DATA_DIR) + "/fixtures.tsv");
    std::string line;
    while (std::getline(table, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        std::vector<std::string> fields;
        size_t start = 0;
        while (true) {
            const size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        if (fields.size() != 5)
            continue;
        FixtureRow row;
        row.mstrFile = fields[0];
        row.mExpected.mstrPageSets = fields[1];
        row.mExpected.mintCopies = std::stoul(fields[2]);
        row.mExpected.mblnDuplex = fields[3] == "1";
        row.mExpected.mintColorType = std::stoi(fields[4]);
        rows.push_back(row);
    }
    return rows;
}

TEST(PostscriptFixtures, GiveTheirPagesWhereverTheJobIsCut)
{
    const std::vector<FixtureRow> rows = ReadFixtureTable();
    ASSERT_GE(rows.size(), 24u);
    for (const FixtureRow& row : rows) {
        const std::string job = ReadTestFile(row.mstrFile);
        ASSERT_FALSE(job.empty()) << row.mstrFile;
        EXPECT_EQ(RunJob(job, job.size()), row.mExpected) << row.mstrFile;
        SCOPED_TRACE(row.mstrFile);
        ParserTestSupport::ExpectChunkInvariant(ParserTestSupport::ToBytes(job));
    }
}

}  // namespace
