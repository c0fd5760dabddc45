// PCL compression mode 10 for cvk_raster_truth: rows of 24-bit RGB pixels
// coded against the row before (the seed), as hplip's Mode10.cpp and
// Ghostscript's DesignJet and Business Inkjet drivers write them. Each
// command byte holds: bit 7 a run (else literal pixels), bits 6-5 where the
// first pixel comes from (0 a new pixel in the data, 1 the pixel to the left,
// 2 the seed's pixel up and to the right, 3 the cached colour), bits 4-3 the
// seed pixels kept before it (3: more follow in bytes, each 255 adding
// more), bits 2-0 the count (runs of 2 to 8, literals of 1 to 8; 7 takes
// more bytes: a run's after its pixel, a literal's after its eighth pixel
// and after every 255 more). A new pixel is two bytes with the top bit
// set, a change from the seed's pixel at its place (red and green -16 to 15,
// blue twice -16 to 15), or three bytes of the pixel shifted right by one.
// Written for the tests, apart from the parser's readers.
#include "tests/Support/programs/PclRasterTruth.h"

#include <cstddef>

namespace {

constexpr uint32_t WHITE = 0xFFFFFF;

class Mode10Row {
public:
    Mode10Row(const std::vector<unsigned char>& data, std::vector<uint32_t>& row)
        : mData(data), mSeed(row), mRow(row)
    {
    }

    bool Decode()
    {
        while (mAt < mData.size()) {
            const unsigned char command = mData[mAt++];
            const bool run = (command & 0x80) != 0;
            const unsigned source = (command >> 5) & 3;
            size_t keep = (command >> 3) & 3;
            if (keep == 3 && !More(keep))
                return false;
            mX += keep;
            const size_t count = command & 7;
            if (!(run ? Run(source, count) : Literal(source, count)))
                return false;
        }
        return true;
    }

private:
    // Bytes that add to a count while they are 255.
    bool More(size_t& count)
    {
        for (;;) {
            if (mAt >= mData.size())
                return false;
            const unsigned char byte = mData[mAt++];
            count += byte;
            if (byte != 255)
                return true;
        }
    }

    uint32_t Seed(size_t x) const { return x < mSeed.size() ? mSeed[x] : WHITE; }

    void Put(size_t x, uint32_t pixel)
    {
        if (mRow.size() <= x)
            mRow.resize(x + 1, WHITE);
        mRow[x] = pixel;
    }

    // A pixel from the data, at x.
    bool New(size_t x, uint32_t& pixel)
    {
        if (mAt >= mData.size())
            return false;
        if (mData[mAt] & 0x80) {
            if (mAt + 2 > mData.size())
                return false;
            const unsigned change = static_cast<unsigned>(mData[mAt] << 8 | mData[mAt + 1]);
            mAt += 2;
            const auto signed5 = [](unsigned value) { return static_cast<int>(value & 31) - ((value & 16) ? 32 : 0); };
            const uint32_t seed = Seed(x);
            const auto channel = [](uint32_t base, int change) {
                const int value = static_cast<int>(base & 0xFF) + change;
                return static_cast<uint32_t>(value < 0 ? 0 : value > 255 ? 255 : value);
            };
            pixel = channel(seed >> 16, signed5(change >> 10)) << 16 | channel(seed >> 8, signed5(change >> 5)) << 8 |
                    channel(seed, 2 * signed5(change));
            return true;
        }
        if (mAt + 3 > mData.size())
            return false;
        pixel = (static_cast<uint32_t>(mData[mAt]) << 16 | static_cast<uint32_t>(mData[mAt + 1]) << 8 | mData[mAt + 2])
                << 1;
        pixel &= WHITE;
        mAt += 3;
        return true;
    }

    // The first pixel of a run or literal from its source.
    bool First(unsigned source, size_t nextUp, uint32_t& pixel)
    {
        switch (source) {
        case 0:
            if (!New(mX, pixel))
                return false;
            mCache = pixel;
            return true;
        case 1:
            pixel = mX > 0 && mX - 1 < mRow.size() ? mRow[mX - 1] : WHITE;
            return true;
        case 2:
            pixel = Seed(nextUp);
            return true;
        default:
            pixel = mCache;
            return true;
        }
    }

    bool Run(unsigned source, size_t count)
    {
        size_t total = count + 2;
        uint32_t pixel = 0;
        if (!First(source, mX + 1, pixel) || (count == 7 && !More(total)))
            return false;
        for (size_t n = 0; n < total; ++n)
            Put(mX++, pixel);
        return true;
    }

    bool Literal(unsigned source, size_t count)
    {
        size_t total = count + 1;
        uint32_t pixel = 0;
        for (size_t n = 1; n <= total; ++n) {
            if (n == 1 ? !First(source, mX + 1, pixel) : !New(mX, pixel))
                return false;
            Put(mX++, pixel);
            if (count == 7 && n >= 8 && (n - 8) % 255 == 0) {
                if (mAt >= mData.size())
                    return false;
                total += mData[mAt++];
            }
        }
        return true;
    }

    const std::vector<unsigned char>& mData;
    const std::vector<uint32_t> mSeed;
    std::vector<uint32_t>& mRow;
    size_t mAt = 0;
    size_t mX = 0;
    uint32_t mCache = WHITE;
};

}  // namespace

bool DecodeMode10Row(const std::vector<unsigned char>& data, std::vector<uint32_t>& row)
{
    return Mode10Row(data, row).Decode();
}
