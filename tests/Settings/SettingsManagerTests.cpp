#include "Common/SettingsManager.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct LoadCase {
    const char* name;
    std::initializer_list<std::pair<std::string, std::string>> preferences;
    bool loads;
    const char* serviceUrl;
    const char* clientDirectory;
    const char* debugLevel;
    const char* errorLine;  // expected in the log, or null
};

TEST(SettingsManager, LoadsAndValidatesThePreferenceDomain)
{
    const LoadCase cases[] = {
        {"complete",
         {{"ClientServicesUrl", "https://srv/"}, {"ClientDirectory", "/opt/q"}, {"DebugLogging", "1"}},
         true, "https://srv/", "/opt/q", "1", nullptr},
        {"white space anywhere is removed",
         {{"ClientServicesUrl", "  https://srv/ api\t"}, {"DebugLogging", "\n0 "}},
         true, "https://srv/api", "/usr/lib/quorvel", "0", nullptr},
        {"missing folder takes the default",
         {{"ClientServicesUrl", "u"}, {"DebugLogging", "1"}},
         true, "u", "/usr/lib/quorvel", "1", nullptr},
        {"blank address",
         {{"ClientServicesUrl", "   "}, {"DebugLogging", "1"}},
         false, "", "", "", "Service URL is not set."},
        {"missing address",
         {{"ClientDirectory", "/opt/q"}, {"DebugLogging", "1"}},
         false, "", "", "", "Unable to load services URL"},
        {"blank folder",
         {{"ClientServicesUrl", "u"}, {"ClientDirectory", " \t"}, {"DebugLogging", "1"}},
         false, "u", "", "", "Service application directory is not set."},
        {"missing debug switch",
         {{"ClientServicesUrl", "u"}},
         false, "u", "/usr/lib/quorvel", "", "Unable to load the debug logging level setting."},
        {"blank debug switch",
         {{"ClientServicesUrl", "u"}, {"DebugLogging", " "}},
         false, "u", "/usr/lib/quorvel", "", "Service debug logging level is not set."},
    };
    for (const LoadCase& c : cases) {
        TestSupport::TempRoot root;
        root.WriteClientPreferences(c.preferences);
        SettingsManager settings;
        EXPECT_EQ(settings.LoadSettings(), c.loads) << c.name;
        EXPECT_EQ(settings.GetServiceUrl(), c.serviceUrl) << c.name;
        EXPECT_EQ(settings.GetClientDirectory(), c.clientDirectory) << c.name;
        EXPECT_EQ(settings.GetDebugLoggingLevel(), c.debugLevel) << c.name;
        std::string log = root.ClientLogText();
        if (c.errorLine != nullptr) {
            EXPECT_NE(log.find(c.errorLine), std::string::npos) << c.name;
            EXPECT_NE(log.find("Unable to load preference values."), std::string::npos) << c.name;
        } else {
            EXPECT_NE(log.find("Preferences loaded successfully."), std::string::npos) << c.name;
        }
    }
}

// A binary property list whose key "D\u00e9<NUL>bug" the platform's reader
// cannot walk past (libplist 2.2 stops the process when asked for that key's
// text), beside a server address and debug switch.
constexpr char kNulKeyPlist[] =
    "bplist00\xd3\x01\x02\x03\x04\x05\x06" "f\x00" "D\x00\xe9\x00\x00\x00" "b\x00u\x00g_\x10\x11" "Cl"
    "ientServicesUrl\x5c" "DebugLoggingQx_\x10\x16https://server.exampleQ1\x08\x0f\x1c" "0=?X\x00\x00"
    "\x00\x00\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x07\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00Z";

// Only the keys read are asked for: a key the reader does not need never
// stops it. A file that is no preference file is read as missing, with an
// error line.
TEST(SettingsManager, PreferenceFilesItCannotUseAreIgnored)
{
    TestSupport::TempRoot root;
    const std::string file = "/com.corvane.cvk.client.plist";
    TestSupport::WriteFileText(root.Folder(Platform::Folder::UserPreferences) + file,
                               std::string_view(kNulKeyPlist, sizeof kNulKeyPlist - 1));
    TestSupport::WriteFileText(root.Folder(Platform::Folder::SystemPreferences) + file, "not a plist \x01\x02");

    SettingsManager settings;
    EXPECT_TRUE(settings.LoadSettings()) << root.ClientLogText();
    EXPECT_EQ(settings.GetServiceUrl(), "https://server.example");
    EXPECT_EQ(settings.GetDebugLoggingLevel(), "1");
    EXPECT_NE(root.ClientLogText().find("Ignoring the preference file " +
                                        root.Folder(Platform::Folder::SystemPreferences) + file +
                                        ": not a property list"),
              std::string::npos)
        << root.ClientLogText();
}

TEST(SettingsManager, NoPreferencesAtAll)
{
    TestSupport::TempRoot root;
    SettingsManager settings;
    EXPECT_FALSE(settings.LoadSettings());
    EXPECT_TRUE(settings.GetServiceUrl().empty());
}

TEST(SettingsManager, DebugLoggingIsOffOnlyForExactlyZero)
{
    const std::pair<const char*, bool> cases[] = {
        {"0", false}, {" 0 ", false}, {"00", true}, {"off", true}, {"1", true}, {"false", true},
    };
    for (const auto& [level, on] : cases) {
        TestSupport::TempRoot root;
        root.WriteClientPreferences({{"ClientServicesUrl", "u"}, {"DebugLogging", level}});
        EXPECT_EQ(SettingsManager().IsDebugLoggingOn(), on) << "\"" << level << "\"";
    }
    // Before anything is loaded the level is empty, which counts as on.
    TestSupport::TempRoot empty;
    EXPECT_TRUE(SettingsManager().IsDebugLoggingOn());
}

struct ValidatorCase {
    std::optional<std::string> value;
    bool valid;
    const char* stored;
};

TEST(SettingsManager, EachValidatorStripsAndChecks)
{
    TestSupport::TempRoot root;
    const ValidatorCase cases[] = {
        {std::nullopt, false, "previous"},
        {std::string(""), false, ""},
        {std::string(" \t\r\n\v\f"), false, ""},
        {std::string(" a b\tc "), true, "abc"},
        {std::string("x"), true, "x"},
    };
    using Setter = bool (SettingsManager::*)(const std::optional<std::string>&);
    using Getter = std::string (SettingsManager::*)() const;
    const std::pair<Setter, Getter> validators[] = {
        {&SettingsManager::SetValidateServicesUrl, &SettingsManager::GetServiceUrl},
        {&SettingsManager::SetValidateApplicationDirectory, &SettingsManager::GetClientDirectory},
        {&SettingsManager::SetValidateDebugLogginLevel, &SettingsManager::GetDebugLoggingLevel},
    };
    for (const auto& [set, get] : validators) {
        for (const ValidatorCase& c : cases) {
            SettingsManager settings;
            (settings.*set)(std::string("previous"));
            EXPECT_EQ((settings.*set)(c.value), c.valid) << c.value.value_or("<missing>");
            EXPECT_EQ((settings.*get)(), c.stored) << c.value.value_or("<missing>");
        }
    }
}

}  // namespace
