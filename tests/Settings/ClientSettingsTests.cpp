#include "Core/CVModels/ClientSettings.h"
#include "Core/CVModels/IClientSettingsSource.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>

namespace {

using CVClientData::ClientSettings;
using nlohmann::json;

struct DefaultsCase {
    const char* key;
    json fromNewRecord;
    json fromEmptyObject;
};

TEST(ClientSettings, NewRecordDefaultsDifferFromAnEmptyObject)
{
    const DefaultsCase cases[] = {
        {"AuthenticationType", 0, 0},
        {"PINLabel", "", ""},
        {"PINPasswordLabel", "", ""},
        {"AlwaysPopEarly", true, false},
        {"NumberDecimalPlaces", 0, 0},
        {"PercentageModifierOption", 1, 0},
        {"NetworkType", 0, 0},
        {"AlwaysPopSecure", false, false},
        {"DisplayClientTrayIcon", false, false},
        {"SupportThirdPartyJobs", false, false},
        {"DisconnectedJobOption", 3, 0},
        {"DisconnectedJobsOldIn", 0, 0},
        {"DisconnectedJobsMesg", "", ""},
        {"PreAuthenticationRequired", false, false},
    };
    json fresh;
    ClientSettings().ToJson(fresh);
    ClientSettings read;
    read.FromJson(json::object());
    json fromEmpty;
    read.ToJson(fromEmpty);
    ASSERT_EQ(fresh.size(), std::size(cases));
    for (const DefaultsCase& c : cases) {
        EXPECT_EQ(fresh.at(c.key), c.fromNewRecord) << c.key;
        EXPECT_EQ(fromEmpty.at(c.key), c.fromEmptyObject) << c.key;
    }
}

TEST(ClientSettings, AuthenticationKinds)
{
    const std::tuple<int, bool, bool> cases[] = {
        {0, true, false}, {1, true, false}, {2, false, false}, {3, false, false},
        {4, false, true}, {5, false, true}, {6, false, false}, {-1, true, false},
    };
    for (const auto& [type, automatic, network] : cases) {
        ClientSettings settings;
        settings.AuthenticationType = type;
        EXPECT_EQ(settings.IsAutomaticAuthentication(), automatic) << type;
        EXPECT_EQ(settings.IsNetworkAuthentication(), network) << type;
    }
}

TEST(ClientSettings, StoragePathFollowsTheFolder)
{
    EXPECT_EQ(ClientSettings().GetLocalStoragePath(), "");
    EXPECT_EQ(ClientSettings("/home/u/.local/share/quorvel").GetLocalStoragePath(),
              "/home/u/.local/share/quorvel/.cvklocal.set");
}

TEST(ClientSettings, CacheFileRoundTripAndDamage)
{
    TestSupport::TempRoot root;
    std::string folder = root.Home();
    ClientSettings written(folder);
    written.AuthenticationType = 4;
    written.PINLabel = "Badge";
    written.AlwaysPopEarly = false;
    written.DisconnectedJobsMesg = "offline";
    ASSERT_TRUE(written.ToLocalStorageFile());
    struct stat info {};
    ASSERT_EQ(stat((folder + "/.cvklocal.set").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    ClientSettings read(folder);
    ASSERT_TRUE(read.FromLocalStorageFile());
    EXPECT_EQ(read.AuthenticationType, 4);
    EXPECT_EQ(read.PINLabel, "Badge");
    EXPECT_FALSE(read.AlwaysPopEarly);
    EXPECT_EQ(read.DisconnectedJobsMesg, "offline");

    TestSupport::WriteFileText(folder + "/.cvklocal.set", "\xA2garbage");
    ClientSettings damaged(folder);
    damaged.NetworkType = 7;
    EXPECT_FALSE(damaged.FromLocalStorageFile());
    EXPECT_EQ(damaged.NetworkType, 7);
    EXPECT_TRUE(damaged.AlwaysPopEarly);

    std::filesystem::remove(folder + "/.cvklocal.set");
    EXPECT_FALSE(damaged.FromLocalStorageFile());
    EXPECT_EQ(damaged.NetworkType, 7);
}

TEST(ClientSettings, CopyKeepsTheOwnPath)
{
    ClientSettings source("/a");
    source.NetworkType = 3;
    ClientSettings target("/b");
    target.CopySettingsFrom(source);
    EXPECT_EQ(target.NetworkType, 3);
    EXPECT_EQ(target.GetLocalStoragePath(), "/b/.cvklocal.set");
    ClientSettings copy(source);
    EXPECT_EQ(copy.GetLocalStoragePath(), "/a/.cvklocal.set");
}

// Stands in for the server connection, which lives in the web service.
class FakeSettingsSource : public CVClientData::IClientSettingsSource {
public:
    bool reachable = true;
    bool answers = true;
    std::string askedFor;
    int calls = 0;

    bool CanReach() override { return reachable; }
    bool GetClientSettings(const std::string& computerName, ClientSettings& settings) override
    {
        ++calls;
        askedFor = computerName;
        if (!answers)
            return false;
        ClientSettings fromServer;
        fromServer.FromJson(json::parse(R"({"AuthenticationType":2,"NetworkType":1})"));
        settings.CopySettingsFrom(fromServer);
        return true;
    }
};

TEST(ClientSettings, LoadFromNetwork)
{
    TestSupport::TempRoot root;
    std::string cache = root.Home() + "/.cvklocal.set";
    struct Case {
        const char* name;
        bool reachable;
        bool answers;
        bool save;
        bool result;
        int calls;
        bool cached;
    };
    const Case cases[] = {
        {"unreachable", false, true, true, false, 0, false},
        {"refused", true, false, true, false, 1, false},
        {"fetched, not saved", true, true, false, true, 1, false},
        {"fetched and saved", true, true, true, true, 1, true},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(cache);
        FakeSettingsSource source;
        source.reachable = c.reachable;
        source.answers = c.answers;
        ClientSettings settings(root.Home());
        EXPECT_EQ(settings.LoadFromNetwork(source, c.save), c.result) << c.name;
        EXPECT_EQ(source.calls, c.calls) << c.name;
        EXPECT_EQ(std::filesystem::exists(cache), c.cached) << c.name;
        EXPECT_EQ(settings.AuthenticationType, c.result ? 2 : 0) << c.name;
        EXPECT_EQ(settings.GetLocalStoragePath(), cache) << c.name;
        if (c.calls > 0) {
            EXPECT_FALSE(source.askedFor.empty()) << c.name;
            EXPECT_EQ(source.askedFor.find('.'), std::string::npos) << c.name;
        }
    }
}

}  // namespace
