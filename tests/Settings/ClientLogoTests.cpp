#include "Core/CVModels/LocalFiles/ClientLogo.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

using CVClientData::ClientLogoResult;
namespace fs = std::filesystem;

// Stands in for the server's logo check: answers with a scripted result and
// records the date it was sent.
class FakeLogoSource : public CVClientData::IClientLogoSource {
public:
    bool succeeds = true;
    ClientLogoResult result = CVClientData::LogoUnchanged;
    std::string image;
    std::string newDate;
    std::vector<std::string> sentDates;

    bool GetClientLogo(ClientLogoResult& out, std::string& data, std::string& date) override
    {
        sentDates.push_back(date);
        if (!succeeds)
            return false;
        out = result;
        if (result == CVClientData::NewLogo) {
            data = image;
            date = newDate;
        }
        return true;
    }
};

class ClientLogoTest : public ::testing::Test {
protected:
    std::string Folder() const { return mRoot.Home(); }
    std::string LogoFile() const { return Folder() + "/logo.bin"; }
    std::string CacheFile() const { return Folder() + "/logo.cache"; }

    TestSupport::TempRoot mRoot;
};

TEST_F(ClientLogoTest, NewLogoIsKeptAndItsDateSentBack)
{
    ClientLogo logo(Folder());
    EXPECT_TRUE(logo.IsStandardLogo());
    EXPECT_FALSE(logo.GetLogoFilePath().has_value());

    FakeLogoSource server;
    server.result = CVClientData::NewLogo;
    server.image = std::string("\x89PNG\0\x01", 6);
    // The date comes from a response header with its blanks.
    server.newDate = " 2024-05-01T10:00:00 \r";
    logo.Update(server);
    ASSERT_EQ(server.sentDates.size(), 1u);
    EXPECT_EQ(server.sentDates[0], "");  // nothing cached yet
    EXPECT_FALSE(logo.IsStandardLogo());
    EXPECT_EQ(logo.GetLogoFilePath(), LogoFile());
    EXPECT_EQ(TestSupport::ReadFileText(LogoFile()), server.image);
    EXPECT_EQ(TestSupport::ReadFileText(CacheFile()), "2024-05-01T10:00:00");

    server.result = CVClientData::LogoUnchanged;
    logo.Update(server);
    EXPECT_EQ(server.sentDates.back(), "2024-05-01T10:00:00");
    EXPECT_FALSE(logo.IsStandardLogo());

    // Without the image the date is not sent, so the server sends the logo again.
    fs::remove(LogoFile());
    logo.Update(server);
    EXPECT_EQ(server.sentDates.back(), "");
}

TEST_F(ClientLogoTest, ResultsSetTheStandardFlag)
{
    struct Case {
        const char* name;
        bool succeeds;
        int result;
        bool standardAfter;
        bool imageKept;
    };
    const Case cases[] = {
        {"standard logo removes the image", true, 0, true, false},
        {"unchanged", true, 1, false, true},
        {"unexpected result falls back", true, 7, true, true},
        {"failed check changes nothing", false, 0, false, true},
    };
    for (const Case& c : cases) {
        ClientLogo logo(Folder());
        FakeLogoSource server;
        server.result = CVClientData::NewLogo;
        server.image = "img";
        server.newDate = "d1";
        logo.Update(server);
        ASSERT_FALSE(logo.IsStandardLogo());

        server.succeeds = c.succeeds;
        server.result = static_cast<ClientLogoResult>(c.result);
        logo.Update(server);
        EXPECT_EQ(logo.IsStandardLogo(), c.standardAfter) << c.name;
        EXPECT_EQ(fs::exists(LogoFile()), c.imageKept) << c.name;
        EXPECT_EQ(server.sentDates.back(), "d1") << c.name;
    }
}

}  // namespace
