// The hook runs as root and reads the settings that the job owner's client
// cached in the owner's own folder: links there are never followed and only
// a file of the owner's or root's is read.
#include "Core/CVModels/ClientSettings.h"
#include "Platform/Folders.h"
#include "Platform/UserAccount.h"
#include "Platform/UserFile.h"
#include "tests/Hook/HookHarness.h"
#include "tests/Support/ChildRecord.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Platform::UserFileRead;

namespace {

class CachedSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mstrFolder = Platform::FolderPathFor(Platform::Folder::UserData, mUser);
        mstrFile = mstrFolder + "/.cvklocal.set";
        fs::create_directories(mstrFolder);
    }

    HookTests::HookSetup mSetup;
    Platform::UserAccount mUser = *Platform::CurrentUser();
    std::string mstrFolder;
    std::string mstrFile;
};

}  // namespace

TEST_F(CachedSettingsTest, OnlyTheOwnersOwnFileIsRead)
{
    auto other = Platform::LookupUser("nobody");
    const std::string elsewhere = mSetup.Root().Path() + "/elsewhere";
    TestSupport::WriteFileText(elsewhere + "/.cvklocal.set", "settings of someone else");
    struct Case {
        const char* name;
        std::function<void()> arrange;
        UserFileRead expected;
        bool needsAnotherUser = false;
    };
    const Case cases[] = {
        {"the owner's file", [&] { TestSupport::WriteFileText(mstrFile, "cached"); }, UserFileRead::Read},
        {"no file", [] {}, UserFileRead::Missing},
        {"a link at the file", [&] { fs::create_symlink(elsewhere + "/.cvklocal.set", mstrFile); },
         UserFileRead::Refused},
        {"a link on the way", [&] {
             fs::remove_all(mstrFolder);
             fs::create_directory_symlink(elsewhere, mstrFolder);
         },
         UserFileRead::Refused},
        {"a file of another user", [&] {
             TestSupport::WriteFileText(mstrFile, "cached");
             ASSERT_EQ(chown(mstrFile.c_str(), other->uid, other->gid), 0);
         },
         UserFileRead::Refused, true},
        {"a pipe", [&] { ASSERT_EQ(mkfifo(mstrFile.c_str(), 0600), 0); }, UserFileRead::Refused},
        {"a file too large", [&] { TestSupport::WriteFileText(mstrFile, std::string(2049, 'x')); },
         UserFileRead::Refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needsAnotherUser && (geteuid() != 0 || !other))
            continue;
        fs::remove_all(mstrFolder);
        fs::create_directories(mstrFolder);
        c.arrange();
        std::vector<uint8_t> bytes;
        std::string reason;
        EXPECT_EQ(Platform::ReadUsersFile(mUser, mstrFile, 2048, bytes, reason), c.expected) << reason;
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), c.expected == UserFileRead::Read ? "cached" : "");
        EXPECT_EQ(reason.empty(), c.expected != UserFileRead::Refused) << reason;
    }
    std::vector<uint8_t> bytes;
    std::string reason;
    EXPECT_EQ(Platform::ReadUsersFile(mUser, elsewhere + "/.cvklocal.set", 2048, bytes, reason),
              UserFileRead::Refused);
}

// Without a client the hook prints the job and says in its log why it did
// not take the owner's cached settings.
TEST_F(CachedSettingsTest, HookWithoutClientIgnoresALinkedSettingsFile)
{
    CVClientData::ClientSettings().WriteToBinaryFile(mSetup.Root().Path() + "/settings.set");
    fs::create_symlink(mSetup.Root().Path() + "/settings.set", mstrFile);
    HookTests::HookResult result =
        mSetup.Run(mSetup.JobArguments(61, mUser.name), HookTests::StdinFeed{"job"});
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(TestSupport::ReadChildRecord(mSetup.Records(), "61").data, "job");
    EXPECT_NE(mSetup.LogText().find("Cached client settings " + mstrFile + " ignored: a symbolic link is on its path."),
              std::string::npos);
}
