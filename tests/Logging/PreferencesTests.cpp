#include "Platform/Preferences.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kDomain = "com.corvane.cvk.client";

TEST(Preferences, UserFileWinsOverSystemFileAndBothFormatsRead)
{
    TestSupport::TempRoot root;
    root.WritePreferences(root.Host("/Library/Preferences"), kDomain,
                          {{"ClientServicesUrl", "https://system"}, {"DebugLogging", "1"}}, /*binary=*/true);
    root.WritePreferences(root.Home() + "/Library/Preferences", kDomain, {{"ClientServicesUrl", "https://user"}});

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
    TestSupport::WriteFileText(root.Host("/Library/Preferences/com.corvane.cvk.client.plist"),
                               "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                               "<key>DebugLogging</key><integer>0</integer></dict></plist>");
    auto value = Platform::CopyAppValue("DebugLogging", kDomain);
    EXPECT_EQ(value.kind, Platform::PreferenceValue::Kind::Other);

    TestSupport::WriteFileText(root.Host("/Library/Preferences/com.corvane.cvk.client.plist"), "not a plist \x01\x02");
    EXPECT_TRUE(Platform::CopyAppValue("DebugLogging", kDomain).IsMissing());
}

}  // namespace
