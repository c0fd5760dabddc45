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
    if (across == mintAcross && down == mintDown && fullDot == mintFullDot)
        return 0;
    const uint64_t open = OpenCellsColour();
    mintAcross = across;
    mintDown = down;
    mintFullDot = fullDot;
    Clear();
    return open;
}

void InkCells::BeginRow()
{
    for (const uint32_t cell : mintTouched) {
        mRow[cell] = {};
        mblnTouched[cell] = 0;
    }
    mintTouched.clear();
}

// One byte of dots in which the inks differ, in the cell of its first dot.
inline void InkCells::mAddByte(size_t index, uint8_t c, uint8_t m, uint8_t y, uint32_t weight)
{
    const uint64_t cell = index * 8 / mintAcross;
    if (cell >= mRow.size()) {
        mRow.resize(cell + 1);
        mCells.resize(cell + 1);
        mblnTouched.resize(cell + 1);
        mblnOpen.resize(cell + 1);
    }
    Balance& balance = mRow[cell];
    if (!mblnTouched[cell]) {
        mblnTouched[cell] = 1;
        mintTouched.push_back(static_cast<uint32_t>(cell));
    }
    const int64_t cyanDots = DOTS_IN_BYTE[c], magentaDots = DOTS_IN_BYTE[m], yellowDots = DOTS_IN_BYTE[y];
    balance.mintCyanMagenta += int64_t{weight} * (cyanDots - magentaDots);
    balance.mintCyanYellow += int64_t{weight} * (cyanDots - yellowDots);
}

void InkCells::AddBits(std::span<const uint8_t> cyan, std::span<const uint8_t> magenta,
                       std::span<const uint8_t> yellow, uint32_t weight)
{
    const size_t length = std::max({cyan.size(), magenta.size(), yellow.size()});
    const size_t common = std::min({cyan.size(), magenta.size(), yellow.size()});
    size_t index = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Alike inks change no balance: a word at a time, only the bytes in
        // which the three differ are counted.
        for (; index + 8 <= common; index += 8) {
            uint64_t c, m, y;
            std::memcpy(&c, cyan.data() + index, 8);
            std::memcpy(&m, magenta.data() + index, 8);
            std::memcpy(&y, yellow.data() + index, 8);
            for (uint64_t differ = (c ^ m) | (c ^ y); differ != 0;) {
                const size_t byte = static_cast<size_t>(std::countr_zero(differ)) / 8;
                mAddByte(index + byte, cyan[index + byte], magenta[index + byte], yellow[index + byte], weight);
                differ &= ~(uint64_t{0xFF} << (8 * byte));
            }
        }
    }
    const auto byteOf = [](std::span<const uint8_t> plane, size_t at) -> uint8_t {
        return at < plane.size() ? plane[at] : 0;
    };
    for (; index < length; ++index) {
        const uint8_t c = byteOf(cyan, index), m = byteOf(magenta, index), y = byteOf(yellow, index);
        if (c != m || c != y)
            mAddByte(index, c, m, y, weight);
    }
}

uint64_t InkCells::EndRow(uint64_t rows)
{
    uint64_t colour = 0;
    while (rows > 0) {
        const uint64_t take = std::min(rows, mintDown - mintRowsInCells);
        for (const uint32_t cell : mintTouched) {
            mCells[cell].mintCyanMagenta += mRow[cell].mintCyanMagenta * static_cast<int64_t>(take);
            mCells[cell].mintCyanYellow += mRow[cell].mintCyanYellow * static_cast<int64_t>(take);
            if (!mblnOpen[cell]) {
                mblnOpen[cell] = 1;
                mintOpen.push_back(cell);
            }
        }
        mintRowsInCells += take;
        rows -= take;
        if (mintRowsInCells == mintDown) {
            // Only cells that some row touched can part.
            for (const uint32_t cell : mintOpen) {
                colour += mJudge(mCells[cell], mintDown);
                mCells[cell] = {};
                mblnOpen[cell] = 0;
            }
            mintOpen.clear();
            mintRowsInCells = 0;
        }
    }
    return colour;
}

uint64_t InkCells::OpenCellsColour() const
{
    uint64_t colour = 0;
    for (const uint32_t cell : mintOpen)
        colour += mJudge(mCells[cell], std::max<uint64_t>(mintRowsInCells, 1));
    return colour;
}

// The inks of a cell part by the most any two of them differ; past the
// neutral tolerance of the cell's full ink, that much ink is colour.
uint64_t InkCells::mJudge(const Balance& cell, uint64_t rows) const
{
    const int64_t cyanMagenta = cell.mintCyanMagenta, cyanYellow = cell.mintCyanYellow;
    const uint64_t spread = static_cast<uint64_t>(std::max(
        {cyanMagenta < 0 ? -cyanMagenta : cyanMagenta, cyanYellow < 0 ? -cyanYellow : cyanYellow,
         cyanYellow - cyanMagenta < 0 ? cyanMagenta - cyanYellow : cyanYellow - cyanMagenta}));
    const uint64_t full = uint64_t{mintAcross} * rows * mintFullDot;
    if (spread * 255 <= full * static_cast<uint64_t>(ColourRule::INK_CELL_TOLERANCE))
        return 0;
    return spread / mintFullDot;
}

void InkCells::Clear()
{
    BeginRow();
    for (const uint32_t cell : mintOpen) {
        mCells[cell] = {};
        mblnOpen[cell] = 0;
    }
    mintOpen.clear();
    mintRowsInCells = 0;
}

}  // namespace RawPrintData
