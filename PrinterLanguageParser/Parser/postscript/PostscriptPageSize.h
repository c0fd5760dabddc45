#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace RawPrintData::Postscript {

// Tenths of a millimetre per PostScript point (254 / 72).
inline constexpr double TENTHS_MM_PER_POINT = 3.5277777777777777;

// A length in tenths of a millimetre, truncated toward zero; values from the
// job that do not fit (or are no number) are cut to the range of int32_t.
inline int32_t TruncateToTenthsMm(double tenths)
{
    if (std::isnan(tenths))
        return 0;
    if (tenths >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (tenths <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(tenths);
}

// A length in points as tenths of a millimetre.
inline int32_t PointsToTenthsMm(double points)
{
    return TruncateToTenthsMm(points * TENTHS_MM_PER_POINT);
}

// The extent between two coordinates in points, each converted before the
// difference is taken.
inline int32_t ExtentToTenthsMm(double low, double high)
{
    return TruncateToTenthsMm(high * TENTHS_MM_PER_POINT - low * TENTHS_MM_PER_POINT);
}

}  // namespace RawPrintData::Postscript
