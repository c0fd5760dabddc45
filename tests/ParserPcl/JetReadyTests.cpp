// hpcups' JetReady job on an index card (data/jetready-card.ps: a red square,
// then a grey picture in RGB), whose raster is JPEG strips sent as vendor
// data, with its second page's data changed: what cannot be read counts as
// colour, and a page the data asks to print grey is mono.
#include "tests/Parser/ChunkInvariance.h"
#include "tests/Parser/ParseOutcome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string_view>

using namespace ParserTestSupport;

namespace {

// Where a byte sequence first occurs at or after from; the job's size when
// it does not.
size_t Find(const Bytes& job, std::string_view bytes, size_t from = 0)
{
    const auto found = std::search(job.begin() + static_cast<long>(std::min(from, job.size())), job.end(),
                                   bytes.begin(), bytes.end(),
                                   [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); });
    return static_cast<size_t>(found - job.begin());
}

// Sets a byte of the job, which must be there.
void Set(Bytes& job, size_t at, unsigned char value)
{
    ASSERT_LT(at, job.size()) << "the job changed: no such bytes in it";
    job[at] = value;
}

// Where the second page begins (its BeginPage operator).
size_t SecondPage(const Bytes& job)
{
    constexpr std::string_view BEGIN_PAGE("\x43\xD3\x64\x00\x64\x00", 6);
    return Find(job, BEGIN_PAGE, Find(job, BEGIN_PAGE) + 1);
}

// A strip's data begins with its compression, 0x90 and the scan's length,
// right after the VendorUnique operator.
constexpr std::string_view STRIP("\xF8\x92\x46\x21\x90", 5);

struct Change {
    const char* Name;
    std::function<void(Bytes&)> mChange;
    int mintColourPages;
};

const Change CHANGES[] = {
    {"AsPrinted", [](Bytes&) {}, 1},
    {"SecondPageInAVendorCompression",
     [](Bytes& job) {
         for (size_t at = SecondPage(job); (at = Find(job, STRIP, at)) < job.size(); at += STRIP.size())
             Set(job, at + 3, 0x11);
     },
     2},
    {"SecondPageStripLongerThanItsData",
     [](Bytes& job) { Set(job, Find(job, STRIP, SecondPage(job)) + 8, 0x7F); },
     2},
    {"SecondPageTableOfZero",
     [](Bytes& job) { Set(job, Find(job, std::string_view("\x46\x00\x80\x00\x03", 5), SecondPage(job)) + 7, 0); },
     2},
    {"FirstPageInGrey",
     [](Bytes& job) { Set(job, Find(job, std::string_view("\xC0\x06\xF8\x03\x6A", 5)) + 1, 0x07); },
     0},
};

class JetReady : public ::testing::TestWithParam<Change> {};

TEST_P(JetReady, BillsWhatReachesThePaper)
{
    Bytes job = ReadJobFile(CVK_TEST_DATA_DIR "/drivers/hpcups-colorlaserjet3600.pxl");
    GetParam().mChange(job);
    const ParseOutcome outcome = ExpectChunkInvariant(job);
    EXPECT_EQ(outcome.mintMonoPages + outcome.mintColorPages, 2) << outcome.Describe();
    EXPECT_EQ(outcome.mintColorPages, GetParam().mintColourPages) << outcome.Describe();
}

INSTANTIATE_TEST_SUITE_P(Changes, JetReady, ::testing::ValuesIn(CHANGES),
                         [](const auto& info) { return info.param.Name; });

}  // namespace
