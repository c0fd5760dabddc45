#include "Core/CVModels/DateUtil.h"
#include "Core/CVModels/SerializableModel.h"
#include "tests/Support/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace {

using namespace CVClientData::DateUtil;

std::tm MakeTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

// "YYYY-MM-DD hh:mm:ss" of a broken-down time.
std::string Text(const std::tm& time)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", time.tm_year + 1900, time.tm_mon + 1,
                  time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
    return buffer;
}

struct ToTextCase {
    std::tm time;
    const char* text;
};

// Dates travel with a decimal point whatever locale the client's windows set.
TEST(DateUtil, BrokenDownTimeToOleText)
{
    const ToTextCase cases[] = {
        {MakeTime(1970, 1, 1, 0, 0, 0), "25569.0000000000000000"},
        {MakeTime(2023, 3, 15, 12, 0, 0), "45000.5000000000000000"},
        {MakeTime(1899, 12, 30, 0, 0, 0), "0.0000000000000000"},
        {MakeTime(2023, 3, 15, 6, 0, 0), "45000.2500000000000000"},
        // A new job's date has every field 0: day 0 of January 1900 is
        // 1899-12-31, one day after the OLE epoch.
        {std::tm{}, "1.0000000000000000"},
    };
    TestSupport::InEveryNumericLocale([&] {
        for (const ToTextCase& c : cases)
            EXPECT_EQ(ConvertStructToCOMString(c.time), c.text) << Text(c.time);
    });
}

TEST(DateUtil, OleTextToBrokenDownTime)
{
    const std::pair<const char*, const char*> cases[] = {
        {"45000.5000000000000000", "2023-03-15 12:00:00"},
        {"45000.5", "2023-03-15 12:00:00"},
        {"25569", "1970-01-01 00:00:00"},
        {"1.0000000000000000", "1899-12-31 00:00:00"},
        {"  +45000.25 trailing text", "2023-03-15 06:00:00"},
        // Just below a whole second, as sixteen decimals often are.
        {"45000.0000115740740000", "2023-03-15 00:00:01"},
        // The last moment of a day rounds into the next day.
        {"45000.9999999999", "2023-03-16 00:00:00"},
        {"", "1899-12-30 00:00:00"},
        {"not a date", "1899-12-30 00:00:00"},
        {"nan", "1899-12-30 00:00:00"},
        {"1e308", "9999-12-31 23:59:59"},
        {"1e999", "9999-12-31 23:59:59"},
        {"inf", "9999-12-31 23:59:59"},
        {"-1e308", "0100-01-01 00:00:00"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Text(ConvertCOMStringToStruct(text)), expected) << "text: " << text;
}

TEST(DateUtil, EverySecondSurvivesTheRoundTrip)
{
    // Seconds spread over a day in a leap year, and the epochs themselves.
    for (int second = 0; second < 86400; second += 7) {
        std::tm time = MakeTime(2024, 2, 29, second / 3600, second / 60 % 60, second % 60);
        std::tm back = ConvertCOMStringToStruct(ConvertStructToCOMString(time));
        ASSERT_EQ(Text(back), Text(time));
    }
    for (const std::tm& time : {MakeTime(1970, 1, 1, 0, 0, 0), MakeTime(1899, 12, 30, 23, 59, 59),
                                MakeTime(1850, 6, 1, 1, 2, 3), MakeTime(9999, 12, 31, 23, 59, 59)})
        EXPECT_EQ(Text(ConvertCOMStringToStruct(ConvertStructToCOMString(time))), Text(time));
}

TEST(DateUtil, DaylightFlagIsIgnoredOnTheWayOut)
{
    std::tm summer = MakeTime(2023, 7, 1, 10, 0, 0);
    std::tm flagged = summer;
    flagged.tm_isdst = 1;
    EXPECT_EQ(ConvertStructToCOMString(flagged), ConvertStructToCOMString(summer));
}

TEST(DateUtil, LocalTimeFixKeepsTheFields)
{
    std::tm time = MakeTime(2023, 3, 15, 12, 34, 56);
    FixStructAsItIsReallyLocaltime(time);
    EXPECT_EQ(Text(time), "2023-03-15 12:34:56");
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    EXPECT_EQ(time.tm_gmtoff, local.tm_gmtoff);
    EXPECT_EQ(time.tm_isdst, local.tm_isdst);
}

struct DateProbe : CVClientData::SerializableModel {
    void ToJson(nlohmann::json&) const override {}
    void FromJson(const nlohmann::json&) override {}
    using SerializableModel::SafeJsonToDateTime;
};

TEST(DateUtil, JsonReaderTakesTextOrNumber)
{
    const std::pair<const char*, const char*> cases[] = {
        {R"({"d":"45000.5000000000000000"})", "2023-03-15 12:00:00"},
        {R"({"d":45000.5})", "2023-03-15 12:00:00"},
        {R"({"d":45000})", "2023-03-15 00:00:00"},
        {R"({"d":""})", "1899-12-30 00:00:00"},
        {R"({"d":true})", "1899-12-30 00:00:00"},
        {R"({})", "1899-12-30 00:00:00"},
    };
    TestSupport::InEveryNumericLocale([&] {
        for (const auto& [document, expected] : cases)
            EXPECT_EQ(Text(DateProbe::SafeJsonToDateTime(nlohmann::json::parse(document), "d")), expected)
                << document;
    });
}

}  // namespace
