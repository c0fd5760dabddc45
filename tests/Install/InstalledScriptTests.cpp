// The installation's scripts run from a copy of the staged installation
// under a private root (CVK_ROOT): the repair script as the installed Vantro
// runs it, and the uninstall script as Uninstall, the package's removal or
// an administrator runs it. Stand-in backends are small scripts that say
// which version they are.
#include "tests/Install/StagedInstallation.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/NamedCases.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using TestSupport::operator<<;

constexpr uid_t kNobody = 65534;

class InstalledScriptTest : public testing::Test {
public:
    void SetUp() override { ASSERT_EQ(InstallTests::PutInstallationUnder(mRoot.Path()), ""); }

    std::string Backend(const std::string& name) const { return mRoot.Host(CVK_CUPS_BACKEND_FOLDER) + "/" + name; }
    std::string Wrapped(const std::string& name) const
    {
        return mRoot.Host(CVK_WRAPPED_BACKEND_FOLDER) + "/" + name;
    }

    // A stand-in backend of the given version.
    static void WriteBackend(const std::string& path, const std::string& version)
    {
        TestSupport::WriteFileText(path, "#!/bin/sh\n# version " + version + "\n");
        fs::permissions(path, fs::perms(0755));
    }
    static std::string VersionOf(const std::string& path)
    {
        std::string text = TestSupport::ReadFileText(path);
        size_t at = text.find("# version ");
        return at == std::string::npos ? "not a backend" : text.substr(at + 10, text.find('\n', at) - at - 10);
    }
    static std::string LinkOf(const std::string& path)
    {
        std::error_code error;
        fs::path target = fs::read_symlink(path, error);
        return error ? "not a link" : target.string();
    }

    // Puts a backend under tracking as an administrator does: the backend
    // in the hidden folder, cvkhook linked in its place.
    void Wrap(const std::string& name, const std::string& version) const
    {
        WriteBackend(Wrapped(name), version);
        fs::create_symlink("cvkhook", Backend(name));
    }

    // Runs a command in the root's environment, with more variables.
    TestSupport::ProgramResult Run(const std::vector<std::string>& command,
                                   const std::vector<std::string>& variables = {}) const
    {
        std::vector<std::string> arguments{"/usr/bin/env", "CVK_ROOT=" + mRoot.Path()};
        arguments.insert(arguments.end(), variables.begin(), variables.end());
        arguments.insert(arguments.end(), command.begin(), command.end());
        return TestSupport::RunProgram(arguments);
    }
    TestSupport::ProgramResult RunVantro(const std::vector<std::string>& arguments = {}) const
    {
        std::vector<std::string> command{mRoot.Host(CVK_VANTRO_PROGRAM)};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return Run(command);
    }

    // A package database under the root in which cups-daemon ships the
    // given paths, as dpkg-query and dpkg-divert read it.
    void ShipWithCups(const std::vector<std::string>& paths) const
    {
        TestSupport::WriteFileText(mRoot.Host("/var/lib/dpkg/status"),
                                   "Package: cups-daemon\nStatus: install ok installed\nVersion: 2.4.2\n"
                                   "Architecture: amd64\nMaintainer: Debian <cups@example.org>\n"
                                   "Description: CUPS\n\n");
        std::string list;
        for (const std::string& path : paths)
            list += path + "\n";
        TestSupport::WriteFileText(mRoot.Host("/var/lib/dpkg/info/cups-daemon.list"), list);
    }
    std::string Diversions() const { return TestSupport::ReadFileText(mRoot.Host("/var/lib/dpkg/diversions")); }
    TestSupport::ProgramResult RunUninstaller(const std::vector<std::string>& variables = {}) const
    {
        return Run({"/bin/sh", mRoot.Host(CVK_UNINSTALL_SCRIPT)}, variables);
    }

    bool InstallationPresent() const { return fs::exists(mRoot.Host(CVK_CLIENT_BUNDLE)); }

protected:
    TestSupport::TempRoot mRoot;
};

// Vantro runs the installed repair script: cvkhook gets back its owner and
// mode, a backend that an update put back over the link is wrapped again
// (the new one replaces the old in the hidden folder), a wrapped backend
// without cvkhook in its place gets it, and ipps, a link to the wrapped
// ipp, gets the same link in the hidden folder.
TEST_F(InstalledScriptTest, VantroRepairsTheHookAndWrapsAgainWhatAnUpdatePutBack)
{
    std::string hook = Backend("cvkhook");
    ASSERT_EQ(chown(hook.c_str(), kNobody, kNobody), 0);
    fs::permissions(hook, fs::perms(0755));
    Wrap("ipp", "1");
    fs::create_symlink("ipp", Backend("ipps"));
    WriteBackend(Wrapped("socket"), "1");
    WriteBackend(Backend("socket"), "2");
    WriteBackend(Wrapped("lpd"), "1");

    TestSupport::ProgramResult result = RunVantro();
    EXPECT_EQ(result.status, 0) << result.output;
    struct stat info {};
    ASSERT_EQ(lstat(hook.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 0u);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    for (const char* name : {"ipp", "socket", "lpd"})
        EXPECT_EQ(LinkOf(Backend(name)), "cvkhook") << name << "\n" << result.output;
    EXPECT_EQ(VersionOf(Wrapped("socket")), "2");
    EXPECT_EQ(LinkOf(Wrapped("ipps")), "ipp");
    EXPECT_EQ(VersionOf(Wrapped("ipps")), "1");
    EXPECT_NE(result.output.find("cvkhook: installation in order"), std::string::npos) << result.output;
}

// A wrapped link that leads nowhere (ipps moved without the ipp it points
// to) is made to point at what it pointed to; a backend link that an update
// of its package put back (smb to smbspool) is wrapped again.
TEST_F(InstalledScriptTest, VantroMendsWrappedLinksAndWrapsAgainALinkAnUpdatePutBack)
{
    WriteBackend(Backend("ipp"), "ipp");
    fs::create_symlink("ipp", Wrapped("ipps"));
    fs::create_symlink("cvkhook", Backend("ipps"));
    WriteBackend(mRoot.Host("/usr/bin/smbspool"), "smbspool");
    fs::create_symlink("../../../bin/smbspool", Wrapped("smb"));
    fs::create_symlink("../../../bin/smbspool", Backend("smb"));

    TestSupport::ProgramResult result = RunVantro();
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(LinkOf(Wrapped("ipps")), "../backend/ipp");
    EXPECT_EQ(VersionOf(Wrapped("ipps")), "ipp");
    EXPECT_EQ(LinkOf(Backend("smb")), "cvkhook") << result.output;
    EXPECT_EQ(VersionOf(Wrapped("smb")), "smbspool");
    EXPECT_NE(result.output.find("smb had been put back by an update"), std::string::npos) << result.output;
}

// One command tracks and untracks a scheme, right for each kind of backend:
// a file that cups made (moved), a file and a link that a package ships
// (diverted, a link pointed at what it meant from the hidden folder).
struct TrackCase {
    const char* Name;
    const char* scheme;
    bool shipped;
    const char* wrappedLink;  // what the wrapped backend links to; nullptr for a file
    const char* version;      // what the wrapped backend runs
};

class TrackTest : public InstalledScriptTest, public testing::WithParamInterface<TrackCase> {};

TEST_P(TrackTest, VantroTracksAndUntracksTheScheme)
{
    const TrackCase& c = GetParam();
    WriteBackend(Backend("socket"), "socket");
    WriteBackend(Backend("ipp"), "ipp");
    fs::create_symlink("ipp", Backend("ipps"));
    ShipWithCups({CVK_CUPS_BACKEND_FOLDER "/ipp", CVK_CUPS_BACKEND_FOLDER "/ipps"});
    std::string place = std::string(CVK_CUPS_BACKEND_FOLDER) + "/" + c.scheme;

    TestSupport::ProgramResult tracked = RunVantro({"track", c.scheme});
    EXPECT_EQ(tracked.status, 0) << tracked.output;
    EXPECT_EQ(LinkOf(Backend(c.scheme)), "cvkhook") << tracked.output;
    EXPECT_EQ(LinkOf(Wrapped(c.scheme)), c.wrappedLink ? c.wrappedLink : "not a link");
    EXPECT_EQ(VersionOf(Wrapped(c.scheme)), c.version);
    EXPECT_EQ(Diversions().find(place) != std::string::npos, c.shipped) << Diversions();
    EXPECT_NE(tracked.output.find("cvkhook: installation in order"), std::string::npos) << tracked.output;

    TestSupport::ProgramResult untracked = RunVantro({"untrack", c.scheme});
    EXPECT_EQ(untracked.status, 0) << untracked.output;
    EXPECT_EQ(VersionOf(Backend(c.scheme)), c.version);
    EXPECT_EQ(LinkOf(Backend(c.scheme)), c.wrappedLink ? "ipp" : "not a link");
    EXPECT_TRUE(fs::is_empty(mRoot.Host(CVK_WRAPPED_BACKEND_FOLDER))) << untracked.output;
    EXPECT_EQ(LinkOf(Backend("ipps")), "ipp");
    EXPECT_EQ(Diversions().find(place), std::string::npos) << Diversions();
}

INSTANTIATE_TEST_SUITE_P(Cases, TrackTest,
                         testing::Values(TrackCase{"MadeByCups", "socket", false, nullptr, "socket"},
                                         TrackCase{"ShippedFile", "ipp", true, nullptr, "ipp"},
                                         TrackCase{"ShippedLink", "ipps", true, "../backend/ipp", "ipp"}),
                         TestSupport::CaseName());

// A tracked scheme whose package is removed (dpkg removes the diverted
// backend) stays tracked: the repair reports it, and the package's next
// installation, diverted into the hidden folder, is run again. Untracking
// it, or the uninstaller, clears cvkhook's link and the diversion.
TEST_F(InstalledScriptTest, TrackingSurvivesTheRemovalOfTheBackendsPackage)
{
    const std::string place = CVK_CUPS_BACKEND_FOLDER "/ipp";
    WriteBackend(Backend("ipp"), "ipp");
    ShipWithCups({place});
    ASSERT_EQ(RunVantro({"track", "ipp"}).status, 0);
    fs::remove(Wrapped("ipp"));
    TestSupport::ProgramResult gone = RunVantro();
    EXPECT_EQ(gone.status, 1);
    EXPECT_NE(gone.output.find("ipp is tracked, but its backend is gone"), std::string::npos) << gone.output;
    EXPECT_EQ(LinkOf(Backend("ipp")), "cvkhook");
    WriteBackend(Wrapped("ipp"), "ipp 2");
    TestSupport::ProgramResult back = RunVantro();
    EXPECT_EQ(back.status, 0) << back.output;
    EXPECT_NE(back.output.find("ipp: tracked, cvkhook runs it"), std::string::npos) << back.output;

    fs::remove(Wrapped("ipp"));
    TestSupport::ProgramResult untracked = RunVantro({"untrack", "ipp"});
    EXPECT_EQ(untracked.status, 0) << untracked.output;
    EXPECT_NE(untracked.output.find("ipp: not tracked; its backend is gone"), std::string::npos) << untracked.output;
    EXPECT_FALSE(fs::exists(fs::symlink_status(Backend("ipp"))));
    EXPECT_EQ(Diversions().find(place), std::string::npos) << Diversions();

    fs::create_symlink("cvkhook", Backend("ipp"));
    ASSERT_EQ(Run({"dpkg-divert", "--root=" + mRoot.Path(), "--package", "quorvel", "--no-rename", "--divert",
                   CVK_WRAPPED_BACKEND_FOLDER "/ipp", "--add", place})
                  .status,
              0);
    TestSupport::ProgramResult removed = RunUninstaller();
    EXPECT_EQ(removed.status, 0) << removed.output;
    EXPECT_FALSE(fs::exists(fs::symlink_status(Backend("ipp"))));
    EXPECT_EQ(Diversions().find(place), std::string::npos) << Diversions() << removed.output;
}

// A sound installation is left exactly as it is.
TEST_F(InstalledScriptTest, VantroChangesNothingInASoundInstallation)
{
    Wrap("socket", "1");
    auto listing = [&] {
        std::string text;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(mRoot.Host("/usr")))
            text += entry.path().string() + " " + std::to_string(static_cast<int>(entry.symlink_status().permissions()))
                    + "\n";
        return text;
    };
    std::string before = listing();
    TestSupport::ProgramResult result = RunVantro();
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(listing(), before);
    EXPECT_NE(result.output.find("socket: tracked, cvkhook runs it"), std::string::npos) << result.output;
}

// What the repair cannot mend, it reports, and Vantro fails with it.
struct UnrepairableCase {
    const char* Name;
    std::function<void(const InstalledScriptTest&)> breakIt;
    const char* report;
};

class UnrepairableTest : public InstalledScriptTest, public testing::WithParamInterface<UnrepairableCase> {};

TEST_P(UnrepairableTest, VantroReportsWhatItCannotRepair)
{
    GetParam().breakIt(*this);
    TestSupport::ProgramResult result = RunVantro();
    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_NE(result.output.find("Cannot repair: "), std::string::npos) << result.output;
    EXPECT_NE(result.output.find(GetParam().report), std::string::npos) << result.output;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnrepairableTest,
    testing::Values(
        UnrepairableCase{"HookMissing",
                         [](const InstalledScriptTest& test) { fs::remove(test.Backend("cvkhook")); },
                         "cvkhook is missing or not a regular file; reinstall the package quorvel"},
        UnrepairableCase{"WrappedBackendLeadsBackToTheHook",
                         [](const InstalledScriptTest& test) {
                             fs::create_symlink("cvkhook", test.Backend("ipp"));
                             fs::create_symlink("../backend/ipp", test.Wrapped("ipp"));
                         },
                         "the wrapped backend " },
        UnrepairableCase{"NameLeadsToTheHookWithoutABackend",
                         [](const InstalledScriptTest& test) { fs::create_symlink("cvkhook", test.Backend("beh")); },
                         "beh leads to cvkhook, but no backend of that name is wrapped"},
        UnrepairableCase{"WrappedLinkLeadsNowhere",
                         [](const InstalledScriptTest& test) {
                             fs::create_symlink("cvkhook", test.Backend("ipps"));
                             fs::create_symlink("ipp", test.Wrapped("ipps"));
                         },
                         "resolves to no executable file"},
        UnrepairableCase{"PlaceHoldsAFolder",
                         [](const InstalledScriptTest& test) {
                             test.Wrap("usb", "1");
                             fs::remove(test.Backend("usb"));
                             fs::create_directory(test.Backend("usb"));
                         },
                         "usb is neither cvkhook nor a backend; left as it is"}),
    TestSupport::CaseName());

// The uninstall script puts every wrapped backend back (a link as the link
// it was; a backend that an update put back stays, its older copy goes),
// removes links to cvkhook that wrap nothing and every installed file, and
// keeps the administrator's preferences and the logs.
TEST_F(InstalledScriptTest, TheUninstallScriptPutsTheBackendsBackAndRemovesTheInstallation)
{
    Wrap("ipp", "1");
    fs::create_symlink("ipp", Backend("ipps"));
    fs::create_symlink("ipp", Wrapped("ipps"));
    WriteBackend(Wrapped("lpd"), "1");
    WriteBackend(Backend("lpd"), "2");
    fs::create_symlink("cvkhook", Backend("beh"));
    mRoot.WriteClientPreferences({{"ClientServicesUrl", "https://print.example"}});
    TestSupport::WriteFileText(mRoot.Host("/var/log/quorvel/root_Quorvel.log"), "a line\n");

    TestSupport::ProgramResult result = RunUninstaller();
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(VersionOf(Backend("ipp")), "1");
    EXPECT_EQ(LinkOf(Backend("ipp")), "not a link");
    EXPECT_EQ(LinkOf(Backend("ipps")), "ipp");
    EXPECT_EQ(VersionOf(Backend("lpd")), "2");
    EXPECT_FALSE(fs::exists(fs::symlink_status(Backend("beh")))) << result.output;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(InstallTests::StagingFolder)) {
        std::string path = entry.path().string().substr(std::string(InstallTests::StagingFolder).size());
        if (!entry.is_directory() && !path.starts_with("/etc/quorvel/")) {
            EXPECT_FALSE(fs::exists(fs::symlink_status(mRoot.Host(path)))) << path << "\n" << result.output;
        }
    }
    for (const char* gone : {CVK_WRAPPED_BACKEND_FOLDER, "/var/lib/quorvel", "/usr/lib/quorvel"})
        EXPECT_FALSE(fs::exists(mRoot.Host(gone))) << gone;
    EXPECT_TRUE(fs::exists(mRoot.Host("/etc/quorvel/com.corvane.cvk.client.plist")));
    EXPECT_TRUE(fs::exists(mRoot.Host("/var/log/quorvel/root_Quorvel.log")));
    EXPECT_TRUE(result.output.ends_with("Quorvel has been removed.\n")) << result.output;
}

// A client that runs the installed program is asked to end before the
// installation goes.
TEST_F(InstalledScriptTest, TheUninstallScriptEndsTheRunningClients)
{
    std::string program = mRoot.Host(CVK_CLIENT_BUNDLE) + "/Quorvel Client";
    fs::remove(program);
    fs::copy_file("/bin/sleep", program);
    fs::permissions(program, fs::perms(0755));
    pid_t client = TestSupport::StartProgram({program, "120"});
    ASSERT_GT(client, 0);
    fs::create_directories(mRoot.Host("/proc"));
    fs::create_directory_symlink("/proc/" + std::to_string(client), mRoot.Host("/proc/" + std::to_string(client)));

    TestSupport::ProgramResult result = RunUninstaller();
    EXPECT_EQ(result.status, 0) << result.output;
    int status = 0;
    pid_t ended = 0;
    TestSupport::WaitUntil([&] { return (ended = waitpid(client, &status, WNOHANG)) == client; },
                           std::chrono::seconds(10));
    ASSERT_EQ(ended, client) << result.output;
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_NE(result.output.find("Asked the client process " + std::to_string(client) + " to end"),
              std::string::npos)
        << result.output;
}

// A client that ends just as the script looks at it (its process is listed
// but gone) stops nothing: the backends still go back, without a wait. A
// diverted backend goes back and its diversion is removed.
TEST_F(InstalledScriptTest, TheUninstallScriptGoesOnPastAClientThatJustEnded)
{
    std::string gone = mRoot.Host("/proc/4194305");  // above any process id Linux gives
    fs::create_directories(gone);
    fs::create_symlink(CVK_CLIENT_BUNDLE "/Quorvel Client", gone + "/exe");
    WriteBackend(Backend("ipp"), "1");
    ShipWithCups({CVK_CUPS_BACKEND_FOLDER "/ipp"});
    ASSERT_EQ(RunVantro({"track", "ipp"}).status, 0);
    Wrap("lpd", "1");

    auto started = std::chrono::steady_clock::now();
    TestSupport::ProgramResult result = RunUninstaller({"DPKG_MAINTSCRIPT_PACKAGE=quorvel"});
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(8));
    for (const char* name : {"ipp", "lpd"})
        EXPECT_EQ(VersionOf(Backend(name)), "1") << name << "\n" << result.output;
    EXPECT_EQ(Diversions().find("backend/ipp"), std::string::npos) << Diversions();
    EXPECT_EQ(result.output.find("put back by an update"), std::string::npos) << result.output;
}

// Where dpkg knows the package as installed under the root, the script
// leaves the files to dpkg and says whether dpkg removed the package.
struct DpkgCase {
    const char* Name;
    int dpkgStatus;
    int scriptStatus;
    const char* said;
};

class DpkgRemovalTest : public InstalledScriptTest, public testing::WithParamInterface<DpkgCase> {};

TEST_P(DpkgRemovalTest, TheUninstallScriptHasDpkgRemoveAnInstalledPackage)
{
    std::string standIns = mRoot.Path() + "/stand-in-bin";
    std::string record = mRoot.Path() + "/dpkg.record";
    TestSupport::WriteFileText(standIns + "/dpkg-query", "#!/bin/sh\nprintf installed\n");
    TestSupport::WriteFileText(standIns + "/dpkg", "#!/bin/sh\necho \"$*\" >> '" + record + "'\nexit " +
                                                       std::to_string(GetParam().dpkgStatus) + "\n");
    for (const char* tool : {"/dpkg-query", "/dpkg"})
        fs::permissions(standIns + tool, fs::perms(0755));
    Wrap("ipp", "1");

    TestSupport::ProgramResult result = RunUninstaller({"PATH=" + standIns + ":/usr/sbin:/usr/bin:/sbin:/bin"});
    EXPECT_EQ(result.status, GetParam().scriptStatus) << result.output;
    EXPECT_EQ(TestSupport::ReadFileText(record), "--root=" + mRoot.Path() + " --remove quorvel\n");
    EXPECT_NE(result.output.find(GetParam().said), std::string::npos) << result.output;
    EXPECT_EQ(VersionOf(Backend("ipp")), "1");
    EXPECT_TRUE(InstallationPresent());
}

INSTANTIATE_TEST_SUITE_P(Cases, DpkgRemovalTest,
                         testing::Values(DpkgCase{"Removed", 0, 0, "Removed the package quorvel"},
                                         DpkgCase{"DpkgFails", 2, 1, "dpkg could not remove the package quorvel"}),
                         TestSupport::CaseName());

// Run by the package's own removal, the script puts the backends back and
// leaves the files to dpkg.
TEST_F(InstalledScriptTest, RunByThePackagesRemovalTheScriptLeavesTheFilesToDpkg)
{
    Wrap("ipp", "1");
    TestSupport::ProgramResult result = RunUninstaller({"DPKG_MAINTSCRIPT_PACKAGE=quorvel"});
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(VersionOf(Backend("ipp")), "1");
    EXPECT_TRUE(InstallationPresent());
}

// A backend that cannot be put back keeps the installation in place, so
// that its queue still prints through cvkhook.
TEST_F(InstalledScriptTest, ABackendThatCannotGoBackKeepsTheInstallation)
{
    Wrap("usb", "1");
    fs::remove(Backend("usb"));
    fs::create_directory(Backend("usb"));
    TestSupport::ProgramResult result = RunUninstaller();
    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_NE(result.output.find("the backend usb stays in"), std::string::npos) << result.output;
    EXPECT_EQ(VersionOf(Wrapped("usb")), "1");
    EXPECT_TRUE(InstallationPresent());
    EXPECT_TRUE(fs::exists(Backend("cvkhook")));
}

// The repair reports a cupsd policy that lets job submission through without
// authentication (any user may then name any owner), operation by operation,
// and leaves the choice of authentication to the administrator: the report
// alone never fails the run.
TEST_F(InstalledScriptTest, VantroReportsAPolicyThatLetsAnyUserNameAnyOwner)
{
    const std::string open = "<Limit Create-Job Print-Job Print-URI Validate-Job>\n  Order deny,allow\n</Limit>\n";
    const std::string authenticated =
        "<Limit Create-Job Print-Job Print-URI>\n  AuthType Default\n  Require valid-user\n</Limit>\n";
    const struct {
        const char* what;
        std::string policy;
        const char* report;  // nullptr: none
    } cases[] = {
        {"Debian's default", open, "for: create-job print-job print-uri."},
        {"authenticated", authenticated, nullptr},
        {"Print-URI left open", "<Limit Create-Job Print-Job>\n  Require valid-user\n</Limit>\n", "for: print-uri."},
        {"authentication turned off", "<Limit All>\n  AuthType None\n  Require valid-user\n</Limit>\n",
         "for: create-job print-job print-uri."},
        {"another policy authenticated", "</Policy>\n<Policy strict>\n" + authenticated, nullptr},
    };
    fs::create_directories(mRoot.Host("/etc/cups"));
    for (const auto& c : cases) {
        std::string defaultPolicy = c.policy.starts_with("</Policy>") ? "DefaultPolicy strict\n" : "";
        TestSupport::WriteFileText(mRoot.Host("/etc/cups/cupsd.conf"),
                                   defaultPolicy + "<Policy default>\n" + c.policy + "</Policy>\n");
        TestSupport::ProgramResult result = RunVantro();
        EXPECT_EQ(result.status, 0) << c.what << "\n" << result.output;
        size_t at = result.output.find("lets any user name any owner ");
        EXPECT_EQ(at != std::string::npos, c.report != nullptr) << c.what << "\n" << result.output;
        if (c.report != nullptr && at != std::string::npos) {
            EXPECT_EQ(result.output.compare(at + 29, std::string_view(c.report).size(), c.report), 0)
                << c.what << "\n" << result.output;
        }
    }
}

}  // namespace
