#include "Platform/Preferences.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace {

constexpr const char* kDomain = "com.corvane.cvk.client";

TEST(Preferences, UserFileWinsOverSystemFileAndBothFormatsRead)
{
    TestSupport::TempRoot root;
    root.WritePreferences(root.Folder(Platform::Folder::SystemPreferences), kDomain,
                          {{"ClientServicesUrl", "https://system"}, {"DebugLogging", "1"}}, /*binary=*/true);
    root.WritePreferences(root.Folder(Platform::Folder::UserPreferences), kDomain, {{"ClientServicesUrl", "https://user"}});

    auto url = Platform::CopyAppValue("ClientServicesUrl", kDomain);
    EXPECT_TRUE(url.IsText());
    EXPECT_EQ(url.text, "https://user");
    auto debug = Platform::CopyAppValue("DebugLogging", kDomain);
    EXPECT_TRUE(debug.IsText());
    EXPECT_EQ(debug.text, "1");
    EXPECT_TRUE(Platform::CopyAppValue("ClientDirectory", kDomain).IsMissing());
}

TEST(Preferences, NonTextAndBrokenFiles)
{
    TestSupport::TempRoot root;
    TestSupport::WriteFileText(root.Folder(Platform::Folder::SystemPreferences) + "/com.corvane.cvk.client.plist",
                               "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                               "<key>DebugLogging</key><integer>0</integer></dict></plist>");
    auto value = Platform::CopyAppValue("DebugLogging", kDomain);
    EXPECT_EQ(value.kind, Platform::PreferenceValue::Kind::Other);

    TestSupport::WriteFileText(root.Folder(Platform::Folder::SystemPreferences) + "/com.corvane.cvk.client.plist", "not a plist \x01\x02");
    EXPECT_TRUE(Platform::CopyAppValue("DebugLogging", kDomain).IsMissing());
}

// Parsed files are kept between calls: every kind of change on disk must
// still show at the next call.
TEST(Preferences, ChangesOnDiskShowAtTheNextCall)
{
    TestSupport::TempRoot root;
    const std::string system = root.Folder(Platform::Folder::SystemPreferences) + "/com.corvane.cvk.client.plist";
    auto debugText = [] { return Platform::CopyAppValue("DebugLogging", kDomain).text; };
    auto plist = [](const char* debug) {
        return std::string("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>DebugLogging</key><string>")
               + debug + "</string></dict></plist>";
    };

    TestSupport::WriteFileText(system, plist("1"));
    EXPECT_EQ(debugText(), "1");
    EXPECT_EQ(debugText(), "1");

    // Rewritten in place with the same size.
    TestSupport::WriteFileText(system, plist("0"));
    EXPECT_EQ(debugText(), "0");

    // Replaced by another file.
    TestSupport::WriteFileText(system + ".new", plist("2"));
    ASSERT_EQ(std::rename((system + ".new").c_str(), system.c_str()), 0);
    EXPECT_EQ(debugText(), "2");

    // A user file appearing later wins over the system file.
    root.WritePreferences(root.Folder(Platform::Folder::UserPreferences), kDomain, {{"DebugLogging", "user"}});
    EXPECT_EQ(debugText(), "user");

    // A file older than a second is kept parsed; rewritten in place with
    // the same size, it is still read anew.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_EQ(debugText(), "user");
    root.WritePreferences(root.Folder(Platform::Folder::UserPreferences), kDomain, {{"DebugLogging", "resu"}});
    EXPECT_EQ(debugText(), "resu");

    // Both removed.
    std::filesystem::remove(root.Folder(Platform::Folder::UserPreferences) + "/com.corvane.cvk.client.plist");
    std::filesystem::remove(system);
    EXPECT_TRUE(Platform::CopyAppValue("DebugLogging", kDomain).IsMissing());
}

}  // namespace
