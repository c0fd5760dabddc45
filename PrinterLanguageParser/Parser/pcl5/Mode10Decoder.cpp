#include "PrinterLanguageParser/Parser/pcl5/Mode10Decoder.h"

#include <algorithm>

namespace RawPrintData::PCL5 {

namespace {

constexpr uint32_t NEW_PIXEL = 0, WEST = 1, NORTH_EAST = 2;
constexpr uint32_t WHITE = 0xFFFFFF;
// A run of more pixels than a row can hold is cut to this.
constexpr uint64_t MAX_RUN = uint64_t{1} << 32;

}  // namespace

void Mode10Decoder::Start()
{
    mPhase = Phase::Command;
    mintCursor = 0;
    mintPixel = WHITE;
    mintCached = WHITE;
}

uint32_t Mode10Decoder::mPixelAt(const std::vector<unsigned char>& row, size_t cursor) const
{
    if (cursor + 3 > row.size())
        return WHITE;
    return (uint32_t{row[cursor]} << 16) | (uint32_t{row[cursor + 1]} << 8) | row[cursor + 2];
}

// Writes count pixels at the cursor, as far as the row is kept.
void Mode10Decoder::mPut(std::vector<unsigned char>& row, uint32_t pixel, size_t count)
{
    for (size_t index = 0; index < count && mintCursor + 3 <= mintMaxBytes; ++index) {
        if (row.size() < mintCursor + 3)
            row.resize(mintCursor + 3, 0xFF);
        row[mintCursor] = static_cast<unsigned char>(pixel >> 16);
        row[mintCursor + 1] = static_cast<unsigned char>(pixel >> 8);
        row[mintCursor + 2] = static_cast<unsigned char>(pixel);
        mintCursor += 3;
    }
    if (mintCursor + 3 > mintMaxBytes)
        mintCursor = mintMaxBytes;
}

void Mode10Decoder::Read(unsigned char byte, std::vector<unsigned char>& row)
{
    switch (mPhase) {
    case Phase::Command: {
        mblnRun = (byte & 0x80) != 0;
        mintSource = (byte >> 5) & 0x03u;
        mblnNewPixel = mintSource == NEW_PIXEL;
        const uint32_t seed = (byte >> 3) & 0x03u;
        mintCount = byte & 0x07u;
        mblnExtended = mintCount == 7;
        mintCursor = std::min(mintCursor + 3 * size_t{seed}, mintMaxBytes);
        if (seed == 3)
            mPhase = Phase::SeedExtension;
        else
            mAfterSeed(row);
        return;
    }
    case Phase::SeedExtension:
        mintCursor = std::min(mintCursor + 3 * size_t{byte}, mintMaxBytes);
        if (byte != 0xFF)
            mAfterSeed(row);
        return;
    case Phase::Pixel:
        mbytPixel[mintPixelBytes++] = byte;
        if (mintPixelBytes == 2 && (mbytPixel[0] & 0x80) != 0) {
            // Deltas to the pixel above.
            const uint32_t delta = (uint32_t{mbytPixel[0]} << 8) | mbytPixel[1];
            const auto extend = [](uint32_t value, uint32_t signBit) {
                return static_cast<int32_t>(value) - static_cast<int32_t>((value & signBit) << 1);
            };
            const int32_t red = extend((delta >> 10) & 0x1F, 0x10);
            const int32_t green = extend((delta >> 5) & 0x1F, 0x10);
            const int32_t blue = extend((delta & 0x1F) << 1, 0x20);
            const uint32_t above = mPixelAt(row, mintCursor);
            const auto add = [](uint32_t channel, int32_t change) {
                return static_cast<uint32_t>(static_cast<int32_t>(channel) + change) & 0xFFu;
            };
            mintPixel = (add(above >> 16 & 0xFF, red) << 16) | (add(above >> 8 & 0xFF, green) << 8) |
                        add(above & 0xFF, blue);
            mPixelRead(row);
        } else if (mintPixelBytes == 3) {
            mintPixel = ((uint32_t{mbytPixel[0]} << 16) | (uint32_t{mbytPixel[1]} << 8) | mbytPixel[2]) << 1 & WHITE;
            mPixelRead(row);
        }
        return;
    case Phase::RunExtension:
        mintCount = std::min(mintCount + byte, MAX_RUN);
        if (byte != 0xFF) {
            mPut(row, mintPixel, static_cast<size_t>(mintCount));
            mPhase = Phase::Command;
        }
        return;
    case Phase::LiteralExtension:
        mintCount = byte;
        mblnExtended = byte == 0xFF;
        if (mintCount == 0)
            mLiteralsDone();
        else
            mStartPixels(row);
        return;
    }
}

// The first pixel, from its source; a new one is read from the data.
void Mode10Decoder::mAfterSeed(std::vector<unsigned char>& row)
{
    if (mintSource == WEST)
        mintPixel = mintCursor >= 3 ? mPixelAt(row, mintCursor - 3) : WHITE;
    else if (mintSource == NORTH_EAST)
        mintPixel = mPixelAt(row, mintCursor + 3);
    else if (mintSource != NEW_PIXEL)
        mintPixel = mintCached;
    if (mblnRun) {
        mintCount += 2;
        mUse = PixelUse::Run;
    } else {
        mintCount += 1;
        mUse = PixelUse::FirstLiteral;
    }
    if (mblnNewPixel) {
        mPhase = Phase::Pixel;
        mintPixelBytes = 0;
        return;
    }
    mPixelRead(row);
}

// More literal pixels to read from the data.
void Mode10Decoder::mStartPixels(std::vector<unsigned char>& /*row*/)
{
    mUse = PixelUse::Literal;
    mPhase = Phase::Pixel;
    mintPixelBytes = 0;
}

void Mode10Decoder::mPixelRead(std::vector<unsigned char>& row)
{
    switch (mUse) {
    case PixelUse::Run:
        if (mblnNewPixel)
            mintCached = mintPixel;
        if (mblnExtended) {
            mPhase = Phase::RunExtension;
            return;
        }
        mPut(row, mintPixel, static_cast<size_t>(mintCount));
        mPhase = Phase::Command;
        return;
    case PixelUse::FirstLiteral:
        // The first of the literal pixels, whatever its source.
        if (mblnNewPixel)
            mintCached = mintPixel;
        --mintCount;
        mPut(row, mintPixel, 1);
        break;
    case PixelUse::Literal:
        mPut(row, mintPixel, 1);
        --mintCount;
        break;
    }
    if (mintCount > 0)
        mStartPixels(row);
    else
        mLiteralsDone();
}

// A group of literal pixels is done: an extended count goes on with another.
void Mode10Decoder::mLiteralsDone()
{
    mPhase = mblnExtended ? Phase::LiteralExtension : Phase::Command;
}

}  // namespace RawPrintData::PCL5
