// The hook as a private cupsd runs it: a tracked queue whose device URI
// scheme names the wrapped backend, with cvkhook installed under that name in
// the backend folder and the recording backend in the hidden ".cvkbackend"
// folder beside it.
#include "Platform/UserAccount.h"
#include "tests/Hook/HookHarness.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/ChildRecord.h"
#include "tests/Support/PrivateCupsd.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

using HookTests::FakeClient;
namespace fs = std::filesystem;

namespace {

constexpr const char* kQueue = "Tracked";
constexpr int kCompleted = 9;
constexpr int kCanceled = 7;

class HookCupsdTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mCupsd.Running()) << mCupsd.ErrorLog();
        ASSERT_TRUE(mCupsd.InstallBackend("cvkrec", CVK_HOOK_PROGRAM, 0700));
        std::string hidden = mCupsd.ServerBin() + "/.cvkbackend";
        fs::create_directories(hidden);
        fs::copy_file(CVK_RECORDING_BACKEND, hidden + "/cvkrec");
        fs::permissions(hidden + "/cvkrec", fs::perms(0700));
        // The hook copies the job's spool file from CUPS's request root.
        std::string spool = mSetup.Root().Host("/var/spool/cups");
        fs::remove_all(spool);
        fs::create_directory_symlink(mCupsd.Folder() + "/spool", spool);
        ASSERT_TRUE(mCupsd.AddQueue(kQueue, "cvkrec://printer.example/tracked",
                                    CVK_QUEUE_PPD));
        mstrJobFile = mSetup.Root().Path() + "/report.prn";
        TestSupport::WriteFileText(mstrJobFile, HookTests::SampleJob());
    }

    // What cupsd gives its backends besides its own values.
    HookTests::Environment CupsdEnvironment() const
    {
        HookTests::Environment environment;
        for (const auto& [name, value] : mSetup.HookEnvironment())
            if (name.starts_with("CVK_") && name != "CVK_RECORD_DIR")
                environment.emplace_back(name, value);
        return environment;
    }

    int Submit() const { return mCupsd.SubmitJob(kQueue, mstrJobFile, {"-o", "raw"}); }

    TestSupport::ChildRecord Record(int jobId) const
    {
        return TestSupport::ReadChildRecord(mCupsd.RecordFolder(), std::to_string(jobId));
    }

    HookTests::HookSetup mSetup;
    TestSupport::PrivateCupsd mCupsd{CupsdEnvironment()};
    std::string mstrUser = Platform::CurrentUserName();
    std::string mstrJobFile;
};

}  // namespace

TEST_F(HookCupsdTest, ClientThatAnswersPrintGetsTheJobPrintedWhole)
{
    bool copyHeldJob = false;
    FakeClient client(mstrUser, FakeClient::Script::PrintAfterPageSets, [&] {
        copyHeldJob = TestSupport::ReadFileText(mSetup.PayloadCopy(*client.AnnouncedJobId()))
                      == TestSupport::ReadFileText(mstrJobFile);
    });
    int jobId = Submit();
    ASSERT_GT(jobId, 0);
    ASSERT_TRUE(mCupsd.WaitForJobState(jobId, kCompleted)) << mCupsd.ErrorLog();
    client.Finish();

    EXPECT_EQ(client.AnnouncedJobId(), static_cast<uint32_t>(jobId));
    EXPECT_TRUE(copyHeldJob);
    auto record = Record(jobId);
    EXPECT_EQ(record.data, TestSupport::ReadFileText(mstrJobFile));
    EXPECT_EQ(record.Get("argv[0]"), "cvkrec://printer.example/tracked");
    EXPECT_EQ(record.Get("argv[1]"), std::to_string(jobId));
    EXPECT_EQ(record.Get("argv[2]"), mstrUser);
    EXPECT_EQ(record.Get("argc"), "7");
}

TEST_F(HookCupsdTest, ClientThatAnswersCancelEndsTheJobCanceled)
{
    FakeClient client(mstrUser, FakeClient::Script::Cancel);
    int jobId = Submit();
    ASSERT_GT(jobId, 0);
    ASSERT_TRUE(mCupsd.WaitForJobState(jobId, kCanceled)) << mCupsd.ErrorLog();
    client.Finish();
    EXPECT_EQ(client.AnnouncedJobId(), static_cast<uint32_t>(jobId));
    EXPECT_FALSE(fs::exists(mCupsd.RecordFolder() + "/" + std::to_string(jobId) + ".txt"));
}

TEST_F(HookCupsdTest, WithoutClientTheJobPrintsUntrackedAndLeavesNoCopy)
{
    int jobId = Submit();
    ASSERT_GT(jobId, 0);
    ASSERT_TRUE(mCupsd.WaitForJobState(jobId, kCompleted)) << mCupsd.ErrorLog();
    EXPECT_EQ(Record(jobId).data, TestSupport::ReadFileText(mstrJobFile));
    EXPECT_FALSE(fs::exists(mSetup.PayloadCopy(jobId)));
    EXPECT_NE(TestSupport::ReadFileText(mSetup.LaunchLog()).find("start quorvel-client.service " + mstrUser),
              std::string::npos);
}

// CUPS ends the hook with SIGTERM while it waits for the client's answer:
// the copy of the user's document made for secure release goes with it.
TEST_F(HookCupsdTest, JobCancelledWhileTheHookWaitsLeavesNoCopy)
{
    bool copyHeldJob = false;
    std::atomic<bool> waiting{false};
    FakeClient client(mstrUser, FakeClient::Script::NoAnswer, [&] {
        copyHeldJob = fs::exists(mSetup.PayloadCopy(*client.AnnouncedJobId()));
        waiting = true;
    });
    int jobId = Submit();
    ASSERT_GT(jobId, 0);
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return waiting.load(); }, std::chrono::seconds(20))) << mCupsd.ErrorLog();
    ASSERT_TRUE(mCupsd.CancelJob(jobId));
    ASSERT_TRUE(mCupsd.WaitForJobState(jobId, kCanceled)) << mCupsd.ErrorLog();
    client.Finish();
    EXPECT_TRUE(copyHeldJob);
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return !fs::exists(mSetup.PayloadCopy(jobId)); }, std::chrono::seconds(5)));
    EXPECT_FALSE(fs::exists(mCupsd.RecordFolder() + "/" + std::to_string(jobId) + ".txt"));
}
