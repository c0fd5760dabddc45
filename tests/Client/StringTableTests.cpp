// The client's string tables: texts by key, the key itself for a missing
// entry, and format texts filled once, so that a text from the server is
// never read as a format.
#include "Platform/Qt/LocalizedStrings.h"

#include <gtest/gtest.h>

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

}  // namespace
