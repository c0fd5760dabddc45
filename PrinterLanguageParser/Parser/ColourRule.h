#pragma once

#include <cstdint>

namespace RawPrintData::ColourRule {

// What makes a page a colour page, for every language and every way of
// drawing: ink of a non-neutral colour reaching the paper over at least
// MINIMUM_COLOUR_AREA_MM2 square millimetres of the page. A colour is neutral
// when its red, green and blue (or cyan, magenta and yellow) values lie within
// NEUTRAL_TOLERANCE of each other on a scale of 0 to 255; black ink added to a
// neutral colour keeps it neutral. A page the data asks to print grey is mono.

inline constexpr int NEUTRAL_TOLERANCE = 8;
inline constexpr double MINIMUM_COLOUR_AREA_MM2 = 1.0;
inline constexpr double MM_PER_INCH = 25.4;

// Whether three components on a scale of 0 to 255 make a neutral colour.
constexpr bool IsNeutral(int a, int b, int c)
{
    const int high = a > b ? (a > c ? a : c) : (b > c ? b : c);
    const int low = a < b ? (a < c ? a : c) : (b < c ? b : c);
    return high - low <= NEUTRAL_TOLERANCE;
}

// How many dots of the given resolution (dots per inch across and down) cover
// the minimal colour area; at least one.
constexpr uint64_t MinimumColourDots(double xDpi, double yDpi)
{
    const double dots = MINIMUM_COLOUR_AREA_MM2 * (xDpi / MM_PER_INCH) * (yDpi / MM_PER_INCH);
    if (!(dots >= 1.0))
        return 1;
    const auto whole = static_cast<uint64_t>(dots);
    return static_cast<double>(whole) < dots ? whole + 1 : whole;
}

}  // namespace RawPrintData::ColourRule
