// Small PDFs each with one mark that prints or does not (data/make-marks),
// billed as Ghostscript renders them: a page is colour where its
// non-neutral ink covers the colour rule's area. Each is parsed in every
// chunking the harness tries.

#include "tests/Parser/ChunkInvariance.h"
#include "tests/Support/ColourOracle.h"
#include "tests/Support/NamedCases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

using TestSupport::operator<<;

// The resolution the truth is rendered at.
constexpr int ORACLE_DPI = 150;

struct MarkCase {
    std::string Name;
    std::filesystem::path mFile;
};

std::vector<MarkCase> MarkCases()
{
    std::vector<MarkCase> cases;
    for (const auto& entry : std::filesystem::directory_iterator(CVK_TEST_DATA_DIR "/marks"))
        cases.push_back({entry.path().stem().string(), entry.path()});
    std::sort(cases.begin(), cases.end(), [](const MarkCase& a, const MarkCase& b) { return a.Name < b.Name; });
    return cases;
}

class PdfMarks : public testing::TestWithParam<MarkCase> {};

TEST_P(PdfMarks, ColourPagesAreTheOnesRenderingFindsColour)
{
    const auto truth = TestSupport::MeasureDocumentColour(GetParam().mFile, ORACLE_DPI);
    ASSERT_TRUE(truth.has_value()) << "Ghostscript could not render " << GetParam().mFile;
    const int colourPages = static_cast<int>(
        std::count_if(truth->begin(), truth->end(), [](const TestSupport::OraclePage& page) { return page.colour; }));
    const ParseOutcome outcome = ExpectChunkInvariant(ReadJobFile(GetParam().mFile.string()));
    EXPECT_EQ(outcome.mintDoneResult, PARSE_RESULT_HANDLED) << outcome.Describe();
    EXPECT_EQ(outcome.mintMonoPages + outcome.mintColorPages, static_cast<int>(truth->size())) << outcome.Describe();
    EXPECT_EQ(outcome.mintColorPages, colourPages) << outcome.Describe();
}

INSTANTIATE_TEST_SUITE_P(Corpus, PdfMarks, testing::ValuesIn(MarkCases()), TestSupport::CaseName());

}  // namespace
