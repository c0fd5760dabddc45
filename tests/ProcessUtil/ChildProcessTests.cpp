#include "Core/ProcessUtil/ProcessUtil.h"

#include "Platform/UserAccount.h"
#include "tests/ProcessUtil/ForkedProcess.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/ChildRecord.h"
#include "tests/Support/RandomBytes.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <grp.h>
#include <filesystem>
#include <signal.h>
#include <unistd.h>

using CVClientData::ProcessUtil;
using ProcessUtilTests::RunInForkedProcess;
using ProcessUtilTests::WriteProgram;
using TestSupport::ArgumentArray;
using TestSupport::ReadChildRecord;
using TestSupport::RandomBytes;
namespace fs = std::filesystem;

namespace {

constexpr const char* kDeviceUri = "cvktest://printer.example/queue";

// A private root with a records folder and the recording backend copied in.
class ChildProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mstrRecords = mRoot.Path() + "/records";
        fs::create_directories(mstrRecords);
        fs::permissions(mstrRecords, fs::perms::all);
        mstrBackend = mRoot.Path() + "/backend/cvktest";
        fs::create_directories(mRoot.Path() + "/backend");
        fs::copy_file(CVK_RECORDING_BACKEND, mstrBackend);
        fs::permissions(mstrBackend, fs::perms(0755));
        setenv("CVK_RECORD_DIR", mstrRecords.c_str(), 1);
        unsetenv("CVK_RECORD_EXIT");
    }

    // The six backend arguments of a job on standard input.
    std::vector<std::string> JobArguments(const std::string& jobId) const
    {
        return {kDeviceUri, jobId, "alice", "Report; rm -rf /", "1", "raw"};
    }

    TestSupport::TempRoot mRoot;
    std::string mstrRecords;
    std::string mstrBackend;
};

}  // namespace

TEST_F(ChildProcessTest, InheritedDescriptorsPassArgumentsAndJobDataUnchanged)
{
    std::string job = mRoot.Path() + "/job.bin";
    TestSupport::WriteFileText(job, RandomBytes(300000));
    int status = RunInForkedProcess(job, [&] {
        // The hook ignores SIGPIPE and holds its client link above the
        // backend's five descriptors; neither may reach the backend.
        signal(SIGPIPE, SIG_IGN);
        int link = open("/dev/null", O_RDONLY);
        dup2(link, 7);
        dup2(link, 3);
        dup2(link, 4);
        auto arguments = JobArguments("11");
        auto argv = ArgumentArray(arguments);
        return ProcessUtil::ExecuteChildPreserveFileHandles(mstrBackend.c_str(), argv.data());
    });
    ASSERT_EQ(status, 0);
    auto record = ReadChildRecord(mstrRecords, "11");
    EXPECT_EQ(record.Get("argc"), "6");
    EXPECT_EQ(record.Get("argv[0]"), kDeviceUri);
    EXPECT_EQ(record.Get("argv[3]"), "Report; rm -rf /");
    EXPECT_EQ(record.Get("sigpipe"), "default");
    EXPECT_EQ(record.Descriptors(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(record.data == TestSupport::ReadFileText(job));
}

TEST_F(ChildProcessTest, PipeReplaysPreReadBytesThenTheRestOfStandardInput)
{
    const size_t total = 10 * 1024 * 1024;
    std::string job = mRoot.Path() + "/job.bin";
    const std::string bytes = RandomBytes(total);
    TestSupport::WriteFileText(job, bytes);

    for (size_t preRead : {size_t(0), size_t(1), size_t(4097), size_t(65536), size_t(65537), total - 3, total}) {
        std::string jobId = std::to_string(100 + preRead % 97);
        int status = RunInForkedProcess(job, [&] {
            signal(SIGPIPE, SIG_IGN);
            std::vector<unsigned char> consumed(preRead);
            size_t have = 0;
            while (have < preRead) {
                ssize_t got = read(STDIN_FILENO, consumed.data() + have, preRead - have);
                if (got <= 0)
                    return 99;
                have += static_cast<size_t>(got);
            }
            auto arguments = JobArguments(jobId);
            auto argv = ArgumentArray(arguments);
            return ProcessUtil::ExecuteChildWithStdinPipe(mstrBackend.c_str(), argv.data(),
                                                          preRead ? consumed.data() : nullptr, preRead);
        });
        ASSERT_EQ(status, 0) << "pre-read " << preRead;
        auto record = ReadChildRecord(mstrRecords, jobId);
        ASSERT_EQ(record.data.size(), total) << "pre-read " << preRead;
        EXPECT_TRUE(record.data == bytes) << "pre-read " << preRead;
        auto descriptors = record.Descriptors();
        EXPECT_TRUE(std::all_of(descriptors.begin(), descriptors.end(), [](int fd) { return fd < 5; }))
            << record.Get("fds");
    }
}

TEST_F(ChildProcessTest, PipeReplaysMemoryThenSpoolFileThenTheRestOfStandardInput)
{
    const std::string bytes = RandomBytes(3 * 1024 * 1024 + 17);
    std::string job = mRoot.Path() + "/job.bin";
    TestSupport::WriteFileText(job, bytes);
    // (bytes held in memory, bytes in the spool file) before the rest of
    // standard input; a spool file that cannot be read fails the job.
    struct SpoolCase {
        size_t inMemory;
        size_t inFile;
        bool readable;
        int expected;
    };
    const SpoolCase cases[] = {
        {1000, 2 * 1024 * 1024, true, 0},
        {0, 65536 * 3 + 5, true, 0},
        {8192, 0, true, 0},
        {4096, 100000, false, 1},
    };
    for (const auto& c : cases) {
        std::string jobId = std::to_string(300 + c.inFile % 89);
        std::string spool = mRoot.Path() + "/spool.bin";
        TestSupport::WriteFileText(spool, bytes.substr(c.inMemory, c.inFile));
        int status = RunInForkedProcess(job, [&] {
            // A write-only descriptor stands for a spool file that fails to read.
            int spoolFd = open(spool.c_str(), c.readable ? O_RDONLY : O_WRONLY);
            if (lseek(STDIN_FILENO, static_cast<off_t>(c.inMemory + c.inFile), SEEK_SET) < 0 || spoolFd < 0)
                return 99;
            auto arguments = JobArguments(jobId);
            auto argv = ArgumentArray(arguments);
            auto head = reinterpret_cast<const unsigned char*>(bytes.data());
            return ProcessUtil::ExecuteChildWithStdinPipe(mstrBackend.c_str(), argv.data(), head, c.inMemory, spoolFd);
        });
        ASSERT_EQ(status, c.expected) << c.inMemory << "+" << c.inFile;
        if (c.expected == 0) {
            EXPECT_TRUE(ReadChildRecord(mstrRecords, jobId).data == bytes) << c.inMemory << "+" << c.inFile;
        }
    }
}

TEST_F(ChildProcessTest, ExitStatusesPassThroughAndAbnormalEndsGiveOne)
{
    struct StatusCase {
        const char* script;
        unsigned mode;
        int expected;
    };
    const StatusCase cases[] = {
        {"#!/bin/sh\nexit 0\n", 0755, 0},
        {"#!/bin/sh\nexit 4\n", 0755, 4},
        {"#!/bin/sh\nexit 255\n", 0755, 255},
        {"#!/bin/sh\nkill -KILL $$\n", 0755, 1},
        {"#!/bin/sh\nkill -TERM $$\n", 0755, 1},
        {"#!/bin/sh\nexit 0\n", 0644, 1},  // not executable
        {nullptr, 0, 1},                    // no such program
    };
    int index = 0;
    for (const auto& c : cases) {
        std::string program = mRoot.Path() + "/program" + std::to_string(index++);
        if (c.script != nullptr)
            WriteProgram(program, c.script, c.mode);
        for (bool withPipe : {false, true}) {
            int status = RunInForkedProcess("", [&] {
                std::vector<std::string> arguments{program};
                auto argv = ArgumentArray(arguments);
                const unsigned char preRead[] = "x";
                return withPipe ? ProcessUtil::ExecuteChildWithStdinPipe(program.c_str(), argv.data(), preRead, 1)
                                : ProcessUtil::ExecuteChildPreserveFileHandles(program.c_str(), argv.data());
            });
            EXPECT_EQ(status, c.expected) << (c.script ? c.script : "missing") << " pipe " << withPipe;
        }
    }
}

TEST_F(ChildProcessTest, ChildThatStopsReadingEndsTheCopyWithoutKillingTheCaller)
{
    std::string job = mRoot.Path() + "/job.bin";
    TestSupport::WriteFileText(job, RandomBytes(4 * 1024 * 1024));
    std::string program = mRoot.Path() + "/early";
    WriteProgram(program, "#!/bin/sh\nexit 3\n");
    int status = RunInForkedProcess(job, [&] {
        signal(SIGPIPE, SIG_DFL);  // a broken pipe must not end this process
        std::vector<unsigned char> preRead(1024 * 1024, 'p');
        std::vector<std::string> arguments{program};
        auto argv = ArgumentArray(arguments);
        int result = ProcessUtil::ExecuteChildWithStdinPipe(program.c_str(), argv.data(), preRead.data(), preRead.size());
        sigset_t pending;
        sigpending(&pending);
        return sigismember(&pending, SIGPIPE) == 1 ? 98 : result;
    });
    EXPECT_EQ(status, 3);
}

TEST_F(ChildProcessTest, WorldExecutableBackendRunsAsCupsUserAndPrivateOneAsRoot)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to take another user's ids";
    auto lp = Platform::LookupUser("lp");
    auto nobody = Platform::LookupUser("nobody");
    if (!lp || !nobody)
        GTEST_SKIP() << "needs the users lp and nobody";
    auto ids = [](uid_t uid, gid_t gid) {
        std::string u = std::to_string(uid), g = std::to_string(gid);
        return u + "/" + u + "/" + g + "/" + g + "/" + g;
    };
    struct IdCase {
        unsigned mode;
        std::string conf;  // cups-files.conf under the root; empty for none
        bool inServerRoot;  // in the folder CUPS_SERVERROOT names instead
        int status;
        std::string ids;  // uid/euid/gid/egid/groups of the backend; empty: it did not run
    };
    const IdCase cases[] = {
        {0755, "", false, 0, ids(lp->uid, lp->gid)},
        {0755, "# User root\nuser nobody\nGroup " + std::to_string(nobody->gid) + "\n", false, 0,
         ids(nobody->uid, nobody->gid)},
        {0755, "User nobody\n", true, 0, ids(nobody->uid, lp->gid)},
        {0755, "User cvk-no-such-user\n", false, 1, ""},
        {0755, "User root\nGroup root\n", false, 1, ""},
        {0700, "User nobody\n", false, 0, "0/0/0/0/"},
    };
    int index = 0;
    for (const auto& c : cases) {
        std::string folder = c.inServerRoot ? mRoot.Path() + "/serverroot" : mRoot.Host("/etc/cups");
        fs::create_directories(folder);
        std::string conf = folder + "/cups-files.conf";
        fs::remove(conf);
        fs::remove(mRoot.Host("/etc/cups/cups-files.conf"));
        if (!c.conf.empty())
            TestSupport::WriteFileText(conf, c.conf);
        fs::permissions(mstrBackend, fs::perms(c.mode));
        std::string jobId = "2" + std::to_string(index++);
        int status = RunInForkedProcess("", [&] {
            // The hook is root with supplementary groups, as cupsd runs it.
            gid_t extra[] = {0, 4242};
            if (setgroups(2, extra) != 0)
                return 97;
            if (c.inServerRoot)
                setenv("CUPS_SERVERROOT", folder.c_str(), 1);
            auto arguments = JobArguments(jobId);
            auto argv = ArgumentArray(arguments);
            return ProcessUtil::ExecuteChildPreserveFileHandles(mstrBackend.c_str(), argv.data());
        });
        ASSERT_EQ(status, c.status) << c.conf;
        if (c.ids.empty())
            continue;
        auto record = ReadChildRecord(mstrRecords, jobId);
        std::string groups = record.Get("groups");
        EXPECT_EQ(record.Get("uid") + "/" + record.Get("euid") + "/" + record.Get("gid") + "/" + record.Get("egid")
                      + "/" + (c.mode == 0700 ? "" : groups),
                  c.ids)
            << c.conf;
    }
}
