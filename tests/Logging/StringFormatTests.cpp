#include "Common/StringFormat.h"

#include <gtest/gtest.h>

namespace {

enum class Letter : char { N = 'N' };

TEST(StringFormat, FormatsEveryArgumentKindTheSystemPasses)
{
    std::string owned = "abc";
    const std::string& ref = owned;
    char array[] = "arr";
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>("u");
    EXPECT_EQ(stringFormat("%s|%s|%s|%s|%s", owned, ref, std::string("tmp"), array, "lit"), "abc|abc|tmp|arr|lit");
    EXPECT_EQ(stringFormat("%d %u %ld %lu %.2f %c", -3, 4u, -5L, 6UL, 1.5, 'x'), "-3 4 -5 6 1.50 x");
    EXPECT_EQ(stringFormat("%c%c", Letter::N, 'B'), "NB");
    EXPECT_EQ(stringFormat("%s", bytes), "u");
    EXPECT_EQ(stringFormat("%d", true), "1");
}

TEST(StringFormat, EdgeCases)
{
    EXPECT_EQ(stringFormat(""), "");
    EXPECT_EQ(stringFormat("100%% plain"), "100% plain");
    // A zero byte formatted with %c stays inside the result.
    std::string withNul = stringFormat("a%cb", 0);
    ASSERT_EQ(withNul.size(), 3u);
    EXPECT_EQ(withNul[1], '\0');
    // %s of a std::string stops at its first NUL character.
    EXPECT_EQ(stringFormat("[%s]", std::string("ab\0cd", 5)), "[ab]");
    // Long results come back whole.
    std::string big(20000, 'q');
    EXPECT_EQ(stringFormat("<%s>", big), "<" + big + ">");
    // A format error gives an empty text, not garbage.
    EXPECT_EQ(stringFormatInternal(std::string("%ls"), L"\xDC80"), "");
}

}  // namespace
