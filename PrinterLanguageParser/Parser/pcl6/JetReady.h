#pragma once

#include "PrinterLanguageParser/Parser/pcl6/AttributeSet.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace RawPrintData::PCL6 {

// The colour raster of hpcups' JetReady colour lasers, sent as the raw data of
// VendorUnique operators in an RGB space. The operator that begins the image
// (SourceWidth and SourceHeight among its attributes) carries the page's
// quantization tables: a 0x8000 tag, a count, then three tables of 64
// little-endian 32-bit values in natural order. Each operator that reads a
// strip (StartLine and BlockHeight) carries a compression byte (0x21 JPEG; any
// other is a vendor compression that is not read), a byte 0x90, a
// little-endian 32-bit length and that many bytes of a baseline JPEG scan
// whose header was left out: 4:4:4, Huffman tables of the JPEG standard's
// annex K, components quantized by tables 0, 1 and 1. The components are not
// YCbCr but Y = R/2, Cb = 128 + (R - G)/2, Cr = 128 + (R - B)/2, so red,
// green and blue are read back as 2Y, 2Y - 2(Cb - 128) and 2Y - 2(Cr - 128).
// Data that does not fit this layout cannot be read.
class JetReadyReader {
public:
    // The longest data kept of one operator; longer data cannot be read.
    static constexpr uint64_t mintMAX_DATA_BYTES = 32u << 20;

    // A new page: its tables and width are still to come.
    void BeginPage();
    // The data of a VendorUnique operator follows: false when it is not
    // JetReady's or cannot be read whole (it is then not fed).
    bool Begin(const AttributeSet& attributes, uint64_t length);
    void Feed(std::span<const uint8_t> data);
    // The end of the data: the non-neutral pixels of the strip read, counted
    // to enough (none in the tables), or nothing when it could not be read
    // with memoryLimit bytes of decoder memory.
    std::optional<uint64_t> End(size_t memoryLimit, uint64_t enough);

private:
    std::optional<uint64_t> mEndTables();
    std::optional<uint64_t> mEndStrip(size_t memoryLimit, uint64_t enough);

    enum class Block : uint8_t { None, Tables, Strip };
    Block mBlock = Block::None;
    std::string mstrData;
    uint64_t mintLength = 0;
    uint32_t mintStripRows = 0;
    // The page's image width and its luma and chroma tables, once read.
    uint32_t mintWidth = 0;
    bool mblnTables = false;
    std::array<std::array<uint8_t, 64>, 2> mTables{};
};

}  // namespace RawPrintData::PCL6
