// The jobs of make-wrappers: fixed documents inside every distinct job
// wrapper and grey request of Debian's PostScript and PDF PPDs, as the
// filters cupsd runs write them, each with the mono and colour pages
// Ghostscript renders (data/wrappers.tsv), parsed in every chunking.

#include "tests/Parser/ChunkInvariance.h"
#include "tests/Parser/ParseOutcome.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace ParserTestSupport;

namespace {

struct WrapperRow {
    std::string mstrFile;
    int mintMono = 0;
    int mintColour = 0;
};

// The rows of the table: file, mono pages, colour pages.
std::vector<WrapperRow> ReadWrapperTable()
{
    std::vector<WrapperRow> rows;
    std::ifstream table(CVK_TEST_DATA_DIR "/wrappers.tsv");
    std::string line;
    while (std::getline(table, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        std::istringstream fields(line);
        WrapperRow row;
        if (std::getline(fields, row.mstrFile, '\t') && fields >> row.mintMono >> row.mintColour)
            rows.push_back(row);
    }
    return rows;
}

TEST(WrapperCorpus, GivesThePagesGhostscriptRendersWhereverTheJobIsCut)
{
    const std::vector<WrapperRow> rows = ReadWrapperTable();
    ASSERT_GE(rows.size(), 60u);
    for (const WrapperRow& row : rows) {
        SCOPED_TRACE(row.mstrFile);
        const Bytes job = ReadJobFile(std::string(CVK_TEST_DATA_DIR "/") + row.mstrFile);
        ASSERT_FALSE(job.empty());
        const ParseOutcome outcome = ExpectChunkInvariant(job);
        EXPECT_GE(outcome.mintDoneResult, 0) << outcome.Describe();
        EXPECT_EQ(outcome.mintMonoPages, row.mintMono) << outcome.Describe();
        EXPECT_EQ(outcome.mintColorPages, row.mintColour) << outcome.Describe();
    }
}

}  // namespace
