#pragma once

#include <cstdint>
#include <array>
#include <span>
#include <vector>

namespace RawPrintData::ESCP {

// Where the inks of ESC/P 2 raster land on the page, judged by the colour rule
// (ColourRule.h). Epson drivers send each ink in blocks of its own (ESC i, or
// ESC . after ESC r / ESC ( r), each block a band of rows printed by the
// head's nozzles (ESC ( D's vertical spacing) from the current print
// position, its dots ESC ( D's (or ESC . 's) dot width apart; light inks
// count as their ink. The amounts of cyan, magenta and yellow are compared
// over the rule's ink cells of 2 mm, sliding by 1 mm (amounts are kept by
// quarter cell), placed by the print position (ESC ( v,
// ESC ( V, ESC ( $, ESC $, ESC \, ESC J, line feeds and carriage returns in
// ESC ( U's units), so that grey a driver prints with the three inks is
// neutral whatever the dithering. Inks that are colours of their own (red,
// orange, green, blue, or one of a code not known) count dot by dot; black
// inks and the gloss optimiser are neutral.
//
// Heads whose inks sit one above the other (a bank of nozzles each) print a
// row of paper with each ink in another pass: the data of such an ink lies a
// whole number of its blocks' heights away from where it lands. Each ink's
// data is kept in strips of a quarter of a millimetre by the quarter cells'
// columns, and at the page's end every ink is moved by the whole number of
// block heights (up to mintMAX_BANKS either way) that lays it best over the
// ink with the most dots, before the cells are judged; a strip moved by a
// fraction of a strip lands in the two strips it covers, in their shares. The strips are bounded (mintMAX_STRIP_CELLS
// of them, within mdblMAX_INCHES of the page's corner); past either the page
// cannot be judged and counts as colour.
class InkCoverage {
public:
    static constexpr uint64_t mintMAX_STRIP_CELLS = uint64_t{1} << 19;
    static constexpr double mdblMAX_INCHES = 200;
    static constexpr int mintMAX_BANKS = 3;

    enum class Ink : uint8_t { Neutral, Cyan, Magenta, Yellow, Red, Green, Blue, Other };
    // The ink of an ESC i or ESC ( r colour code: the low four bits are the
    // colour (0 black, 1 magenta, 2 cyan, 4 yellow, 7 red, 8 blue, 9 gloss,
    // 10 orange, 11 green), the high ones its shade (light, dark, matte,
    // photo); 5 and 6 are black inks too.
    static Ink InkOfCode(unsigned int code);
    // The ink ESC r selects: 0 black, 1 magenta, 2 cyan, 3 violet, 4 yellow,
    // 5 red, 6 green (as bytes or digits); other values as InkOfCode.
    static Ink InkOfSelection(unsigned int code);

    // ESC ( U: the units of vertical and horizontal moves, in inches.
    void SetUnits(double vertical, double horizontal);
    double VerticalUnit() const { return mdblVerticalUnit; }
    double HorizontalUnit() const { return mdblHorizontalUnit; }
    // ESC ( D: the spacing of ESC i's rows and the width of its dots.
    void SetRasterResolution(double rowPitch, double dotWidth);
    // ESC +, ESC 3, ESC 0, ESC 2, ESC A: what a line feed moves down.
    void SetLineSpacing(double inches) { mdblLineSpacing = inches; }
    void MoveDown(double inches) { MoveToRow(mdblY + inches); }
    void MoveToRow(double inches);
    void MoveAcross(double inches) { MoveToColumn(mdblX + inches); }
    void MoveToColumn(double inches);
    void LineFeed() { MoveDown(mdblLineSpacing); }
    void CarriageReturn() { mdblX = 0; }
    double Column() const { return mdblX; }
    // ESC @: units, spacing and position as a printer starts.
    void Reset();

    // A block of rows of an ink, bitsPerDot bits a dot (1 or 2); for ESC .
    // its own row spacing and dot width, 0 for ESC i's (ESC ( D). True when
    // its decoded bytes are to be given to Read and ReadRun; false when they
    // tell nothing (a neutral ink, a page already colour) or cannot be
    // judged (then the page counts as colour). The print position moves
    // past the block's dots. A bit image's columns (pinColumns) are given as
    // rows of their pins: a dot covers its pin's pitch, and a single head
    // prints every ink where it is sent (no nozzle banks to align).
    bool BeginBlock(Ink ink, uint32_t bitsPerDot, uint64_t bytesPerRow, uint64_t rows, double rowPitch = 0,
                    double dotWidth = 0, bool pinColumns = false);
    // The block's decoded bytes in order; bytes past its rows are ignored.
    void Read(std::span<const unsigned char> bytes);
    void ReadRun(unsigned char value, uint64_t count);

    // Whether the page has reached the minimal colour area (or could not be
    // judged); EndPage first judges the cells still open.
    bool Colour() const { return mblnColour; }
    bool Unjudged() const { return mblnUnjudged; }
    void NoteUnjudged()
    {
        mblnUnjudged = true;
        mblnColour = true;
    }
    void EndPage();
    // A new page: no ink, the position at its top.
    void NewPage();

private:
    // Cyan, magenta, yellow and inks of a colour of their own.
    static constexpr size_t INKS = 4;
    using Amounts = std::array<float, INKS>;
    void mStartRow();
    void mAddByte(unsigned char value, uint64_t byteInRow);
    void mAddToCell(uint32_t column, float amount);
    void mEndBytes(uint64_t count);
    void mFlushDots();
    std::array<double, 3> mAlignInks() const;

    double mdblVerticalUnit = 1.0 / 360;
    double mdblHorizontalUnit = 1.0 / 360;
    double mdblRowPitch = 1.0 / 360;
    double mdblDotWidth = 1.0 / 360;
    double mdblLineSpacing = 1.0 / 6;
    double mdblX = 0;
    double mdblY = 0;

    // The page's strips, by strip number and column, and how many cells
    // they hold; of cyan, magenta and yellow, the height of their last block
    // in strips.
    std::vector<std::vector<Amounts>> mStrips;
    uint64_t mintStripCells = 0;
    std::array<double, 3> mdblBlockStrips{};
    // The pins' pitch of the last bit image read (0 after raster rows).
    double mdblPinPitch = 0;
    double mdblColourArea = 0;
    bool mblnColour = false;
    bool mblnUnjudged = false;

    // The block being read.
    Ink mInk = Ink::Neutral;
    bool mblnReading = false;
    uint32_t mintBitsPerDot = 1;
    uint64_t mintBytesPerRow = 0;
    uint64_t mintRows = 0;
    uint64_t mintRow = 0;
    uint64_t mintByteInRow = 0;
    double mdblBlockX = 0;
    double mdblBlockPitch = 0;
    double mdblBlockDotWidth = 0;
    // The area of a dot in mm2.
    double mdblDotArea = 0;
    // Of the block: the cell of each byte of a row and how many of its dots
    // fall there (kept for the next block of its geometry), and the
    // components its ink adds to (INKS for none).
    struct ByteTable {
        double mdblX = -1;
        double mdblDotWidth = 0;
        uint32_t mintBits = 0;
        std::vector<uint32_t> mintColumn;
        std::vector<uint8_t> mintInFirst;
    };
    // Drivers alternate a few geometries (passes shifted by a dot): the last
    // mintTABLES tables are kept, the oldest replaced.
    static constexpr size_t mintTABLES = 4;
    std::array<ByteTable, mintTABLES> mTables;
    size_t mintNextTable = 0;
    const ByteTable* mTable = nullptr;
    std::array<uint8_t, 2> mintInkComponents{};
    // The strip of the row being read, and the dots of its rows gathered by
    // cell, in the columns from low up to high.
    std::vector<Amounts>* mRowCells = nullptr;
    int64_t mintDotsStrip = -1;
    std::vector<uint32_t> mintDots;
    uint32_t mintDotsLow = UINT32_MAX;
    uint32_t mintDotsHigh = 0;
};

}  // namespace RawPrintData::ESCP
