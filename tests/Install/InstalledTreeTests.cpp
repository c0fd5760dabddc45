// The installed tree as `cmake --install` stages it for the package: every
// file at its path with its mode, nothing else, nothing that points back
// into the build, and the installed files agreeing with the programs that
// read them.
#include "Platform/ApplicationBundle.h"
#include "Platform/RootOwnedFile.h"
#include "Uninstaller/AppDelegate.h"
#include "Common/SettingsManager.h"
#include "tests/Install/StagedInstallation.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;

// One entry of the tree: "d 0755" for a folder, "f 0700" for a file,
// "l -> target" for a symbolic link.
using Tree = std::map<std::string, std::string>;

std::string Mode(fs::perms perms)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(perms) & 07777);
    return text;
}

Tree ListTree(const std::string& top)
{
    Tree tree;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(top)) {
        std::string path = entry.path().string().substr(top.size());
        fs::file_status status = entry.symlink_status();
        if (fs::is_symlink(status))
            tree[path] = "l -> " + fs::read_symlink(entry.path()).string();
        else
            tree[path] = std::string(fs::is_directory(status) ? "d " : "f ") + Mode(status.permissions());
    }
    return tree;
}

const Tree kInstalledTree = {
    {"/etc", "d 0755"},
    {"/etc/quorvel", "d 0755"},
    {"/etc/quorvel/com.corvane.cvk.client.plist", "f 0644"},
    {"/usr", "d 0755"},
    {"/usr/lib", "d 0755"},
    {"/usr/lib/cups", "d 0755"},
    {"/usr/lib/cups/.cvkbackend", "d 0755"},
    {"/usr/lib/cups/backend", "d 0755"},
    {"/usr/lib/cups/backend/cvkhook", "f 0700"},
    {"/usr/lib/quorvel", "d 0755"},
    {"/usr/lib/quorvel/Contents", "d 0755"},
    {"/usr/lib/quorvel/Contents/Info.plist", "f 0644"},
    {"/usr/lib/quorvel/Contents/Quorvel Client.app", "d 0755"},
    {"/usr/lib/quorvel/Contents/Quorvel Client.app/Contents", "d 0755"},
    {"/usr/lib/quorvel/Contents/Quorvel Client.app/Contents/Info.plist", "f 0644"},
    {"/usr/lib/quorvel/Contents/Quorvel Client.app/Contents/MacOS", "d 0755"},
    {"/usr/lib/quorvel/Contents/Quorvel Client.app/Contents/MacOS/Quorvel Client", "f 0755"},
    {"/usr/lib/quorvel/Contents/Resources", "d 0755"},
    {"/usr/lib/quorvel/Contents/Resources/uninstaller.sh", "f 0755"},
    {"/usr/lib/quorvel/Corvane Velk", "d 0755"},
    {"/usr/lib/quorvel/Corvane Velk/Corvane Velk Repair Utility.app", "d 0755"},
    {"/usr/lib/quorvel/Corvane Velk/Corvane Velk Repair Utility.app/Contents", "d 0755"},
    {"/usr/lib/quorvel/Corvane Velk/Corvane Velk Repair Utility.app/Contents/Resources", "d 0755"},
    {"/usr/lib/quorvel/Corvane Velk/Corvane Velk Repair Utility.app/Contents/Resources/hook.sh", "f 0755"},
    {"/usr/lib/quorvel/Quorvel Client", "f 0755"},
    {"/usr/lib/quorvel/Uninstall", "f 0755"},
    {"/usr/lib/quorvel/cvkhook-pdf.so", "f 0644"},
    {"/usr/lib/systemd", "d 0755"},
    {"/usr/lib/systemd/user", "d 0755"},
    {"/usr/lib/systemd/user/quorvel-client.service", "f 0644"},
    {"/usr/sbin", "d 0755"},
    {"/usr/sbin/Vantro", "f 0755"},
    {"/usr/share", "d 0755"},
    {"/usr/share/doc", "d 0755"},
    {"/usr/share/doc/quorvel", "d 0755"},
    {"/usr/share/doc/quorvel/changelog.Debian.gz", "f 0644"},
    {"/usr/share/doc/quorvel/copyright", "f 0644"},
    {"/usr/share/lintian", "d 0755"},
    {"/usr/share/lintian/overrides", "d 0755"},
    {"/usr/share/lintian/overrides/quorvel", "f 0644"},
    {"/usr/share/man", "d 0755"},
    {"/usr/share/man/man8", "d 0755"},
    {"/usr/share/man/man8/Vantro.8.gz", "f 0644"},
    {"/usr/share/polkit-1", "d 0755"},
    {"/usr/share/polkit-1/actions", "d 0755"},
    {"/usr/share/polkit-1/actions/com.corvane.quorvel.uninstall.policy", "f 0644"},
    {"/var", "d 0755"},
    {"/var/lib", "d 0755"},
    {"/var/lib/quorvel", "d 0755"},
    {"/var/log", "d 0755"},
    {"/var/log/quorvel", "d 0755"},
};

bool IsProgram(const std::string& path)
{
    return TestSupport::ReadFileText(path).starts_with("\x7f" "ELF");
}

// Every file at its path with its mode, and nothing more: nothing from the
// build or test folders, nothing in the other platform's folders.
TEST(InstalledTreeTest, TheInstallationHoldsExactlyItsFilesWithTheirModes)
{
    Tree tree = ListTree(InstallTests::StagingFolder);
    for (const auto& [path, what] : tree)
        EXPECT_FALSE(path.starts_with("/Library") || path.starts_with("/Applications")) << path;
    EXPECT_EQ(tree, kInstalledTree);
}

// What the installation's files name lies in the installation: no text
// names the build or source folder, and no program looks for libraries in
// the build.
TEST(InstalledTreeTest, NothingPointsBackIntoTheBuild)
{
    for (const auto& [path, what] : ListTree(InstallTests::StagingFolder)) {
        std::string file = std::string(InstallTests::StagingFolder) + path;
        if (!what.starts_with("f "))
            continue;
        if (IsProgram(file)) {
            TestSupport::ProgramResult dynamic = TestSupport::RunProgram({"readelf", "--dynamic", file});
            ASSERT_EQ(dynamic.status, 0) << dynamic.output;
            EXPECT_EQ(dynamic.output.find("PATH)"), std::string::npos) << path << ":\n" << dynamic.output;
        } else {
            std::string text = TestSupport::ReadFileText(file);
            EXPECT_EQ(text.find(CVK_BUILD_FOLDER), std::string::npos) << path;
            EXPECT_EQ(text.find(CVK_SOURCE_FOLDER), std::string::npos) << path;
        }
    }
}

// The installed files say what the programs look for: the unit runs the
// client in its bundle and is wanted by the graphical session (once the
// package enables it); the client's bundle is an agent and its copy with an
// icon, the same program, is not; the system preferences hold every key the
// programs require but the server's address; the uninstall script lies
// where Uninstall looks for it, as a file it trusts to run as root.
TEST(InstalledTreeTest, TheInstalledFilesAgreeWithThePrograms)
{
    const std::string staging = InstallTests::StagingFolder;
    std::string client = InstallTests::ProgramOfClientUnit(staging);
    EXPECT_EQ(fs::path(client).parent_path(), CVK_CLIENT_BUNDLE);
    EXPECT_TRUE(IsProgram(staging + client)) << client;
    std::string unit = TestSupport::ReadFileText(staging + CVK_CLIENT_UNIT_FILE);
    EXPECT_NE(unit.find("\nWantedBy=graphical-session.target\n"), std::string::npos) << unit;

    EXPECT_EQ(Platform::ApplicationBundle::BoolValue(staging + CVK_CLIENT_BUNDLE, "LSUIElement"), true);
    EXPECT_EQ(Platform::ApplicationBundle::BoolValue(staging + CVK_ICON_COPY_BUNDLE, "LSUIElement"), std::nullopt);
    EXPECT_TRUE(fs::equivalent(staging + CVK_CLIENT_BUNDLE + "/Quorvel Client",
                               staging + CVK_ICON_COPY_BUNDLE + "/Contents/MacOS/Quorvel Client"));

    TestSupport::TempRoot root;
    ASSERT_EQ(InstallTests::PutInstallationUnder(root.Path()), "");
    EXPECT_EQ(AppDelegate::uninstallerScriptPath(), root.Host(CVK_UNINSTALL_SCRIPT));
    EXPECT_EQ(Platform::WhyNotRootOwned(AppDelegate::uninstallerScriptPath()), "");

    const std::string preferences = root.Host("/etc/quorvel/com.corvane.cvk.client.plist");
    std::string text = TestSupport::ReadFileText(staging + "/etc/quorvel/com.corvane.cvk.client.plist");
    TestSupport::WriteFileText(preferences, text);
    EXPECT_FALSE(SettingsManager().LoadSettings());
    const std::string emptyAddress = "<key>ClientServicesUrl</key>\n\t<string></string>";
    ASSERT_NE(text.find(emptyAddress), std::string::npos) << text;
    text.replace(text.find(emptyAddress), emptyAddress.size(),
                 "<key>ClientServicesUrl</key>\n\t<string>https://print.example</string>");
    TestSupport::WriteFileText(preferences, text);
    SettingsManager filled;
    EXPECT_TRUE(filled.LoadSettings());
    EXPECT_FALSE(filled.IsDebugLoggingOn());
}

}  // namespace
