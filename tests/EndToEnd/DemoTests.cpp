// The demonstration that scripts/demo runs, run here whole so that it keeps
// working: every sample prints whole, reaches the server with its counts and
// costs, and nothing is left behind.
#include "tests/Support/ChildProgram.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// The number of times the text occurs.
size_t Occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

}  // namespace

TEST(DemoTest, DemonstrationPrintsAndAccountsEverySampleAndCleansUp)
{
    TestSupport::ProgramResult demo = TestSupport::RunProgram({CVK_DEMO_PROGRAM});
    ASSERT_EQ(demo.status, 0) << demo.output;

    EXPECT_EQ(Occurrences(demo.output, "identical to the document"), 4u) << demo.output;
    // The counts and costs of the samples at 0.10 a mono and 0.50 a colour page.
    for (const char* line : {"3 mono and 0 colour pages, 3 copies, duplex, cost 0.90",
                             "2 mono and 1 colour page, 1 copy, one-sided, cost 0.70",
                             "1 mono and 1 colour page, 2 copies, duplex, cost 1.20",
                             "2 mono and 0 colour pages, 2 copies, duplex, cost 0.40"})
        EXPECT_NE(demo.output.find(line), std::string::npos) << line << "\n" << demo.output;
    EXPECT_NE(demo.output.find("Questions the client asked its user: none"), std::string::npos) << demo.output;

    // "Quorvel demonstration, in <folder> (removed afterwards)"
    std::string marker = "demonstration, in ";
    size_t at = demo.output.find(marker);
    ASSERT_NE(at, std::string::npos);
    std::string folder = demo.output.substr(at + marker.size(), demo.output.find(' ', at + marker.size()) - at - marker.size());
    EXPECT_FALSE(std::filesystem::exists(folder)) << folder;
}
