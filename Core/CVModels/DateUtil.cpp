#include "Core/CVModels/DateUtil.h"

#include "Common/DecimalText.h"
#include "Common/NumberConversion.h"
#include "CoreLogger/ComponentLog.h"

#include <algorithm>
#include <charconv>
#include <cmath>

using Log = ComponentLog<LogComponents::CoreGeneral>;

namespace CVClientData::DateUtil {
namespace {

constexpr long SecondsPerDay = 86400;
// Seconds from 1899-12-30 to 1970-01-01.
constexpr long long SecondsBeforeUnixEpoch = 2209161600LL;
// OLE Automation's own range: 0100-01-01 to the last second of 9999-12-31.
constexpr double FirstOleDay = -657434.0;
constexpr double LastOleDay = 2958465.0 + 86399.0 / 86400.0;

// The number at the start of a text as strtod reads it in the C locale
// (leading white space and a plus sign allowed, trailing text ignored);
// 0 when the text does not start with a number.
double LeadingNumber(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t\n\v\f\r");
    if (start == std::string::npos)
        return 0.0;
    if (text[start] == '+')
        ++start;
    double value = 0.0;
    auto [end, error] = std::from_chars(text.data() + start, text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range)
        return (start < text.size() && text[start] == '-') ? FirstOleDay : LastOleDay;
    return error == std::errc() ? value : 0.0;
}

// Day 0 of the OLE calendar, 1899-12-30 00:00:00.
std::tm DayZero()
{
    std::tm time{};
    time.tm_year = -1;
    time.tm_mon = 11;
    time.tm_mday = 30;
    time.tm_wday = 6;
    time.tm_yday = 363;
    return time;
}

}  // namespace

std::string ConvertStructToCOMString(const std::tm& time)
{
    std::tm copy = time;
    long long seconds = static_cast<long long>(timegm(&copy));
    long long days = seconds / SecondsPerDay;
    long long rest = seconds - days * SecondsPerDay;
    double value = static_cast<double>(rest) / static_cast<double>(SecondsPerDay)
                   + static_cast<double>(days + UnixEpochDay);
    return FixedDecimalText(value, 16);
}

std::tm ConvertCOMStringToStruct(const std::string& text)
{
    double value = LeadingNumber(text);
    if (std::isnan(value))
        value = 0.0;
    value = std::clamp(value, FirstOleDay, LastOleDay);

    double days = std::floor(value);
    // Rounding (not cutting) the time of day: the text holds the seconds only
    // approximately, often just below the whole second.
    long long seconds = ClampToInteger<long long>(std::round((value - days) * SecondsPerDay));
    time_t unixTime = static_cast<time_t>(ClampToInteger<long long>(days) * SecondsPerDay + seconds
                                          - SecondsBeforeUnixEpoch);
    std::tm result{};
    if (gmtime_r(&unixTime, &result) == nullptr) {
        Log::Error("Unable to convert the date %s.", text);
        return DayZero();
    }
    return result;
}

void FixStructAsItIsReallyLocaltime(std::tm& time)
{
    time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr)
        return;
    time.tm_isdst = local.tm_isdst;
    time.tm_gmtoff = local.tm_gmtoff;
    time.tm_zone = local.tm_zone;
}

}  // namespace CVClientData::DateUtil
