#include "PrinterLanguageParser/Parser/ColourArea.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace RawPrintData {

namespace {

// The dots set in a byte, without the library call that std::popcount is on
// processors of the baseline without a population count.
constexpr std::array<uint8_t, 256> DOTS_IN_BYTE = [] {
    std::array<uint8_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte)
        for (unsigned bit = byte; bit != 0; bit >>= 1)
            table[byte] += bit & 1;
    return table;
}();

}  // namespace

void ColourArea::SetResolution(double xDpi, double yDpi)
{
    xDpi = std::max(xDpi, 1.0);
    yDpi = std::max(yDpi, 1.0);
    if (xDpi == mdblXDpi && yDpi == mdblYDpi)
        return;
    // What is counted so far is carried over as the share of the area it
    // made; the rest is needed at the new resolution.
    const double done = mintDotsNeeded == 0 ? 1.0 : static_cast<double>(mintDots) / static_cast<double>(mintDotsNeeded);
    mdblXDpi = xDpi;
    mdblYDpi = yDpi;
    mintMinimumDots = ColourRule::MinimumColourDots(xDpi, yDpi);
    mintDotsNeeded = mintMinimumDots;
    mintDots = done >= 1.0 ? mintDotsNeeded : static_cast<uint64_t>(done * static_cast<double>(mintDotsNeeded));
}

uint64_t InkCells::Configure(uint32_t across, uint32_t down, uint32_t fullDot)
{
    across = std::max<uint32_t>(across, 1);
    down = std::max<uint32_t>(down, 1);
    fullDot = std::max<uint32_t>(fullDot, 1);
    if (across == mintCellAcross && down == mintCellDown && fullDot == mintFullDot)
        return 0;
    const uint64_t open = OpenCellsColour();
    mintCellAcross = across;
    mintCellDown = down;
    mintAcross = (across + 1) / 2;
    mintDown = (down + 1) / 2;
    mintFullDot = fullDot;
    // The least spread a cell can be colour with, whatever its strongest ink.
    const uint64_t row = uint64_t{mintAcross} * 2 * mintFullDot;
    const uint64_t full = row * mintDown * 2;
    mintLeastSpread = std::max(row / 2, full * ColourRule::NEUTRAL_TOLERANCE / 255);
    Clear();
    return open;
}

uint64_t InkCells::BeginRow()
{
    const uint64_t colour = mCountRepeats();
    for (const uint32_t cell : mintTouched) {
        mRow[cell] = {};
        mblnTouched[cell] = 0;
    }
    mintTouched.clear();
    return colour;
}

// Dots of each ink, given as the bits set in a byte, in one quarter cell.
inline void InkCells::mAddDots(uint64_t cell, uint8_t c, uint8_t m, uint8_t y, uint32_t weight)
{
    if (cell >= mRow.size()) {
        mRow.resize(cell + 1);
        mblnTouched.resize(cell + 1);
    }
    Balance& balance = mRow[cell];
    if (!mblnTouched[cell]) {
        mblnTouched[cell] = 1;
        mintTouched.push_back(static_cast<uint32_t>(cell));
    }
    const int64_t cyanDots = DOTS_IN_BYTE[c], magentaDots = DOTS_IN_BYTE[m], yellowDots = DOTS_IN_BYTE[y];
    balance.mintCyan += int64_t{weight} * cyanDots;
    balance.mintCyanMagenta += int64_t{weight} * (cyanDots - magentaDots);
    balance.mintCyanYellow += int64_t{weight} * (cyanDots - yellowDots);
}

// One byte of dots with ink, each dot in its own quarter cell (the first dot
// in the high bit; a byte may straddle quarters).
inline void InkCells::mAddByte(size_t index, uint8_t c, uint8_t m, uint8_t y, uint32_t weight)
{
    uint64_t dot = uint64_t{index} * 8;
    const uint64_t quarter = dot / mintAcross;
    if (dot + 8 <= (quarter + 1) * mintAcross) {
        // Most bytes lie in one quarter cell.
        mAddDots(quarter, c, m, y, weight);
        return;
    }
    for (unsigned first = 0; first < 8;) {
        const uint64_t cell = dot / mintAcross;
        const auto take = static_cast<unsigned>(std::min<uint64_t>(8 - first, (cell + 1) * mintAcross - dot));
        const auto mask = static_cast<uint8_t>((0xFFu >> first) & ~(0xFFu >> (first + take)));
        dot += take;
        first += take;
        if (((c | m | y) & mask) != 0)
            mAddDots(cell, static_cast<uint8_t>(c & mask), static_cast<uint8_t>(m & mask),
                     static_cast<uint8_t>(y & mask), weight);
    }
}

void InkCells::AddBits(std::span<const uint8_t> cyan, std::span<const uint8_t> magenta,
                       std::span<const uint8_t> yellow, uint32_t weight, bool light)
{
    const size_t length = std::max({cyan.size(), magenta.size(), yellow.size()});
    const size_t common = std::min({cyan.size(), magenta.size(), yellow.size()});
    // Planes of light have their ink where their bits are clear.
    const uint8_t flip = light ? 0xFF : 0;
    size_t index = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Paper without ink changes nothing: a word at a time, only the bytes
        // with ink are counted.
        for (; index + 8 <= common; index += 8) {
            uint64_t c, m, y;
            std::memcpy(&c, cyan.data() + index, 8);
            std::memcpy(&m, magenta.data() + index, 8);
            std::memcpy(&y, yellow.data() + index, 8);
            for (uint64_t inked = light ? ~(c & m & y) : (c | m | y); inked != 0;) {
                const size_t byte = static_cast<size_t>(std::countr_zero(inked)) / 8;
                mAddByte(index + byte, static_cast<uint8_t>(cyan[index + byte] ^ flip),
                         static_cast<uint8_t>(magenta[index + byte] ^ flip),
                         static_cast<uint8_t>(yellow[index + byte] ^ flip), weight);
                inked &= ~(uint64_t{0xFF} << (8 * byte));
            }
        }
    }
    // Past the bytes a plane sent, its row is paper.
    const auto byteOf = [flip](std::span<const uint8_t> plane, size_t at) -> uint8_t {
        return at < plane.size() ? static_cast<uint8_t>(plane[at] ^ flip) : uint8_t{0};
    };
    for (; index < length; ++index) {
        const uint8_t c = byteOf(cyan, index), m = byteOf(magenta, index), y = byteOf(yellow, index);
        if ((c | m | y) != 0)
            mAddByte(index, c, m, y, weight);
    }
}

uint64_t InkCells::EndRow(uint64_t rows)
{
    uint64_t colour = 0;
    // Rows of this one counted in the bands so far.
    uint64_t counted = 0;
    while (rows > 0) {
        const uint64_t take = std::min(rows, mintDown - mBand.mintRows);
        for (const uint32_t cell : mintTouched) {
            if (cell >= mBand.mCells.size()) {
                mBand.mCells.resize(mRow.size());
                mBand.mblnOpen.resize(mRow.size());
                mBand.mblnColour.resize(mRow.size());
                mBand.mintSpread.resize(mRow.size());
            }
            mBand.mCells[cell].Add(mRow[cell], static_cast<int64_t>(take));
            if (!mBand.mblnOpen[cell]) {
                mBand.mblnOpen[cell] = 1;
                mBand.mintOpen.push_back(cell);
            }
        }
        mBand.mintRows += take;
        rows -= take;
        counted += take;
        if (mBand.mintRows == mintDown) {
            // The band above has now been judged with both its neighbours.
            mJudgeCells(mAbove, mBand);
            const uint64_t found = mColourOf(mAbove);
            colour += found;
            mEmpty(mAbove);
            std::swap(mAbove, mBand);
            if (colour >= mintEnough)
                break;  // the page is colour
            // Three bands of nothing but this row: the band above and the
            // one before it are alike, and so is every band judged after
            // them, which finds nothing as this one did.
            if (!mblnBandParted && counted >= uint64_t{mintDown} * 3)
                rows %= mintDown;
        }
    }
    return colour;
}

uint64_t InkCells::OpenCellsColour()
{
    const uint64_t repeated = BeginRow();
    if (mAbove.mintOpen.empty() && mBand.mintOpen.empty())
        return repeated;
    mOpenAbove = mAbove;
    mOpenBand = mBand;
    mJudgeCells(mOpenAbove, mOpenBand);
    return repeated + mColourOf(mOpenAbove) + mColourOf(mOpenBand);
}

// The inks of a cell part by the most any two of them differ.
uint64_t InkCells::mSpread(const Balance& cell)
{
    const int64_t cyanMagenta = cell.mintCyanMagenta, cyanYellow = cell.mintCyanYellow;
    return static_cast<uint64_t>(std::max({cyanMagenta < 0 ? -cyanMagenta : cyanMagenta,
                                           cyanYellow < 0 ? -cyanYellow : cyanYellow,
                                           cyanYellow - cyanMagenta < 0 ? cyanMagenta - cyanYellow
                                                                        : cyanYellow - cyanMagenta}));
}

// A cell is judged whole (rows not printed, at a page's end, are blank paper).
bool InkCells::mIsColour(const Balance& cell) const
{
    const uint64_t row = uint64_t{mintAcross} * 2 * mintFullDot;
    const int64_t cyan = cell.mintCyan;
    const auto strongest = std::max<int64_t>({cyan, cyan - cell.mintCyanMagenta, cyan - cell.mintCyanYellow, 0});
    return ColourRule::InkCellIsColour(static_cast<double>(mSpread(cell)), static_cast<double>(strongest),
                                       static_cast<double>(row * mintDown * 2), static_cast<double>(row));
}

void InkCells::mJudgeCells(Band& upper, Band& lower) const
{
    for (Band* band : {&upper, &lower})
        for (const uint32_t column : band->mintOpen)
            band->mintSpread[column] = mSpread(band->mCells[column]);
    const auto spreadAt = [](const Band& band, size_t column) -> uint64_t {
        return column < band.mblnOpen.size() && band.mblnOpen[column] ? band.mintSpread[column] : 0;
    };
    uint64_t found = 0;
    const auto mark = [&found](Band& band, size_t column) {
        if (column < band.mblnOpen.size() && band.mblnOpen[column] && !band.mblnColour[column]) {
            band.mblnColour[column] = 1;
            found += band.mintSpread[column];
        }
    };
    const auto judgeFrom = [&](size_t column) {
        // A cell parts by no more than its quarters do together: most cells
        // are passed over by that alone.
        if (spreadAt(upper, column) + spreadAt(upper, column + 1) + spreadAt(lower, column) +
                spreadAt(lower, column + 1) <= mintLeastSpread)
            return;
        Balance cell;
        for (const size_t quarter : {column, column + 1})
            for (const Band* band : {&upper, &lower})
                if (quarter < band->mblnOpen.size() && band->mblnOpen[quarter])
                    cell.Add(band->mCells[quarter], 1);
        if (!mIsColour(cell))
            return;
        for (const size_t quarter : {column, column + 1}) {
            mark(upper, quarter);
            mark(lower, quarter);
        }
    };
    // Only cells holding a quarter that some row touched can part.
    for (const Band* band : {&upper, &lower})
        for (const uint32_t column : band->mintOpen) {
            if (column > 0)
                judgeFrom(column - 1);
            judgeFrom(column);
            if (found / mintFullDot >= mintEnough)
                return;
        }
}

uint64_t InkCells::mColourOf(const Band& band)
{
    uint64_t parted = 0;
    for (const uint32_t column : band.mintOpen)
        if (band.mblnColour[column])
            parted += mSpread(band.mCells[column]);
    mblnBandParted = parted > 0;
    // Parts of a dot (of levels) are carried to the next band.
    const uint64_t colour = parted + mintColourLeft;
    mintColourLeft = colour % mintFullDot;
    return colour / mintFullDot;
}

void InkCells::mEmpty(Band& band)
{
    for (const uint32_t column : band.mintOpen) {
        band.mCells[column] = {};
        band.mblnOpen[column] = 0;
        band.mblnColour[column] = 0;
    }
    band.mintOpen.clear();
    band.mintRows = 0;
}

void InkCells::Clear()
{
    mintRepeats = 0;
    mintColourLeft = 0;
    BeginRow();
    mEmpty(mBand);
    mEmpty(mAbove);
}

}  // namespace RawPrintData
