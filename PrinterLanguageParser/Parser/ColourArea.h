#pragma once

#include "PrinterLanguageParser/Parser/ColourRule.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace RawPrintData {

// The non-neutral area of one page, from dots counted at the resolution of
// the data that drew them, against the colour rule's minimal area.
class ColourArea {
public:
    // The resolution of the dots counted from now on, in dots per inch
    // across and down; values below 1 are taken as 1.
    void SetResolution(double xDpi, double yDpi);
    void AddDots(uint64_t dots) { mintDots += dots; }
    // Whether the page has reached the minimal colour area.
    bool Reached() const { return mintDots >= mintDotsNeeded; }
    // A new page, at the same resolution.
    void Clear()
    {
        mintDots = 0;
        mintDotsNeeded = mintMinimumDots;
    }

private:
    double mdblXDpi = 75;
    double mdblYDpi = 75;
    // Dots counted at the current resolution, and the count that makes the
    // minimal area with what was counted at other resolutions.
    uint64_t mintDots = 0;
    uint64_t mintDotsNeeded = ColourRule::MinimumColourDots(75, 75);
    // The minimal area in dots of the current resolution.
    uint64_t mintMinimumDots = ColourRule::MinimumColourDots(75, 75);
};

// Cyan, magenta and yellow dithered each on its own, judged over the colour
// rule's ink cells: the amounts of the three inks over a cell are compared,
// and where they part by more than the rule allows the ink by which they part
// is colour (a square of plain red puts its whole area). So that a
// small mark is not split between cells that each see too little of it, the
// cells slide by half their side: the dots are counted in quarter cells, every
// two by two of them is judged, and a quarter cell of any cell found colour
// puts its own parted ink on the page, once. Rows of bits (eight dots a byte,
// the first dot in the high bit) come one plane of each ink at a time, each
// with the weight of its bit in the dot's level.
class InkCells {
public:
    // Cells of across dots and down rows; fullDot is the weight of a dot
    // with every bit of its level set. A change judges the cells begun and
    // answers their non-neutral dots, then starts with none.
    uint64_t Configure(uint32_t across, uint32_t down, uint32_t fullDot);
    // Starts the next row of dots: nothing of it is counted yet. Answers the
    // non-neutral dots of the cells that the repeats of the row before
    // complete.
    uint64_t BeginRow();
    // Adds one bit plane of each ink to the row begun; a missing byte is
    // blank. Planes of light (red, green and blue) put their ink where their
    // bits are clear, up to where each ends.
    void AddBits(std::span<const uint8_t> cyan, std::span<const uint8_t> magenta, std::span<const uint8_t> yellow,
                 uint32_t weight, bool light = false);
    // Ends the row, counting it rows times (a row repeated); answers the
    // non-neutral dots of the cells it completes. Once the page has that
    // much colour, or once its cells repeat band by band, further rows
    // change nothing: a count of any size takes no longer than that.
    uint64_t EndRow(uint64_t rows = 1);
    // The row ended is repeated so many times more: counted with the next
    // row begun, at the page's end, or once they make two bands (drivers
    // repeat rows by the hundred, a few bytes each); answers the non-neutral
    // dots of the cells completed then.
    uint64_t RepeatRow(uint64_t rows = 1)
    {
        mintRepeats += rows;
        return mintRepeats >= uint64_t{mintDown} * 2 ? mCountRepeats() : 0;
    }
    // Rows without ink after the row ended; answers the non-neutral dots of
    // the cells they complete. Past two bands of them nothing is left open,
    // so that a count of any size takes no longer than that; the rows after
    // them still fall in the bands of their place on the page.
    uint64_t BlankRows(uint64_t rows)
    {
        const uint64_t band = mintDown;
        if (rows > band * 3)
            rows = band * 2 + rows % band;
        if (mintTouched.empty())
            return RepeatRow(rows);  // the row ended was blank too
        const uint64_t repeated = BeginRow();
        return repeated + EndRow(rows);
    }
    // The non-neutral dots of the cells the rows repeated complete, and of
    // those begun and not completed, at a page's end.
    uint64_t OpenCellsColour();
    // A new page: no cell begun.
    void Clear();
    // The non-neutral dots that make a page colour: once the cells judged
    // together hold that much, the others are not judged (what is found is
    // counted all the same).
    void SetEnough(uint64_t dots) { mintEnough = dots; }

private:
    // A cell's cyan, and how much more cyan it has than magenta and yellow.
    struct Balance {
        int64_t mintCyan = 0;
        int64_t mintCyanMagenta = 0;
        int64_t mintCyanYellow = 0;
        void Add(const Balance& other, int64_t times)
        {
            mintCyan += other.mintCyan * times;
            mintCyanMagenta += other.mintCyanMagenta * times;
            mintCyanYellow += other.mintCyanYellow * times;
        }
    };
    // A band of quarter cells, one per column, the columns some row touched,
    // and which of them lie in a cell judged colour.
    struct Band {
        std::vector<Balance> mCells;
        std::vector<uint32_t> mintOpen;
        // (Flags a byte each: set and tested for every cell a row touches.)
        std::vector<uint8_t> mblnOpen;
        std::vector<uint8_t> mblnColour;
        // The quarters' own spreads, while the band is judged.
        std::vector<uint64_t> mintSpread;
        uint64_t mintRows = 0;
    };
    // Counts the repeats of the row ended.
    uint64_t mCountRepeats()
    {
        const uint64_t repeats = mintRepeats;
        mintRepeats = 0;
        return repeats > 0 ? EndRow(repeats) : 0;
    }
    static uint64_t mSpread(const Balance& cell);
    bool mIsColour(const Balance& cell) const;
    // Judges the cells made of two bands (upper may be empty), marking the
    // quarter cells of those found colour.
    void mJudgeCells(Band& upper, Band& lower) const;
    // The parted ink of a band's quarter cells marked colour, in dots.
    uint64_t mColourOf(const Band& band);
    static void mEmpty(Band& band);
    void mAddByte(size_t index, uint8_t c, uint8_t m, uint8_t y, uint32_t weight);
    void mAddDots(uint64_t cell, uint8_t c, uint8_t m, uint8_t y, uint32_t weight);

    uint32_t mintCellAcross = 1;
    uint32_t mintCellDown = 1;
    // The quarter cell, in dots across and rows down.
    uint32_t mintAcross = 1;
    uint32_t mintDown = 1;
    uint32_t mintFullDot = 1;
    uint64_t mintLeastSpread = 0;
    uint64_t mintEnough = UINT64_MAX;
    // The band being counted and the one above it, judged together; copies
    // of both judged at a page's end.
    Band mBand;
    Band mAbove;
    Band mOpenBand;
    Band mOpenAbove;
    // Rows that repeat the row ended, not yet counted.
    uint64_t mintRepeats = 0;
    // Parted ink counted short of a whole dot (in a dot's levels).
    uint64_t mintColourLeft = 0;
    // Whether the band last counted had any cell found colour.
    bool mblnBandParted = false;
    // The row being read, by quarter cell, and the quarter cells it touched.
    std::vector<Balance> mRow;
    std::vector<uint32_t> mintTouched;
    std::vector<uint8_t> mblnTouched;
};

}  // namespace RawPrintData
