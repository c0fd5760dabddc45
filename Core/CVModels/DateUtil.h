#pragma once

#include <ctime>
#include <string>

// Dates on the server interface are OLE Automation dates: days since
// 1899-12-30 00:00 UTC with the time of day as the fraction, written with
// sixteen decimals.
namespace CVClientData::DateUtil {

// Day number of 1970-01-01 counted from 1899-12-30.
inline constexpr long UnixEpochDay = 25569;

// The broken-down time read as UTC (the daylight flag is ignored) as "%.16f".
std::string ConvertStructToCOMString(const std::tm& time);

// The date of an OLE Automation text, broken down as UTC and rounded to the
// nearest second. Text that is not a number gives day 0 (1899-12-30); values
// beyond the OLE range (years 100 to 9999) are clamped to its ends.
std::tm ConvertCOMStringToStruct(const std::string& text);

// Keeps the date and time fields and takes the daylight flag, the offset
// from UTC and the zone name of the current local time.
void FixStructAsItIsReallyLocaltime(std::tm& time);

}  // namespace CVClientData::DateUtil
