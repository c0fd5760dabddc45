// Which backends run, and as whom: a private cupsd runs each backend of the
// table itself, the hook's child-process code runs the same file, and
// `Vantro track` is asked to wrap it in a staged installation. All three
// must agree: cvkhook runs nothing that cupsd would refuse, and nothing as
// root that cupsd would run as its own user.
#include "Core/ProcessUtil/ProcessUtil.h"
#include "Platform/UserAccount.h"
#include "tests/Install/StagedInstallation.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/ChildRecord.h"
#include "tests/Support/PrivateCupsd.h"
#include "tests/Support/TempRoot.h"
#include "tests/Support/TemporaryUser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

enum class Where {
    File,           // a file in the backend folder
    UsersFile,      // a file in the backend folder that the second user owns
    LinkToUsers,    // a link to the second user's file in the user's own folder
    WritableFolder, // a file in a backend folder that its group may write
    Dangling,       // a link to nothing: stat fails
};

struct RightsCase {
    const char* scheme;
    unsigned mode;
    Where where;
    const char* runsAs;  // "root", "lp", or "none" when it does not run
};

// cupsd 2.4 runs a backend as root unless others may execute (or anyone but
// root may write) it, and runs nothing that fails its file checks.
const RightsCase kCases[] = {
    {"private", 0700, Where::File, "root"},
    {"everyone", 0755, Where::File, "lp"},
    {"group", 0750, Where::File, "root"},
    {"groupexec", 0710, Where::File, "root"},
    {"othersread", 0704, Where::File, "root"},
    {"groupwrite", 0775, Where::File, "none"},
    {"otherswrite", 0757, Where::File, "none"},
    {"setuid", 04755, Where::File, "none"},
    {"usersfile", 0755, Where::UsersFile, "none"},
    {"userslink", 0700, Where::LinkToUsers, "none"},
    {"folder", 0700, Where::WritableFolder, "none"},
    {"dangling", 0700, Where::Dangling, "none"},
};

class BackendRightsTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "cupsd checks backends only as root";
        ASSERT_TRUE(mUser.Problem().empty()) << mUser.Problem();
        ASSERT_TRUE(mCupsd.Running()) << mCupsd.ErrorLog();
        ASSERT_EQ(InstallTests::PutInstallationUnder(mRoot.Path()), "");
        mstrUsersFile = mRoot.Path() + "/home/backend";
        fs::create_directories(mRoot.Path() + "/home");
        WriteBackendFile(mstrUsersFile, 0700, mUser.Account().uid);
        fs::permissions(mRoot.Path() + "/home", fs::perms(0700));
        ASSERT_EQ(chown((mRoot.Path() + "/home").c_str(), mUser.Account().uid, 0), 0);
    }

    static void WriteBackendFile(const std::string& path, unsigned mode, uid_t owner)
    {
        fs::remove(path);
        fs::copy_file(CVK_RECORDING_BACKEND, path);
        ASSERT_EQ(chown(path.c_str(), owner, 0), 0);
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
    }

    // Puts the case's backend at a path, as the case says.
    void Place(const RightsCase& c, const std::string& path) const
    {
        fs::remove(path);
        switch (c.where) {
        case Where::LinkToUsers:
            fs::create_symlink(mstrUsersFile, path);
            break;
        case Where::Dangling:
            fs::create_symlink(path + ".gone", path);
            break;
        default:
            WriteBackendFile(path, c.mode, c.where == Where::UsersFile ? mUser.Account().uid : 0);
        }
    }

    // Whom the record of a run names; "none" without a record.
    std::string RanAs(const std::string& name) const
    {
        if (!fs::exists(mCupsd.RecordFolder() + "/" + name + ".txt"))
            return "none";
        std::string uid = TestSupport::ReadChildRecord(mCupsd.RecordFolder(), name).Get("uid");
        return uid == "0" ? "root" : uid == std::to_string(Platform::LookupUser("lp")->uid) ? "lp" : "uid " + uid;
    }

    std::string CupsdRuns(const RightsCase& c) const
    {
        // lpadmin takes only a scheme whose backend is there.
        std::string path = mCupsd.BackendFolder() + "/" + c.scheme;
        WriteBackendFile(path, 0700, 0);
        std::string queue = std::string("q_") + c.scheme;
        EXPECT_TRUE(mCupsd.AddQueue(queue, std::string(c.scheme) + "://printer.example/q")) << mCupsd.ErrorLog();
        Place(c, path);
        if (c.where == Where::WritableFolder)
            fs::permissions(mCupsd.BackendFolder(), fs::perms(0775));
        int job = mCupsd.SubmitJob(queue, CVK_SAMPLE_JOB);
        EXPECT_GT(job, 0);
        std::string record = std::to_string(job);
        // Done when the backend has recorded its run, or the job has left the
        // pending and processing states, or cupsd has stopped the queue.
        for (int tries = 0; tries < 150 && !fs::exists(mCupsd.RecordFolder() + "/" + record + ".txt"); ++tries) {
            std::optional<int> state = mCupsd.JobState(job);
            if (state && *state >= 6)
                break;
            if (TestSupport::RunProgram({"lpstat", "-h", mCupsd.Address(), "-p", queue}).output.find("disabled")
                != std::string::npos)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        fs::permissions(mCupsd.BackendFolder(), fs::perms(0755));
        return RanAs(record);
    }

    // The hook's way of running a wrapped backend, in a child process as
    // cupsd starts the hook; its standard error (the scheduler's) is kept.
    std::string HookRuns(const RightsCase& c, std::string& errors) const
    {
        std::string path = mCupsd.BackendFolder() + "/" + c.scheme;
        std::string name = std::string("hook-") + c.scheme;
        std::string errorFile = mCupsd.Folder() + "/" + name + ".err";
        if (c.where == Where::WritableFolder)
            fs::permissions(mCupsd.BackendFolder(), fs::perms(0775));
        pid_t pid = fork();
        if (pid == 0) {
            int null = open("/dev/null", O_RDWR);
            int err = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(null, 0);
            dup2(null, 1);
            dup2(err, 2);
            setenv("CVK_RECORD_DIR", mCupsd.RecordFolder().c_str(), 1);
            std::vector<std::string> arguments{std::string(c.scheme) + "://printer.example/q", name, "alice", "t",
                                               "1", ""};
            auto argv = TestSupport::ArgumentArray(arguments);
            _exit(CVClientData::ProcessUtil::ExecuteChildPreserveFileHandles(path.c_str(), argv.data()));
        }
        int status = 0;
        waitpid(pid, &status, 0);
        fs::permissions(mCupsd.BackendFolder(), fs::perms(0755));
        errors = TestSupport::ReadFileText(errorFile);
        return RanAs(name);
    }

    // "tracked" when `Vantro track` wraps the backend; else its output.
    std::string VantroTracks(const RightsCase& c) const
    {
        std::string folder = mRoot.Host(CVK_CUPS_BACKEND_FOLDER);
        Place(c, folder + "/" + c.scheme);
        if (c.where == Where::WritableFolder)
            fs::permissions(folder, fs::perms(0775));
        TestSupport::ProgramResult result = TestSupport::RunProgram(
            {"/usr/bin/env", "CVK_ROOT=" + mRoot.Path(), mRoot.Host(CVK_VANTRO_PROGRAM), "track", c.scheme});
        fs::permissions(folder, fs::perms(0755));
        bool tracked = result.output.find(std::string(c.scheme) + ": tracked, cvkhook runs it") != std::string::npos;
        EXPECT_EQ(tracked, result.status == 0) << result.output;
        return tracked ? "tracked" : result.output;
    }

    TestSupport::TemporaryUser mUser;
    TestSupport::PrivateCupsd mCupsd;
    TestSupport::TempRoot mRoot;
    std::string mstrUsersFile;
};

TEST_F(BackendRightsTest, HookAndVantroRunWhatCupsdRunsAsCupsdRunsIt)
{
    for (const RightsCase& c : kCases) {
        SCOPED_TRACE(c.scheme);
        EXPECT_EQ(CupsdRuns(c), c.runsAs) << mCupsd.ErrorLog();
        std::string errors;
        EXPECT_EQ(HookRuns(c, errors), c.runsAs) << errors;
        bool refused = std::string(c.runsAs) == "none";
        EXPECT_EQ(errors.find("ERROR: The backend ") != std::string::npos, refused) << errors;
        std::string vantro = VantroTracks(c);
        if (refused)
            EXPECT_NE(vantro.find(c.where == Where::Dangling ? "is no backend that could be tracked"
                                                             : "is not tracked: cupsd would not run"),
                      std::string::npos)
                << vantro;
        else
            EXPECT_EQ(vantro, "tracked");
    }
}

// A wrapped backend that cupsd would refuse is reported by the repair run
// with its reason, and never adopted: its owner stays.
TEST_F(BackendRightsTest, RepairRunReportsAWrappedBackendOfAnotherUser)
{
    std::string wrapped = mRoot.Host(CVK_WRAPPED_BACKEND_FOLDER) + "/usersfile";
    WriteBackendFile(wrapped, 0755, mUser.Account().uid);
    fs::create_symlink("cvkhook", mRoot.Host(CVK_CUPS_BACKEND_FOLDER) + "/usersfile");
    TestSupport::ProgramResult result =
        TestSupport::RunProgram({"/usr/bin/env", "CVK_ROOT=" + mRoot.Path(), mRoot.Host(CVK_VANTRO_PROGRAM)});
    EXPECT_NE(result.status, 0);
    EXPECT_NE(result.output.find("does not run the wrapped backend " + wrapped + ", as cupsd would not: " + wrapped
                                 + " belongs to user " + std::to_string(mUser.Account().uid)),
              std::string::npos)
        << result.output;
    struct stat info {};
    ASSERT_EQ(stat(wrapped.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, mUser.Account().uid);
}

// Vantro names the queues whose scheme is not tracked, and only those.
TEST_F(BackendRightsTest, VantroNamesTheQueuesThatAreNotTracked)
{
    for (const char* scheme : {"tracked", "plain"}) {
        ASSERT_TRUE(mCupsd.InstallRecordingBackend(scheme));
        ASSERT_TRUE(mCupsd.AddQueue(std::string("Q_") + scheme, std::string(scheme) + "://printer.example/q"));
    }
    WriteBackendFile(mRoot.Host(CVK_WRAPPED_BACKEND_FOLDER) + "/tracked", 0700, 0);
    fs::create_symlink("cvkhook", mRoot.Host(CVK_CUPS_BACKEND_FOLDER) + "/tracked");
    TestSupport::ProgramResult result = TestSupport::RunProgram({"/usr/bin/env", "CVK_ROOT=" + mRoot.Path(),
                                                                 "CUPS_SERVER=" + mCupsd.Address(),
                                                                 mRoot.Host(CVK_VANTRO_PROGRAM)});
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("Not tracked: the queue Q_plain (plain) prints untracked; `Vantro track plain`"),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("cvkhook: installation in order; queues not tracked: Q_plain\n"), std::string::npos)
        << result.output;
    // A scheduler that cannot be asked is said, never taken for one whose
    // queues are all tracked.
    result = TestSupport::RunProgram({"/usr/bin/env", "CVK_ROOT=" + mRoot.Path(), "CUPS_SERVER=127.0.0.1:1",
                                      mRoot.Host(CVK_VANTRO_PROGRAM)});
    EXPECT_NE(result.output.find("queues not checked: the CUPS scheduler did not answer\n"), std::string::npos)
        << result.output;
}

}  // namespace
