#include "PrinterLanguageParser/Parser/escp/InkCoverage.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace RawPrintData::ESCP {

namespace {

constexpr double CELL_INCHES = ColourRule::INK_CELL_MM / ColourRule::MM_PER_INCH;
constexpr double MM2_PER_SQUARE_INCH = ColourRule::MM_PER_INCH * ColourRule::MM_PER_INCH;
// The cells slide by half a side: amounts are kept by quarter cell, a
// quarter of a cell's area each.
constexpr double QUARTER_INCHES = CELL_INCHES / 2;
constexpr uint64_t MAX_COLUMNS = static_cast<uint64_t>(InkCoverage::mdblMAX_INCHES / QUARTER_INCHES) + 1;
// Strips of a quarter of a millimetre, four to a quarter cell.
constexpr int64_t STRIPS_PER_QUARTER = 4;
constexpr double STRIP_INCHES = QUARTER_INCHES / STRIPS_PER_QUARTER;

// The dots of a byte, of one bit or two bits a dot: a dot of any size covers
// its place on the grid of the data's resolution.
constexpr std::array<std::array<uint8_t, 256>, 2> DOTS_IN_BYTE = [] {
    std::array<std::array<uint8_t, 256>, 2> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        for (unsigned bit = 0; bit < 8; ++bit)
            table[0][byte] += (byte >> bit) & 1;
        for (unsigned dot = 0; dot < 4; ++dot)
            table[1][byte] += ((byte >> (2 * dot)) & 3) != 0 ? 1 : 0;
    }
    return table;
}();

// A position in inches as a cell (or strip) number; -1 when it lies off the
// page.
int64_t CellOf(double inches, double size = QUARTER_INCHES)
{
    if (!(inches >= 0) || inches >= InkCoverage::mdblMAX_INCHES)
        return -1;
    return static_cast<int64_t>(inches / size);
}

// The components of the cells: cyan, magenta, yellow and inks of a colour
// of their own.
constexpr uint8_t CYAN = 0, MAGENTA = 1, YELLOW = 2, OTHER = 3;
// A byte whose dots fall in more than two cells.
constexpr uint8_t SPREAD = 0xFF;

}  // namespace

InkCoverage::Ink InkCoverage::InkOfCode(unsigned int code)
{
    switch (code & 0x0F) {
    case 0:
    case 5:
    case 6:
    case 9:
        return Ink::Neutral;
    case 1:
        return Ink::Magenta;
    case 2:
        return Ink::Cyan;
    case 4:
        return Ink::Yellow;
    case 7:
    case 10:
        return Ink::Red;
    case 8:
        return Ink::Blue;
    case 11:
        return Ink::Green;
    default:
        return Ink::Other;
    }
}

InkCoverage::Ink InkCoverage::InkOfSelection(unsigned int code)
{
    static constexpr std::array<Ink, 7> SELECTED = {Ink::Neutral, Ink::Magenta, Ink::Cyan, Ink::Blue,
                                                     Ink::Yellow,  Ink::Red,     Ink::Green};
    const unsigned int digit = code >= '0' && code <= '6' ? code - '0' : code;
    return digit < SELECTED.size() ? SELECTED[digit] : InkOfCode(code);
}

void InkCoverage::SetUnits(double vertical, double horizontal)
{
    if (vertical > 0 && vertical < 1)
        mdblVerticalUnit = vertical;
    if (horizontal > 0 && horizontal < 1)
        mdblHorizontalUnit = horizontal;
}

void InkCoverage::SetRasterResolution(double rowPitch, double dotWidth)
{
    if (rowPitch > 0 && rowPitch < 1)
        mdblRowPitch = rowPitch;
    if (dotWidth > 0 && dotWidth < 1)
        mdblDotWidth = dotWidth;
}

void InkCoverage::MoveToRow(double inches)
{
    mdblY = std::clamp(std::isnan(inches) ? 0.0 : inches, 0.0, mdblMAX_INCHES);
}

void InkCoverage::MoveToColumn(double inches)
{
    mdblX = std::clamp(std::isnan(inches) ? 0.0 : inches, 0.0, mdblMAX_INCHES);
}

void InkCoverage::Reset()
{
    mdblVerticalUnit = mdblHorizontalUnit = mdblRowPitch = mdblDotWidth = 1.0 / 360;
    mdblLineSpacing = 1.0 / 6;
    mdblX = 0;
    mblnReading = false;
}

bool InkCoverage::BeginBlock(Ink ink, uint32_t bitsPerDot, uint64_t bytesPerRow, uint64_t rows, double rowPitch,
                             double dotWidth, bool pinColumns)
{
    mFlushDots();
    mblnReading = false;
    mdblBlockPitch = rowPitch > 0 ? rowPitch : mdblRowPitch;
    mdblBlockDotWidth = dotWidth > 0 ? dotWidth : mdblDotWidth;
    mintBytesPerRow = bytesPerRow;
    mintRows = rows;
    mintBitsPerDot = bitsPerDot;
    mdblBlockX = mdblX;
    if (bitsPerDot == 1 || bitsPerDot == 2)
        MoveAcross(static_cast<double>(bytesPerRow * (8 / bitsPerDot)) * mdblBlockDotWidth);
    if (ink == Ink::Neutral || mblnColour || bytesPerRow == 0 || rows == 0)
        return false;
    if (bitsPerDot != 1 && bitsPerDot != 2) {
        NoteUnjudged();
        return false;
    }
    mInk = ink;
    // A dot covers its width and the finer of the rows' spacing and the
    // vertical unit (rows of interleaved passes fill the spacing between).
    const double dotHeight = pinColumns ? mdblBlockPitch : std::min(mdblBlockPitch, mdblVerticalUnit);
    const double dotArea = mdblBlockDotWidth * dotHeight * MM2_PER_SQUARE_INCH;
    mdblPinPitch = pinColumns ? mdblBlockPitch : 0;
    mdblDotArea = dotArea;
    // The cell of each byte of a row, and the components the ink adds to.
    const uint32_t dotsPerByte = 8 / bitsPerDot;
    // Drivers send block after block of a few geometries: their tables are kept.
    mTable = nullptr;
    for (const ByteTable& table : mTables)
        if (table.mintColumn.size() == bytesPerRow && table.mdblX == mdblBlockX &&
            table.mdblDotWidth == mdblBlockDotWidth && table.mintBits == bitsPerDot)
            mTable = &table;
    if (mTable == nullptr) {
        ByteTable& table = mTables[mintNextTable];
        mintNextTable = (mintNextTable + 1) % mintTABLES;
        table.mdblX = mdblBlockX;
        table.mdblDotWidth = mdblBlockDotWidth;
        table.mintBits = bitsPerDot;
        table.mintColumn.resize(bytesPerRow);
        table.mintInFirst.resize(bytesPerRow);
        for (uint64_t byte = 0; byte < bytesPerRow; ++byte) {
            const double first = mdblBlockX + static_cast<double>(byte * dotsPerByte) * mdblBlockDotWidth;
            const int64_t firstCell = CellOf(first);
            const int64_t lastCell = CellOf(first + static_cast<double>(dotsPerByte - 1) * mdblBlockDotWidth);
            if (firstCell < 0 || lastCell < 0 || static_cast<uint64_t>(lastCell) >= MAX_COLUMNS) {
                table.mintColumn.clear();
                NoteUnjudged();
                return false;
            }
            table.mintColumn[byte] = static_cast<uint32_t>(firstCell);
            uint8_t inFirst = 0;
            for (uint32_t dot = 0; dot < dotsPerByte; ++dot)
                inFirst += CellOf(first + dot * mdblBlockDotWidth) == firstCell ? 1 : 0;
            table.mintInFirst[byte] = lastCell > firstCell + 1 ? SPREAD : inFirst;
            if (mintDots.size() < static_cast<uint64_t>(lastCell) + 1)
                mintDots.resize(static_cast<uint64_t>(lastCell) + 1);
        }
        mTable = &table;
    }
    static constexpr std::array<std::array<uint8_t, 2>, 8> COMPONENTS = {{{OTHER, INKS},
                                                                          {CYAN, INKS},
                                                                          {MAGENTA, INKS},
                                                                          {YELLOW, INKS},
                                                                          {MAGENTA, YELLOW},
                                                                          {CYAN, YELLOW},
                                                                          {CYAN, MAGENTA},
                                                                          {OTHER, INKS}}};
    mintInkComponents = COMPONENTS[static_cast<size_t>(ink)];
    const double strips = static_cast<double>(rows) * mdblBlockPitch / STRIP_INCHES;
    if (!pinColumns && (ink == Ink::Cyan || ink == Ink::Magenta || ink == Ink::Yellow))
        mdblBlockStrips[ink == Ink::Cyan ? CYAN : ink == Ink::Magenta ? MAGENTA : YELLOW] = strips;
    mintRow = 0;
    mintByteInRow = 0;
    mblnReading = true;
    mStartRow();
    return mblnReading;
}

// Rows that fall in the same strip gather their dots, which go to the strip
// when the next row falls in another, or the block ends.
void InkCoverage::mStartRow()
{
    const int64_t strip = CellOf(mdblY + static_cast<double>(mintRow) * mdblBlockPitch, STRIP_INCHES);
    if (strip == mintDotsStrip && mRowCells != nullptr)
        return;
    mFlushDots();
    if (strip < 0) {
        NoteUnjudged();
        mblnReading = false;
        return;
    }
    if (static_cast<uint64_t>(strip) >= mStrips.size())
        mStrips.resize(static_cast<uint64_t>(strip) + 1);
    mRowCells = &mStrips[static_cast<uint64_t>(strip)];
    mintDotsStrip = strip;
}

// Gives the dots gathered to the cells of their strip.
void InkCoverage::mFlushDots()
{
    for (uint32_t column = mintDotsLow; column < mintDotsHigh; ++column) {
        if (mintDots[column] != 0 && mRowCells != nullptr)
            mAddToCell(column, static_cast<float>(mintDots[column] * mdblDotArea));
        mintDots[column] = 0;
    }
    mintDotsLow = UINT32_MAX;
    mintDotsHigh = 0;
}

void InkCoverage::Read(std::span<const unsigned char> bytes)
{
    size_t index = 0;
    while (mblnReading && index < bytes.size()) {
        const uint64_t take = std::min<uint64_t>(bytes.size() - index, mintBytesPerRow - mintByteInRow);
        for (uint64_t offset = 0; offset < take; ++offset) {
            if (bytes[index + offset] != 0)
                mAddByte(bytes[index + offset], mintByteInRow + offset);
        }
        index += take;
        mEndBytes(take);
    }
}

void InkCoverage::ReadRun(unsigned char value, uint64_t count)
{
    if (value == 0 && mblnReading && mintBytesPerRow > 0) {
        // Blank bytes only move on, row by row.
        const uint64_t bytes = mintByteInRow + count;
        const uint64_t rows = bytes / mintBytesPerRow;
        if (rows >= mintRows - mintRow) {
            mFlushDots();
            mblnReading = false;
            return;
        }
        mintByteInRow = bytes % mintBytesPerRow;
        if (rows > 0) {
            mintRow += rows;
            mStartRow();
        }
        return;
    }
    while (mblnReading && count > 0) {
        const uint64_t take = std::min(count, mintBytesPerRow - mintByteInRow);
        for (uint64_t offset = 0; value != 0 && offset < take; ++offset)
            mAddByte(value, mintByteInRow + offset);
        count -= take;
        mEndBytes(take);
    }
}

// Moves on by bytes read of the row, to the next row at its end.
void InkCoverage::mEndBytes(uint64_t count)
{
    mintByteInRow += count;
    if (mintByteInRow < mintBytesPerRow || !mblnReading)
        return;
    mintByteInRow = 0;
    if (++mintRow == mintRows) {
        mFlushDots();
        mblnReading = false;
    } else {
        mStartRow();
    }
}

// Gathers a byte's dots by the cell they fall in (the block's table gives
// the cell of each byte's first dot and how many of its dots fall there).
void InkCoverage::mAddByte(unsigned char value, uint64_t byteInRow)
{
    const uint32_t column = mTable->mintColumn[byteInRow];
    const uint32_t bits = mintBitsPerDot;
    const uint32_t dotsPerByte = 8 / bits;
    const uint8_t inFirst = mTable->mintInFirst[byteInRow];
    const std::array<uint8_t, 256>& dots = DOTS_IN_BYTE[bits - 1];
    mintDotsLow = std::min(mintDotsLow, column);
    if (inFirst == dotsPerByte) {
        mintDots[column] += dots[value];
        mintDotsHigh = std::max(mintDotsHigh, column + 1);
    } else if (inFirst != SPREAD) {
        const unsigned int first = (0xFFu << (8 - bits * inFirst)) & 0xFFu;
        mintDots[column] += dots[value & first];
        mintDots[column + 1] += dots[value & ~first & 0xFFu];
        mintDotsHigh = std::max(mintDotsHigh, column + 2);
    } else {
        const unsigned int mask = (1u << bits) - 1;
        const double firstX = mdblBlockX + static_cast<double>(byteInRow * dotsPerByte) * mdblBlockDotWidth;
        for (uint32_t dot = 0; dot < dotsPerByte; ++dot) {
            if (((value >> (8 - bits * (dot + 1))) & mask) == 0)
                continue;
            const auto at = static_cast<uint32_t>(CellOf(firstX + dot * mdblBlockDotWidth));
            ++mintDots[at];
            mintDotsHigh = std::max(mintDotsHigh, at + 1);
        }
    }
}

void InkCoverage::mAddToCell(uint32_t column, float amount)
{
    std::vector<Amounts>& cells = *mRowCells;
    if (column >= cells.size()) {
        // A strip holds the columns up to its last with ink.
        mintStripCells += column + 1 - cells.size();
        if (mintStripCells > mintMAX_STRIP_CELLS) {
            NoteUnjudged();
            mblnReading = false;
            return;
        }
        cells.resize(column + 1);
    }
    Amounts& cell = cells[column];
    cell[mintInkComponents[0]] += amount;
    if (mintInkComponents[1] < INKS)
        cell[mintInkComponents[1]] += amount;
}

// Of cyan, magenta and yellow, how many strips each is moved down: the whole
// number of its block heights that lays it over the most of the ink with
// the most dots (none when it lies over none of it). A block is seldom a
// whole number of strips high: the move keeps its fraction.
std::array<double, 3> InkCoverage::mAlignInks() const
{
    std::array<double, 3> totals{};
    // Which strips hold each ink: only those are laid over each other.
    std::vector<std::array<bool, 3>> inked(mStrips.size());
    for (size_t strip = 0; strip < mStrips.size(); ++strip) {
        for (const Amounts& cell : mStrips[strip]) {
            for (size_t ink = 0; ink < 3; ++ink) {
                totals[ink] += cell[ink];
                inked[strip][ink] = inked[strip][ink] || cell[ink] > 0;
            }
        }
    }
    const size_t reference = static_cast<size_t>(std::max_element(totals.begin(), totals.end()) - totals.begin());
    const auto strips = static_cast<int64_t>(mStrips.size());
    std::array<double, 3> shifts{};
    for (size_t ink = 0; ink < 3; ++ink) {
        // Only banks of nozzles sit apart: blocks of a millimetre or more.
        if (ink == reference || totals[ink] <= 0 || mdblBlockStrips[ink] < STRIPS_PER_QUARTER)
            continue;
        double best = 0;
        // Nearer shifts first, so that a tie keeps the smaller move.
        for (const int banks : {0, 1, -1, 2, -2, 3, -3}) {
            if (std::abs(banks) > mintMAX_BANKS)
                continue;
            const auto shift = static_cast<int64_t>(std::llround(banks * mdblBlockStrips[ink]));
            double overlap = 0;
            for (int64_t strip = std::max<int64_t>(0, shift); strip < strips && strip - shift < strips; ++strip) {
                if (!inked[static_cast<size_t>(strip)][reference] || !inked[static_cast<size_t>(strip - shift)][ink])
                    continue;
                const std::vector<Amounts>& cells = mStrips[static_cast<size_t>(strip)];
                const std::vector<Amounts>& other = mStrips[static_cast<size_t>(strip - shift)];
                const size_t columns = std::min(cells.size(), other.size());
                for (size_t column = 0; column < columns; ++column)
                    overlap += std::min(cells[column][reference], other[column][ink]);
            }
            if (overlap > best) {
                best = overlap;
                shifts[ink] = banks * mdblBlockStrips[ink];
            }
        }
    }
    return shifts;
}

// Lays the inks over each other and judges every cell by the colour rule:
// cells of two quarters a side, at every quarter; a quarter that lies in a
// cell whose inks part puts the ink by which its own inks part on the page.
// Inks of a colour of their own count whole.
void InkCoverage::EndPage()
{
    mFlushDots();
    const std::array<double, 3> shifts = mAlignInks();
    const auto lowest = static_cast<int64_t>(std::floor(std::min({shifts[0], shifts[1], shifts[2], 0.0})));
    const auto highest = static_cast<int64_t>(std::ceil(std::max({shifts[0], shifts[1], shifts[2], 0.0})));
    const auto strips = static_cast<int64_t>(mStrips.size());
    const int64_t first = lowest < 0 ? (lowest - STRIPS_PER_QUARTER + 1) / STRIPS_PER_QUARTER : 0;
    const int64_t last = (strips + highest) / STRIPS_PER_QUARTER;
    // The quarters' amounts by quarter row, each ink from where it lands.
    std::vector<std::vector<Amounts>> quarters(static_cast<size_t>(last - first + 1));
    for (int64_t quarterRow = first; quarterRow <= last; ++quarterRow) {
        std::vector<Amounts>& row = quarters[static_cast<size_t>(quarterRow - first)];
        for (size_t ink = 0; ink < INKS; ++ink) {
            // A strip moved by a whole number and a fraction of strips lands
            // in two, in those shares.
            const double shift = ink < 3 ? shifts[ink] : 0;
            const auto whole = static_cast<int64_t>(std::floor(shift));
            const double fraction = shift - static_cast<double>(whole);
            for (const int64_t part : {whole, whole + 1}) {
                const double share = part == whole ? 1 - fraction : fraction;
                if (share <= 0)
                    continue;
                const int64_t from = std::max<int64_t>(quarterRow * STRIPS_PER_QUARTER - part, 0);
                const int64_t to = std::min((quarterRow + 1) * STRIPS_PER_QUARTER - part, strips);
                for (int64_t strip = from; strip < to; ++strip) {
                    const std::vector<Amounts>& cells = mStrips[static_cast<size_t>(strip)];
                    if (row.size() < cells.size())
                        row.resize(cells.size());
                    for (size_t column = 0; column < cells.size(); ++column)
                        row[column][ink] += cells[column][ink] * share;
                }
            }
        }
    }
    const auto spread = [](const Amounts& amounts) {
        return std::max({amounts[CYAN], amounts[MAGENTA], amounts[YELLOW]}) -
               std::min({amounts[CYAN], amounts[MAGENTA], amounts[YELLOW]});
    };
    // One row of a cell's dots, at the page's vertical unit (or the pins'
    // pitch of bit images).
    const double rowArea =
        ColourRule::INK_CELL_MM * ColourRule::MM_PER_INCH * (mdblPinPitch > 0 ? mdblPinPitch : mdblVerticalUnit);
    const double cellArea = ColourRule::INK_CELL_MM * ColourRule::INK_CELL_MM;
    // Whether each quarter of the row above and of this row lies in a colour cell.
    std::vector<uint8_t> above, here;
    for (size_t index = 0; index <= quarters.size(); ++index) {
        const std::vector<Amounts> none;
        const std::vector<Amounts>& top = index > 0 ? quarters[index - 1] : none;
        const std::vector<Amounts>& bottom = index < quarters.size() ? quarters[index] : none;
        here.assign(bottom.size() + 1, 0);
        above.resize(std::max(above.size(), top.size() + 1));
        const size_t columns = std::max(top.size(), bottom.size());
        for (size_t column = 0; column <= columns; ++column) {
            Amounts cell{};
            for (const std::vector<Amounts>* row : {&top, &bottom})
                for (size_t at = column == 0 ? 0 : column - 1; at <= column && at < row->size(); ++at)
                    for (size_t ink = 0; ink < 3; ++ink)
                        cell[ink] += (*row)[at][ink];
            const double strongest = std::max({cell[CYAN], cell[MAGENTA], cell[YELLOW]});
            if (!ColourRule::InkCellIsColour(spread(cell), strongest, cellArea, rowArea))
                continue;
            for (size_t at = column == 0 ? 0 : column - 1; at <= column; ++at) {
                if (at < top.size())
                    above[at] = 1;
                if (at < bottom.size())
                    here[at] = 1;
            }
        }
        // The row above is judged by every cell it lies in.
        for (size_t column = 0; column < top.size(); ++column)
            mdblColourArea += (above[column] != 0 ? spread(top[column]) : 0) + top[column][OTHER];
        above.swap(here);
    }
    mblnColour = mblnColour || mdblColourArea >= ColourRule::MINIMUM_COLOUR_AREA_MM2;
    mRowCells = nullptr;
    mintDotsStrip = -1;
    mStrips.clear();
    mintStripCells = 0;
}

void InkCoverage::NewPage()
{
    mRowCells = nullptr;
    mFlushDots();
    mintDotsStrip = -1;
    mStrips.clear();
    mintStripCells = 0;
    mdblBlockStrips = {};
    mdblPinPitch = 0;
    mdblColourArea = 0;
    mblnColour = false;
    mblnUnjudged = false;
    mblnReading = false;
    mdblX = 0;
    mdblY = 0;
}

}  // namespace RawPrintData::ESCP
