// A job that a reader gives up on is told apart from a job that holds no
// page: the handler keeps why, and the data says how many pages it holds at
// least. (The jobs themselves go through the hook: tests/Hook.)

#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "PrinterLanguageParser/Parser/FallbackPageCount.h"
#include "PrinterLanguageParser/Parser/JobBytes.h"
#include "tests/Support/UncountableJobs.h"

#include <gtest/gtest.h>

#include <string>

using namespace RawPrintData;

namespace {

using TestSupport::PageTreeDamage;

// A reader that gives up without a line of its own still leaves a reason
// that names its language; a new job on the handler is counted again.
TEST(UncountedJob, ReasonNamesTheLanguageAndResetClearsIt)
{
    CRawDataHandler handler(static_cast<RawLanguageType>(RAW_LANGUAGE_COUNT));  // no parser at all
    const unsigned char data[] = "data";
    EXPECT_LT(handler.ParseData(data, 4), 0);
    EXPECT_FALSE(handler.IsCounted());
    EXPECT_NE(handler.GetProblem().find("Unknown: the data could not be read (result -3)"), std::string::npos)
        << handler.GetProblem();
    handler.Reset(LANGUAGE_UNKNOWN);
    EXPECT_TRUE(handler.IsCounted());
    EXPECT_TRUE(handler.GetProblem().empty());
}

// What the data says besides its reader: the largest DSC page count, also
// one cut by the pieces the job is read in, and a PDF's page-tree leaves.
TEST(UncountedJob, FallbackCountReadsPageCommentsAndPageTrees)
{
    const struct {
        const char* Name;
        std::string job;
        uint64_t pages;
    } rows[] = {
        {"no comment", "%!PS\nshowpage\n", 0},
        {"atend and a number", "%!PS\n%%Pages: (atend)\n" + std::string(70000, ' ') + "%%Pages: 7\n", 7},
        {"comment across pieces", std::string(65536 - 5, ' ') + "%%Pages: 12\n", 12},
        {"pdf with a loop", TestSupport::PdfOfPages(6, PageTreeDamage::OwnKid), 6},
        {"pdf behind bytes", "junk " + TestSupport::PdfOfPages(2, PageTreeDamage::HugeCount), 2},
    };
    for (const auto& row : rows) {
        const MemoryJobBytes job({reinterpret_cast<const unsigned char*>(row.job.data()), row.job.size()});
        EXPECT_EQ(FallbackPageCount(job), row.pages) << row.Name;
    }
}

}  // namespace
