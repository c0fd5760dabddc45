// The client's string tables: texts by key, the key itself for a missing
// entry, and format texts filled once, so that a text from the server is
// never read as a format.
#include "Platform/Qt/LocalizedStrings.h"

#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>

namespace {

using Platform::LocalizedStrings;

TEST(StringTableTest, TextsComeByKeyAndAMissingEntryShowsItsKey)
{
    EXPECT_EQ(LocalizedStrings::Text("OK_Button"), "OK");
    EXPECT_EQ(LocalizedStrings::Text("Quorvel Client", "Branding"), "Quorvel Client");
    EXPECT_EQ(LocalizedStrings::Text("No_Such_Key"), "No_Such_Key");
    EXPECT_EQ(LocalizedStrings::Text("OK_Button", "No_Such_Table"), "OK_Button");
}

TEST(StringTableTest, AnArgumentHoldingFormatCharactersIsShownAsItIs)
{
    EXPECT_EQ(LocalizedStrings::Format("Missing_Format_%1", QStringLiteral("%1 %s %n 100%")),
              "Missing_Format_%1 %s %n 100%");
}

// Every key that the client's code names has an English text.
TEST(StringTableTest, EveryKeyTheClientUsesHasAText)
{
    const std::regex key(R"re("((?:Client|OK|Cancel)_[A-Za-z_]+)")re");
    std::set<std::string> keys;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(CVK_CLIENT_SOURCE_DIR)) {
        if (entry.path().extension() != ".cpp" && entry.path().extension() != ".h")
            continue;
        std::string code = TestSupport::ReadFileText(entry.path().string());
        for (std::sregex_iterator found(code.begin(), code.end(), key), end; found != end; ++found)
            keys.insert((*found)[1].str());
    }
    EXPECT_GT(keys.size(), 25u);
    for (const std::string& name : keys)
        EXPECT_NE(LocalizedStrings::Text(QString::fromStdString(name)).toStdString(), name) << "no text for " << name;
}

}  // namespace
