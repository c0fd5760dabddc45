// Another local user tries to take a user's jobs: a symbolic link at the
// user's socket path to root's client or to the attacker's own, or a file
// squatting the path before the user's client starts. Real users (one made
// for the test), real client processes and real cvkhook runs.
#include "Platform/ClientSocket.h"
#include "Platform/Folders.h"
#include "Platform/UserAccount.h"
#include "tests/Hook/HookHarness.h"
#include "tests/Support/ChildRecord.h"
#include "tests/Support/TemporaryUser.h"
#include "tests/Support/UserSocketClient.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using HookTests::FakeClient;
using HookTests::HookResult;
using HookTests::StdinFeed;
namespace fs = std::filesystem;

namespace {

// What the attacker leaves at the victim's /tmp socket path before the
// victim's client starts.
enum class Trap { LinkToRootsClient, LinkToAttackersClient, SquattingFile };

struct TrapCase {
    const char* name;
    Trap trap;
    bool runtimeFolder;  // the victim has a runtime folder under the root
};

void PrintTo(const TrapCase& trap, std::ostream* out)
{
    *out << trap.name;
}

class SocketSecurityTest : public ::testing::TestWithParam<TrapCase> {
protected:
    void SetUp() override
    {
        if (!mVictim.Problem().empty())
            GTEST_SKIP() << "a real second user is needed: " << mVictim.Problem();
        auto attacker = Platform::LookupUser("nobody");
        if (!attacker)
            GTEST_SKIP() << "the user nobody plays the attacker";
        mAttacker = *attacker;
        ASSERT_FALSE(mVictim.MakeHome().empty());
        // The victim's programs log into their own folder.
        MakeVictimFolder(mSetup.Root().LogFolder(Victim().name), Platform::HomeFolder(Victim()));
    }

    const Platform::UserAccount& Victim() const { return mVictim.Account(); }

    // A folder that belongs to the victim alone, with every folder made
    // for it below the given one.
    void MakeVictimFolder(const std::string& folder, const std::string& below) const
    {
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms::owner_all);
        for (fs::path part = folder; part.string().size() > below.size(); part = part.parent_path())
            ASSERT_EQ(chown(part.c_str(), Victim().uid, Victim().gid), 0) << part;
    }

    // Lays the trap as the attacker would have: the file is the attacker's.
    void LayTrap(Trap trap, const std::string& rootsSocket, const std::string& attackersSocket) const
    {
        std::string path = mSetup.Root().Host("/tmp/" + Platform::ClientSocketName(Victim()));
        if (trap == Trap::SquattingFile)
            TestSupport::WriteFileText(path, "mine");
        else
            fs::create_symlink(trap == Trap::LinkToRootsClient ? rootsSocket : attackersSocket, path);
        ASSERT_EQ(lchown(path.c_str(), mAttacker.uid, mAttacker.gid), 0);
    }

    std::string VictimLog() const
    {
        return TestSupport::ReadFileText(mSetup.Root().LogFolder(Victim().name) + "/" + Victim().name
                                         + "_Quorvel.log");
    }

    HookTests::HookSetup mSetup;
    TestSupport::TemporaryUser mVictim;
    Platform::UserAccount mAttacker;
};

}  // namespace

TEST_P(SocketSecurityTest, VictimsJobReachesOnlyTheVictimsOwnClient)
{
    const TrapCase& c = GetParam();
    const std::string root = Platform::CurrentUserName();
    if (c.runtimeFolder)
        MakeVictimFolder(mSetup.Root().Host("/run/user/" + std::to_string(Victim().uid)), mSetup.Root().Host("/run/user"));

    FakeClient rootsClient(root, FakeClient::Script::PrintAtOnce);
    ASSERT_TRUE(rootsClient.IsListening());
    TestSupport::UserSocketClient attackersClient(mAttacker.name, mSetup.Root().Path() + "/attacker.report");
    std::string attackersSocket = attackersClient.WaitUntilListening();
    ASSERT_FALSE(attackersSocket.empty());
    LayTrap(c.trap, Platform::ClientSocketPaths(*Platform::LookupUser(root)).front(), attackersSocket);

    // The victim's client keeps away from the trap and still listens.
    TestSupport::UserSocketClient victimsClient(Victim().name, mSetup.Root().Path() + "/victim.report");
    std::string victimsSocket = victimsClient.WaitUntilListening();
    std::string expected = c.runtimeFolder ? *Platform::RuntimeFolder(Victim()) + "/cvkclient." + Victim().name
                                           : Platform::FolderPathFor(Platform::Folder::UserData, Victim())
                                                 + "/cvkclient." + Victim().name;
    ASSERT_EQ(victimsSocket, expected);
    if (!c.runtimeFolder) {
        EXPECT_NE(VictimLog().find("is held by uid " + std::to_string(mAttacker.uid)), std::string::npos);
    }

    HookResult result = mSetup.Run(mSetup.JobArguments(51, Victim().name), StdinFeed{"the victim's job"});
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(TestSupport::ReadChildRecord(mSetup.Records(), "51").data, "the victim's job");
    EXPECT_EQ(victimsClient.Jobs(), std::vector<uint32_t>{51});
    EXPECT_TRUE(attackersClient.Jobs().empty());
    if (!c.runtimeFolder) {
        EXPECT_NE(mSetup.LogText().find("refused socket " + mSetup.Root().Host("/tmp/cvkclient." + Victim().name)),
                  std::string::npos);
    }

    // Root's own job still reaches root's client, which heard nothing before.
    result = mSetup.Run(mSetup.JobArguments(52, root), StdinFeed{"root's job"});
    rootsClient.Finish();
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(rootsClient.AnnouncedJobId(), 52u);
}

INSTANTIATE_TEST_SUITE_P(
    Traps, SocketSecurityTest,
    ::testing::Values(TrapCase{"LinkToRootsClient", Trap::LinkToRootsClient, false},
                      TrapCase{"LinkToAttackersClient", Trap::LinkToAttackersClient, false},
                      TrapCase{"SquattingFile", Trap::SquattingFile, false},
                      TrapCase{"SquattingFileBesideARuntimeFolder", Trap::SquattingFile, true}),
    [](const auto& info) { return std::string(info.param.name); });
