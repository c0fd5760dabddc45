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
// Where a driver dithers cyan, magenta and yellow each on its own, a single
// dot says nothing of the colour printed: the amounts of the three inks are
// compared over square cells of INK_CELL_MM a side instead, sliding by half
// a side so that no mark is split between cells that each see too little of
// it. Inks asked for in balance still part over a cell by the dither's own
// noise, which has two sources, and a cell is colour only when its inks part
// by more than both together, and by more than NEUTRAL_TOLERANCE of a full
// cell (as a pixel's values):
// - each ink is placed on a pattern of its own (screens at their own angles
//   and phases), so a cell holds more of one pattern than of another: up to
//   INK_CELL_DITHER_PERCENT of its strongest ink;
// - the cell's border cuts each ink's pattern, and error diffusion carries
//   at most half a dot per dot across a border: up to half a row of the
//   cell's dots.
// A mark printed with one ink missing parts by the whole of its other inks,
// even a hairline one row of dots high; grey, whatever its amount, parts by
// less. Measured over the grey pages of tests/ParserPcl/data/colour-marks (a
// grey picture, composite grey, grey ramps with black text, through every
// colour PCL driver family): cells of grey part by no more than a quarter of
// their strongest ink in 97 cells of 100, and rarely by more than a third.
inline constexpr double INK_CELL_MM = 2.0;
inline constexpr int INK_CELL_DITHER_PERCENT = 35;

// Whether the inks of an ink cell, dithered one by one, print a colour: their
// amounts in any one unit, spread the most by which two of them part,
// strongest the most of one of them, full the amount of the cell covered
// whole with each ink, and row that of one row of the cell's dots.
constexpr bool InkCellIsColour(double spread, double strongest, double full, double row)
{
    return spread * 255 > full * NEUTRAL_TOLERANCE &&
           spread * 100 > strongest * INK_CELL_DITHER_PERCENT + row * 50;
}

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

// How many dots of the given resolution (dots per inch) make one side of an
// ink cell; at least one.
constexpr uint32_t InkCellDots(double dpi)
{
    const double dots = INK_CELL_MM * dpi / MM_PER_INCH + 0.5;
    return dots < 1.0 ? 1 : dots > 4096.0 ? 4096 : static_cast<uint32_t>(dots);
}

}  // namespace RawPrintData::ColourRule
