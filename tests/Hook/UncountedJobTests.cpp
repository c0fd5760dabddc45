// Jobs the parser cannot count whole, through real cvkhook processes: the
// client is told the best count there is, never fewer pages than the job
// prints and never none, the root log says why, and the job prints whole.
// A job that holds no page stays one. And the copy a secure release uploads
// is the job as CUPS gave it, whatever its owner writes into her payload file.

#include "Core/CVClientCommunication/RawDataJobProperties.h"
#include "Platform/UserAccount.h"
#include "tests/Hook/HookHarness.h"
#include "tests/Support/ChildRecord.h"
#include "tests/Support/NamedCases.h"
#include "tests/Support/RandomBytes.h"
#include "tests/Support/UncountableJobs.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <unistd.h>

using HookTests::FakeClient;
using HookTests::StdinFeed;
using TestSupport::PageTreeDamage;

namespace {

using TestSupport::operator<<;

struct UncountedCase {
    const char* Name;
    std::function<std::string()> mMake;
    int mintPrinted;         // pages a printer prints of it; 0: it holds no page
    const char* mstrLogged;  // part of the root log's reason when the parser cannot count it
};

const UncountedCase CASES[] = {
    {"pjl_status_request", [] { return std::string(TestSupport::PjlStatusRequest); }, 0, ""},
    {"language_not_read", [] { return std::string("Plain words that begin no printer language at all.\n"); }, 1,
     "The job's unrecognised data could not be counted after page 0: LanguageDetector"},
    {"pjl_entering_a_language_not_read",
     [] { return std::string(TestSupport::PjlUnreadLanguageJob, sizeof TestSupport::PjlUnreadLanguageJob - 1); }, 1,
     "PJL: the data of a language that is not read"},
    {"pdf_after_other_bytes", [] { return "Job 12 for Ann\n" + TestSupport::PdfOfPages(4); }, 4,
     "could not be counted"},
    {"pdf_count_beyond_any_number", [] { return TestSupport::PdfOfPages(5, PageTreeDamage::HugeCount); }, 5,
     "could not be counted"},
    {"pdf_pages_node_in_its_own_kids", [] { return TestSupport::PdfOfPages(5, PageTreeDamage::OwnKid); }, 5,
     "could not be counted"},
    {"ps2write_then_job_end", [] { return TestSupport::Ps2writeJob(3) + TestSupport::JobEndEscape; }, 3,
     "could not be counted"},
};

int TotalPages(const RawDataJobProperties& properties)
{
    int pages = 0;
    for (const auto& pageSet : properties.GetPageSets())
        pages += pageSet.mintMonoPages + pageSet.mintColorPages;
    return pages;
}

class UncountedJobTest : public ::testing::TestWithParam<UncountedCase> {
protected:
    HookTests::HookSetup mSetup;
    std::string mstrUser = Platform::CurrentUserName();
};

TEST_P(UncountedJobTest, ClientIsToldNoFewerPagesThanPrinted)
{
    const UncountedCase& row = GetParam();
    const std::string job = row.mMake();
    ASSERT_FALSE(job.empty());
    FakeClient client(mstrUser, FakeClient::Script::PrintAfterPageSets);
    HookTests::HookResult result = mSetup.Run(mSetup.JobArguments(40, mstrUser), StdinFeed{job});
    client.Finish();

    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_TRUE(TestSupport::ReadChildRecord(mSetup.Records(), "40").data == job);
    ASSERT_TRUE(client.PageSetReply().has_value());
    const RawDataJobProperties properties(*client.PageSetReply());
    EXPECT_EQ(properties.GetJobId(), 40u);
    const std::string log = mSetup.LogText();
    if (row.mintPrinted == 0) {
        EXPECT_FALSE(properties.IsFallbackCount());
        EXPECT_EQ(TotalPages(properties), 0);
        EXPECT_EQ(log.find("could not be counted"), std::string::npos) << log;
        return;
    }
    // Counted whole, or else as a fallback with the reason in the root log.
    EXPECT_GE(TotalPages(properties), row.mintPrinted);
    if (properties.IsFallbackCount()) {
        EXPECT_NE(log.find(row.mstrLogged), std::string::npos) << log;
        EXPECT_NE(log.find("a fallback count."), std::string::npos) << log;
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, UncountedJobTest, ::testing::ValuesIn(CASES), TestSupport::CaseName());

class SealedCopyTest : public ::testing::Test {
protected:
    HookTests::HookSetup mSetup;
    std::string mstrUser = Platform::CurrentUserName();
};

// The owner rewrites her payload file in place once the hook has taken the
// job; the copy handed to the client still holds what CUPS gave.
TEST_F(SealedCopyTest, OwnersRewriteOfThePayloadDoesNotReachTheSealedCopy)
{
    const std::string counted = TestSupport::RandomBytes(150000);
    TestSupport::WriteFileText(mSetup.CupsSpoolFile(41), counted);
    bool rewritten = false;
    FakeClient client(mstrUser, FakeClient::Script::PrintAfterPageSets, [&] {
        const int payload = open(mSetup.PayloadCopy(41).c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        const std::string other = "another document";
        rewritten = payload >= 0 && write(payload, other.data(), other.size()) == static_cast<ssize_t>(other.size());
        close(payload);
    });
    HookTests::HookResult result = mSetup.Run(mSetup.JobArguments(41, mstrUser), StdinFeed{counted});
    client.Finish();

    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_TRUE(rewritten);
    ASSERT_TRUE(client.SealedCopy().has_value());
    EXPECT_TRUE(*client.SealedCopy() == counted);
}

}  // namespace
