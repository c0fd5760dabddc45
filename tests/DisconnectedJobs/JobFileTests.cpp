// The rules of the disconnected-job files: which names are stored jobs,
// what a job's file is called, and what removing all stored jobs removes.

#include "Common/PrivateFileWriter.h"
#include "Core/Services/ClientInstance.h"
#include "Core/Services/DisconnectedJobFiles.h"
#include "tests/DisconnectedJobs/StoreFixture.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace DisconnectedJobTests {
namespace {

namespace Files = CVCoreDataServices::DisconnectedJobFiles;
using ::testing::ElementsAre;

TEST(JobFileNames, OnlyANameWhoseFirstJobIsItsEndIsAStoredJob)
{
    struct Case {
        const char* name;
        bool stored;
        bool removable;
        bool takenAtQuit = false;
    };
    const Case cases[] = {
        {".ws.12.job", true, true},
        {".ws.12.quit.job", true, true, true},  // stored as the client quit; any version reads it
        {".ws.12.job.sending", false, false},   // claimed by a process that sends it
        {"ws.12.job", true, false},          // a stored job, but not one that removing all jobs removes
        {".job", true, true},
        {".ws.12.job.AbC123", false, false},  // a file being written
        {".ws.12.job.bad", false, false},     // a file set aside
        {".ws.12.jobs", false, false},
        {".ws.12.job.job", false, false},
        {".ws.12.JOB", false, false},
        {".ws.12.jo", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Files::IsStoredJobName(c.name), c.stored) << c.name;
        EXPECT_EQ(Files::IsRemovableJobName(c.name), c.removable) << c.name;
        EXPECT_EQ(Files::IsTakenAtQuitName(c.name), c.takenAtQuit) << c.name;
    }
}

TEST(JobFileNames, AJobsFileIsOneStoredJobInTheFolderWhateverTheComputerName)
{
    EXPECT_EQ(Files::PathFor("/cache", "ws", 12), "/cache/.ws.12.job");
    EXPECT_EQ(Files::PathFor("/cache", "ws", 12, true), "/cache/.ws.12.quit.job");
    EXPECT_EQ(Files::PathFor("/cache", "", 7), "/cache/..7.job");
    EXPECT_EQ(Files::PathFor("/cache", "a.b/../c", 4000000000u), "/cache/.a_b____c.4000000000.job");
    for (const char* computer : {"ws", "host.example.org", "../up", "%s%n", "my.job.host"}) {
        std::filesystem::path path = Files::PathFor("/cache", computer, 3);
        EXPECT_EQ(path.parent_path(), "/cache") << computer;
        EXPECT_TRUE(Files::IsRemovableJobName(path.filename().string())) << computer;
    }
}

// The temporary file a job is written to before it is renamed into place is
// never taken for a stored job, so a submission never reads half a job.
TEST_F(StoreTest, AJobFileBeingWrittenIsNotAStoredJob)
{
    std::string path = Files::PathFor(Folder(), "ws", 12);
    PrivateFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    ASSERT_TRUE(writer.Write(std::span<const unsigned char>(reinterpret_cast<const unsigned char*>("\xbf"), 1)));
    std::vector<std::string> names = Names();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].starts_with(".ws.12.job")) << names[0];
    EXPECT_FALSE(Files::IsStoredJobName(names[0])) << names[0];

    EXPECT_FALSE(mStore->SubmitDisconnectedJobs(Settings(0, 1)));
    EXPECT_EQ(mServer.CountOf("POST", "printapi/disconnectedjobs"), 0u);
    writer.Close();
    EXPECT_TRUE(Names().empty());
}

TEST_F(StoreTest, RemovingAllJobsRemovesOnlyStoredJobs)
{
    StoreJob(1);
    StoreJob(2);
    TestSupport::WriteFileText(Folder() + "/.ws.3.job.bad", "damaged");
    TestSupport::WriteFileText(Folder() + "/notes.job", "not hidden");
    TestSupport::WriteFileText(Folder() + "/.cvkUser.cache", "user");
    std::filesystem::create_directory(Folder() + "/.folder.job");
    mStore->DeleteAllJobs();
    EXPECT_THAT(Names(), ElementsAre(".cvkUser.cache", ".folder.job", ".ws.3.job.bad", "notes.job"));
}

}  // namespace
}  // namespace DisconnectedJobTests

namespace DisconnectedJobTests {
namespace {

// One client per user: a second one is refused and told who holds the
// folder; once the first ends, the next one runs.
TEST_F(StoreTest, OneClientHoldsTheUsersStore)
{
    auto first = CVCoreDataServices::ClaimClientInstance(Folder());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CVCoreDataServices::ClaimClientInstance(Folder()), nullptr);
    EXPECT_NE(LogText().find("Another Quorvel Client of this user is running (" + std::to_string(getpid()) + ")"),
              std::string::npos);
    first.reset();
    EXPECT_NE(CVCoreDataServices::ClaimClientInstance(Folder()), nullptr);
}

}  // namespace
}  // namespace DisconnectedJobTests
