#include "Core/CVClientCommunication/ClientCommunicationChannel.h"
#include "Platform/UserAccount.h"
#include "tests/ClientCommunication/SocketTestHelpers.h"
#include "tests/Support/TempRoot.h"
#include "tests/Support/TemporaryUser.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <future>
#include <grp.h>
#include <regex>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>

namespace {

using namespace SocketTests;
namespace fs = std::filesystem;

ClientMessage NewJob(uint32_t jobId)
{
    ClientMessage message(ClientMessageType::Notify, ClientMessageSubType::NewJob);
    message.SetSingleNumericParameter(jobId);
    return message;
}

class ChannelTest : public ::testing::Test {
protected:
    std::string SocketFile(const std::string& user) const { return root.Host("/tmp/cvkclient." + user); }
    std::string LogText() const
    {
        return TestSupport::ReadFileText(root.LogFolder(user) + "/" + user + "_Quorvel.log");
    }
    TestSupport::TempRoot root;
    std::string user = Platform::CurrentUserName();
};

TEST_F(ChannelTest, ListenConnectExchangeAndStop)
{
    mode_t previous = umask(022);
    ClientCommunicationChannel listener(user.c_str());
    ASSERT_TRUE(listener.Listen());
    EXPECT_EQ(umask(previous), 022u);  // the process's umask is left alone
    struct stat info {};
    ASSERT_EQ(lstat(SocketFile(user).c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0777u);  // the hook runs as another user

    ClientCommunicationChannel hook(user.c_str());
    ASSERT_TRUE(hook.Connect());
    EXPECT_TRUE(hook.Connect());  // already connected
    ClientCommunicationChannel client = listener.Accept();
    ASSERT_TRUE(client.IsConnected());
    EXPECT_TRUE(hook.SendMessage(NewJob(42)));
    EXPECT_EQ(client.ReceiveMessage().GetMessageContentParam1(), 42u);
    EXPECT_TRUE(client.SendMessage(ClientMessage(ClientMessageType::Request, ClientMessageSubType::JobCompleted)));
    EXPECT_TRUE(hook.ReceiveMessage().Is(ClientMessageType::Request, ClientMessageSubType::JobCompleted));

    // Every socket is closed across exec.
    for (int fd = 3; fd < 64; ++fd) {
        int flags = fcntl(fd, F_GETFD);
        struct stat fdInfo {};
        if (flags != -1 && fstat(fd, &fdInfo) == 0 && S_ISSOCK(fdInfo.st_mode)) {
            EXPECT_TRUE(flags & FD_CLOEXEC) << "descriptor " << fd;
        }
    }

    client.Disconnect();
    EXPECT_FALSE(client.IsConnected());
    EXPECT_TRUE(hook.ReceiveMessage().Is(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure));
    listener.StopListening();
    EXPECT_FALSE(fs::exists(fs::symlink_status(SocketFile(user))));
    EXPECT_FALSE(listener.Accept().IsConnected());
}

TEST_F(ChannelTest, ConnectWithoutListenerFails)
{
    ClientCommunicationChannel hook(user.c_str());
    EXPECT_FALSE(hook.Connect());
    EXPECT_FALSE(hook.IsConnected());
}

TEST_F(ChannelTest, UnusableUserNamesAreRefused)
{
    for (std::string name : {std::string(), std::string("a/b"), std::string("../etc"), std::string(120, 'u')}) {
        ClientCommunicationChannel listener(name.c_str());
        EXPECT_FALSE(listener.Listen()) << name;
        ClientCommunicationChannel hook(name.c_str());
        EXPECT_FALSE(hook.Connect()) << name;
    }
    EXPECT_TRUE(fs::is_empty(root.Host("/tmp")));
}

TEST_F(ChannelTest, StopListeningWakesABlockedAccept)
{
    ClientCommunicationChannel listener(user.c_str());
    ASSERT_TRUE(listener.Listen());
    auto accepted = std::async(std::launch::async, [&] { return listener.Accept().IsConnected(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto start = std::chrono::steady_clock::now();
    listener.StopListening();
    ASSERT_EQ(accepted.wait_for(std::chrono::seconds(1)), std::future_status::ready);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(accepted.get());
    EXPECT_FALSE(fs::exists(fs::symlink_status(SocketFile(user))));
}

// Runs a function as another user in a child process; its exit status is the
// function's result. The child uses plain system calls only.
class OtherUser {
public:
    OtherUser(const std::string& name, const std::function<int(int signal, int proceed)>& body)
    {
        auto account = Platform::LookupUser(name);
        if (!account)
            return;
        int toParent[2], toChild[2];
        if (pipe(toParent) != 0 || pipe(toChild) != 0)
            return;
        mPid = fork();
        if (mPid == 0) {
            close(toParent[0]);
            close(toChild[1]);
            if (setgroups(0, nullptr) != 0 || setgid(account->gid) != 0 || setuid(account->uid) != 0)
                _exit(90);
            _exit(body(toParent[1], toChild[0]));
        }
        close(toParent[1]);
        close(toChild[0]);
        mSignal = toParent[0];
        mProceed = toChild[1];
    }
    ~OtherUser()
    {
        Finish();
        if (mSignal != -1)
            close(mSignal);
    }
    bool Started() const { return mPid > 0; }
    // Waits until the child has reached its signal point.
    bool WaitForSignal() const
    {
        char byte;
        return read(mSignal, &byte, 1) == 1;
    }
    // Lets the child go on, then waits for its exit status.
    int Finish()
    {
        if (mProceed != -1)
            close(std::exchange(mProceed, -1));
        int status = 0;
        if (mPid > 0 && waitpid(std::exchange(mPid, -1), &status, 0) > 0 && WIFEXITED(status))
            mStatus = WEXITSTATUS(status);
        return mStatus;
    }

private:
    pid_t mPid = -1;
    int mSignal = -1, mProceed = -1, mStatus = -1;
};

sockaddr_un Address(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    return address;
}

class PeerCheckTest : public ChannelTest {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "the peer checks need root to act as other users";
    }
};

// Only root (as the hook runs) may hand jobs over; the CUPS user is refused
// like any other.
TEST_F(PeerCheckTest, ListenerAcceptsOnlyRoot)
{
    const struct {
        const char* peer;
        bool allowed;
    } cases[] = {{"nobody", false}, {"lp", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.peer);
        ClientCommunicationChannel listener(user.c_str());
        ASSERT_TRUE(listener.Listen());
        std::string path = SocketFile(user);
        // The child connects and sends 'N','B' 7; it exits 0 when answered
        // 'R','Z', 1 when the connection is closed (or reset) on it, 2 when it could not connect.
        OtherUser peer(c.peer, [&](int signal, int) {
            int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address = Address(path);
            if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
                return 2;
            unsigned char newJob[] = {'N', 'B', 7, 0, 0, 0};
            if (write(fd, newJob, sizeof newJob) != sizeof newJob || write(signal, "x", 1) != 1)
                return 3;
            char answer[2];
            ssize_t count = read(fd, answer, 2);
            if (count == 2 && answer[0] == 'R' && answer[1] == 'Z')
                return 0;
            return count == 0 || (count == -1 && errno == ECONNRESET) ? 1 : 4;
        });
        ASSERT_TRUE(peer.Started());
        ASSERT_TRUE(peer.WaitForSignal());
        // The test's own connection (root) queues behind the child's.
        ClientCommunicationChannel hook(user.c_str());
        ASSERT_TRUE(hook.Connect());
        ASSERT_TRUE(hook.SendMessage(NewJob(99)));

        ClientCommunicationChannel first = listener.Accept();
        ASSERT_TRUE(first.IsConnected());
        uint32_t jobId = first.ReceiveMessage().GetMessageContentParam1();
        EXPECT_EQ(jobId, c.allowed ? 7u : 99u);  // a refused peer is skipped, the listener goes on
        if (c.allowed)
            first.SendMessage(ClientMessage(ClientMessageType::Request, ClientMessageSubType::JobCompleted));
        EXPECT_EQ(peer.Finish(), c.allowed ? 0 : 1);
        bool logged = LogText().find("refused connection from uid " +
                                     std::to_string(Platform::LookupUser(c.peer)->uid)) != std::string::npos;
        EXPECT_EQ(logged, !c.allowed);
    }
}

// The sum of the refusal counts in the log's lines.
uint64_t RefusalsLogged(const std::string& log, size_t& lines)
{
    static const std::regex counted(R"(\((\d+) connections refused since the last such line\)|(\d+) more connections were refused)");
    uint64_t total = 0;
    lines = 0;
    for (auto match = std::sregex_iterator(log.begin(), log.end(), counted); match != std::sregex_iterator(); ++match) {
        ++lines;
        total += std::stoull((*match)[1].matched ? (*match)[1].str() : (*match)[2].str());
    }
    return total;
}

// Another user connecting as fast as it can for a second and a half leaves a
// few lines that count every refusal, not a line for each.
TEST_F(PeerCheckTest, AConnectionFloodLeavesTheLogBounded)
{
    TestSupport::TemporaryUser other;
    if (!other.Problem().empty())
        GTEST_SKIP() << other.Problem();
    uint64_t made = 0;
    {
        ClientCommunicationChannel listener(user.c_str());
        ASSERT_TRUE(listener.Listen());
        std::string path = SocketFile(user);
        auto accepted = std::async(std::launch::async, [&] { return listener.Accept().IsConnected(); });
        // The child reports how many connections it made through its exit
        // status's pipe: a count of bytes.
        int counter[2];
        ASSERT_EQ(pipe(counter), 0);
        OtherUser flood(other.Account().name, [&](int, int) {
            close(counter[0]);
            auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
            while (std::chrono::steady_clock::now() < until) {
                int fd = socket(AF_UNIX, SOCK_STREAM, 0);
                sockaddr_un address = Address(path);
                if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    write(counter[1], "x", 1) != 1)
                    return 3;
                close(fd);
            }
            return 0;
        });
        close(counter[1]);
        ASSERT_TRUE(flood.Started());
        char byte;
        while (read(counter[0], &byte, 1) == 1)
            ++made;
        close(counter[0]);
        EXPECT_EQ(flood.Finish(), 0);
        // The refusals are skipped and the listener goes on to root's own.
        ClientCommunicationChannel hook(user.c_str());
        ASSERT_TRUE(hook.Connect());
        EXPECT_TRUE(accepted.get());
    }
    ASSERT_GT(made, 100u);
    size_t lines = 0;
    EXPECT_EQ(RefusalsLogged(LogText(), lines), made);
    EXPECT_LE(lines, 4u);
}

TEST_F(PeerCheckTest, HookTalksOnlyToTheUsersOwnListener)
{
    const struct {
        const char* listenerOwner;
        const char* socketUser;
        bool accepted;
    } cases[] = {{"nobody", user.c_str(), false}, {"nobody", "lp", false}, {"lp", "lp", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.listenerOwner) + " listening as " + c.socketUser);
        std::string path = SocketFile(c.socketUser);
        // The child listens on the user's socket path until told to finish.
        OtherUser impostor(c.listenerOwner, [&](int signal, int proceed) {
            int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address = Address(path);
            if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 5) != 0)
                return 2;
            char byte;
            return write(signal, "x", 1) == 1 && read(proceed, &byte, 1) == 0 ? 0 : 3;
        });
        ASSERT_TRUE(impostor.Started());
        ASSERT_TRUE(impostor.WaitForSignal());
        ClientCommunicationChannel hook(c.socketUser);
        EXPECT_EQ(hook.Connect(), c.accepted);
        EXPECT_EQ(hook.IsConnected(), c.accepted);
        EXPECT_EQ(impostor.Finish(), 0);
        unlink(path.c_str());
    }
    EXPECT_NE(LogText().find("refused socket"), std::string::npos);
}

}  // namespace
