#pragma once

#include "PrinterLanguageParser/Parser/ColourRule.h"

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
// and where they part by more than the neutral tolerance the cell puts the
// ink by which they part on the page (a square of plain red puts its whole
// area). Rows of bits (eight dots a byte, the first dot in the high bit)
// come one plane of each ink at a time, each with the weight of its bit in
// the dot's level.
class InkCells {
public:
    // Cells of across dots and down rows; fullDot is the weight of a dot
    // with every bit of its level set. A change judges the cells begun and
    // answers their non-neutral dots, then starts with none.
    uint64_t Configure(uint32_t across, uint32_t down, uint32_t fullDot);
    // Starts the next row of dots: nothing of it is counted yet.
    void BeginRow();
    // Adds one bit plane of each ink to the row begun; a missing byte is blank.
    void AddBits(std::span<const uint8_t> cyan, std::span<const uint8_t> magenta, std::span<const uint8_t> yellow,
                 uint32_t weight);
    // Ends the row, counting it rows times (a row repeated); answers the
    // non-neutral dots of the cells it completes.
    uint64_t EndRow(uint64_t rows = 1);
    // The non-neutral dots of the cells begun and not completed, at a page's
    // end.
    uint64_t OpenCellsColour() const;
    // A new page: no cell begun.
    void Clear();

private:
    struct Balance {
        int64_t mintCyanMagenta = 0;
        int64_t mintCyanYellow = 0;
    };
    uint64_t mJudge(const Balance& cell, uint64_t rows) const;
    void mAddByte(size_t index, uint8_t c, uint8_t m, uint8_t y, uint32_t weight);

    uint32_t mintAcross = 1;
    uint32_t mintDown = 1;
    uint32_t mintFullDot = 1;
    // Rows counted into the open cells.
    uint64_t mintRowsInCells = 0;
    std::vector<Balance> mCells;
    // The cells the open rows touched.
    // (Flags a byte each: set and tested for every cell a row touches.)
    std::vector<uint32_t> mintOpen;
    std::vector<uint8_t> mblnOpen;
    // The row being read, by cell, and the cells it touched.
    std::vector<Balance> mRow;
    std::vector<uint32_t> mintTouched;
    std::vector<uint8_t> mblnTouched;
};

}  // namespace RawPrintData
