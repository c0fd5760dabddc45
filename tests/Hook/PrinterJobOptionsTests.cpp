// Copies and two-sided printing that the printer makes from the job's
// arguments where the data says nothing of them.
#include "hook/PrinterJobOptions.h"
#include "tests/Support/NamedCases.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using TestSupport::operator<<;

// The test queue's PPD, with a cupsManualCopies line added (or not).
std::string QueuePpd(const TestSupport::TempRoot& root, const char* name, const char* manualCopies)
{
    std::ifstream in(CVK_QUEUE_PPD);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (manualCopies != nullptr)
        text += std::string("*cupsManualCopies: ") + manualCopies + "\n";
    const std::string path = root.Path() + "/" + name + ".ppd";
    TestSupport::WriteFileText(path, text);
    return path;
}

struct CopiesCase {
    const char* Name;
    const char* mstrBackend;
    const char* mstrCopies;
    const char* mstrManualCopies;  // null: the PPD has no such line
    bool mblnPpd;
    uint32_t mintExpected;
};

const CopiesCase COPIES[] = {
    // CUPS's driverless PPD of a printer that makes copies: the ipp backend
    // asks the printer for them, the data holds one.
    {"ipp_printer_makes_copies", "ipp", "3", "False", true, 3},
    {"ipps_printer_makes_copies", "ipps", "2", nullptr, true, 2},
    // pdftopdf repeated the pages: the data holds them, counted there.
    {"filters_make_copies", "ipp", "3", "True", true, 1},
    {"other_backends_send_the_data_once", "socket", "3", "False", true, 1},
    {"no_ppd", "ipp", "3", nullptr, false, 1},
    {"one_copy", "ipp", "1", "False", true, 1},
    {"not_a_number", "ipp", "3x", "False", true, 1},
};

class PrinterCopies : public testing::TestWithParam<CopiesCase> {};

TEST_P(PrinterCopies, AreArgumentFourWhereTheIppBackendAsksForThem)
{
    const CopiesCase& test = GetParam();
    TestSupport::TempRoot root;
    const std::string ppd = test.mblnPpd ? QueuePpd(root, "queue", test.mstrManualCopies) : root.Path() + "/none.ppd";
    EXPECT_EQ(PrinterJobOptions::CopiesAskedOfPrinter(test.mstrBackend, test.mstrCopies, ppd.c_str()),
              test.mintExpected);
}

INSTANTIATE_TEST_SUITE_P(Queues, PrinterCopies, testing::ValuesIn(COPIES), TestSupport::CaseName());

// A PDF's copies multiply with the printer's; a raster's header already says
// the job's copies, which the printer makes once.
TEST(PrinterCopies, CountOnceWhenARasterHeaderRepeatsThem)
{
    struct CountCase {
        uint32_t data;
        uint32_t backend;
        bool raster;
        uint32_t counted;
    };
    const CountCase cases[] = {
        {1, 3, false, 3}, {2, 3, false, 6}, {3, 3, true, 3}, {1, 3, true, 3}, {2, 1, true, 2},
        {0xFFFFFFFFu, 2, false, 0xFFFFFFFFu},
    };
    for (const CountCase& test : cases)
        EXPECT_EQ(PrinterJobOptions::CountedCopies(test.data, test.backend, test.raster), test.counted)
            << test.data << " x " << test.backend << (test.raster ? " raster" : "");
}

TEST(PrinterTwoSides, ComeFromSidesOrTheDuplexOption)
{
    struct SidesCase {
        const char* options;
        bool twoSides;
    };
    const SidesCase cases[] = {
        {"sides=two-sided-long-edge", true},
        {"media=iso_a4_210x297mm sides=two-sided-short-edge number-up=2", true},
        {"sides=one-sided", false},
        {"Duplex=DuplexNoTumble", true},
        {"Duplex=None", false},
        {"", false},
        {nullptr, false},
    };
    for (const SidesCase& test : cases)
        EXPECT_EQ(PrinterJobOptions::OptionsAskForTwoSides(test.options), test.twoSides)
            << (test.options != nullptr ? test.options : "(none)");
}

}  // namespace
