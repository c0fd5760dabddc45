#include "Core/WebServiceConnection/CurlTransfer.h"
#include "Core/WebServiceConnection/UrlEscape.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using CVClientData::WebDataService;

const std::string Block = "HTTP/1.1 200 OK\r\n"
                          "Content-Type: application/json\r\n"
                          "X-CV-LogoResult: 5\r\n"
                          "X-CV-LogoChangeDate: 2024-03-01T10:00:00\r\n"
                          "x-cv-logoresult: 7\r\n"
                          "X-Big: 99999999999999999999999\r\n"
                          "X-Negative:-12\r\n"
                          "X-Word: soon\r\n"
                          "X-Empty:\r\n"
                          "\r\n"
                          "X-After-Block: 3\r\n";

struct HeaderCase {
    const char* name;
    std::optional<long> number;        // nullopt: not readable as a number
    std::optional<std::string> text;   // nullopt: absent
};

const HeaderCase HeaderCases[] = {
    {"X-CV-LogoResult", 5L, " 5\r"},           // value untrimmed, the first occurrence wins
    {"X-CV-LOGORESULT", 5L, " 5\r"},           // names compare without regard to case
    {"x-cv-logochangedate", 2024L, " 2024-03-01T10:00:00\r"},
    {"X-Big", std::nullopt, " 99999999999999999999999\r"},
    {"X-Negative", -12L, "-12\r"},
    {"X-Word", std::nullopt, " soon\r"},
    {"X-Empty", std::nullopt, "\r"},
    {"X-After-Block", std::nullopt, std::nullopt},  // beyond the blank line
    {"X-Missing", std::nullopt, std::nullopt},
};

TEST(ResponseHeaders, ValuesAreFoundWithoutRegardToCaseAndNumbersNeverThrow)
{
    TestSupport::TempRoot root;
    for (const HeaderCase& entry : HeaderCases) {
        SCOPED_TRACE(entry.name);
        std::string text;
        EXPECT_EQ(WebDataService::GetHeaderValue(entry.name, Block, text), entry.text.has_value());
        if (entry.text) {
            EXPECT_EQ(text, *entry.text);
        }
        long number = -999;
        bool found = false;
        EXPECT_NO_THROW(found = WebDataService::GetHeaderValue(entry.name, Block, number));
        EXPECT_EQ(found, entry.number.has_value());
        if (entry.number) {
            EXPECT_EQ(number, *entry.number);
        }
    }
    std::string text;
    EXPECT_FALSE(WebDataService::GetHeaderValue("X-CV-LogoResult", "", text));
}

TEST(ResponseHeaders, MapSkipsLinesWithoutColonAndStopsAtTheTerminator)
{
    CVClientData::HeaderMap map;
    WebDataService::ConvertToMap("first line\nA: 1\nno colon here\nb:2:3\nEND\nC: 4\n", map, "END");
    ASSERT_EQ(map.size(), 2u);
    EXPECT_EQ(map.at("a"), " 1");
    EXPECT_EQ(map.at("B"), "2:3");
}

TEST(UrlEscape, EscapesAllButUnreservedCharacters)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain-Text_1.2~", "plain-Text_1.2~"},
        {"a b", "a%20b"},
        {"a&b=c+d%e", "a%26b%3Dc%2Bd%25e"},
        {"\"quoted\"/?#", "%22quoted%22%2F%3F%23"},
        {"\xC3\xBC\r\n", "%C3%BC%0D%0A"},
        {"", ""},
    };
    for (const auto& [text, escaped] : cases)
        EXPECT_EQ(CVClientData::UrlEscape(text), escaped) << text;
}

TEST(WriteCallback, AppendsAndRefusesWhatCannotBeHeld)
{
    TestSupport::TempRoot root;
    CVClientData::ResponseBlock block;
    char data[] = {'a', '\0', 'b'};
    EXPECT_EQ(WebDataService::WriteCurlMemoryCallback(data, 1, 3, &block), 3u);
    EXPECT_EQ(WebDataService::WriteCurlMemoryCallback(data, 3, 1, &block), 3u);
    EXPECT_EQ(block.mstrData, std::string("a\0ba\0b", 6));
    // Beyond the block's limit and a product that overflows: nothing taken.
    EXPECT_EQ(WebDataService::WriteCurlMemoryCallback(data, 1, CVClientData::ResponseBlock::MaximumSize, &block), 0u);
    EXPECT_EQ(WebDataService::WriteCurlMemoryCallback(data, SIZE_MAX / 2, 3, &block), 0u);
    EXPECT_EQ(block.mstrData.size(), 6u);
}

}  // namespace
