#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace RawPrintData::PCL5 {

// Decodes raster compression mode 10 (PCL 3 GUI), delta coding of 24-bit RGB
// pixels against the row before, one byte at a time so that a row may come
// in any chunking. Each command byte holds a run (bit 7) or literal flag,
// where its first pixel comes from (a new pixel, the one to the west, the
// one north-east in the row before, or the cached colour), a count of pixels
// kept from the row before (bits 3-4, continued in bytes while 255) and a
// count of pixels (bits 0-2, continued while 255). A new pixel is 3 bytes
// (the colour shifted right by one) or, with bit 7 set, 2 bytes of deltas to
// the pixel above: red and green 5 bits, blue 5 bits counted in twos.
//
// The row holds 3 bytes a pixel, white past its end, and is changed in place;
// no more than maxBytes of it are kept.
class Mode10Decoder {
public:
    explicit Mode10Decoder(size_t maxBytes) : mintMaxBytes(maxBytes) {}

    // A row's data begins.
    void Start();
    void Read(unsigned char byte, std::vector<unsigned char>& row);

private:
    enum class Phase { Command, SeedExtension, Pixel, RunExtension, LiteralExtension };
    // What the pixel being read is for.
    enum class PixelUse { Run, FirstLiteral, Literal };

    void mAfterSeed(std::vector<unsigned char>& row);
    void mStartPixels(std::vector<unsigned char>& row);
    void mPixelRead(std::vector<unsigned char>& row);
    void mLiteralsDone();
    uint32_t mPixelAt(const std::vector<unsigned char>& row, size_t cursor) const;
    void mPut(std::vector<unsigned char>& row, uint32_t pixel, size_t count);

    size_t mintMaxBytes;
    Phase mPhase = Phase::Command;
    PixelUse mUse = PixelUse::Run;
    size_t mintCursor = 0;  // in bytes
    uint32_t mintPixel = 0xFFFFFF;
    uint32_t mintCached = 0xFFFFFF;
    bool mblnRun = false;
    bool mblnNewPixel = false;
    bool mblnExtended = false;
    uint32_t mintSource = 0;
    uint64_t mintCount = 0;
    unsigned char mbytPixel[3]{};
    size_t mintPixelBytes = 0;
};

}  // namespace RawPrintData::PCL5
