// Small PDFs each with one mark that prints or does not (data/make-marks),
// billed as Ghostscript renders them: a page is colour where its
// non-neutral ink covers the colour rule's area (data/measure-marks writes
// data/marks.tsv). Each is parsed in every chunking the harness tries.

#include "tests/Parser/ChunkInvariance.h"
#include "tests/Support/NamedCases.h"
#include "tests/Support/TabTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

using TestSupport::operator<<;

struct MarkCase {
    std::string Name;
    std::string mstrFile;
    int mintPages = 0;
    int mintColorPages = 0;
};

std::vector<MarkCase> ReadMarkCases()
{
    std::vector<MarkCase> cases;
    for (const std::vector<std::string>& row : TestSupport::ReadTabRows(CVK_TEST_DATA_DIR "/marks.tsv")) {
        if (row.size() < 3)
            continue;
        const size_t slash = row[0].rfind('/') + 1;
        cases.push_back({row[0].substr(slash, row[0].rfind('.') - slash), row[0], std::stoi(row[1]), std::stoi(row[2])});
    }
    return cases;
}

class PdfMarks : public testing::TestWithParam<MarkCase> {};

TEST_P(PdfMarks, ColourPagesAreTheOnesRenderingFindsColour)
{
    const MarkCase& test = GetParam();
    const Bytes job = ReadJobFile(CVK_TEST_DATA_DIR "/" + test.mstrFile);
    ASSERT_FALSE(job.empty()) << test.mstrFile;
    const ParseOutcome outcome = ExpectChunkInvariant(job);
    EXPECT_EQ(outcome.mintDoneResult, PARSE_RESULT_HANDLED) << outcome.Describe();
    EXPECT_EQ(outcome.mintMonoPages + outcome.mintColorPages, test.mintPages) << outcome.Describe();
    EXPECT_EQ(outcome.mintColorPages, test.mintColorPages) << outcome.Describe();
}

INSTANTIATE_TEST_SUITE_P(Corpus, PdfMarks, testing::ValuesIn(ReadMarkCases()), TestSupport::CaseName());

}  // namespace
