#include "PrinterLanguageParser/Parser/pcl6/JetReady.h"

#include "PrinterLanguageParser/Parser/pcl6/PxlJpeg.h"

#include <algorithm>

namespace RawPrintData::PCL6 {

namespace {

constexpr size_t TABLES_HEADER_BYTES = 6;
constexpr size_t TABLE_VALUES = 64;
constexpr size_t STRIP_HEADER_BYTES = 6;
constexpr uint8_t STRIP_JPEG = 0x21;
constexpr uint64_t MAX_PIXELS_PER_SCAN_BYTE = 64;

// The order in which a JPEG header lists a table's values: natural index of
// each zig-zag position.
constexpr std::array<uint8_t, 64> ZIGZAG = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                            12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                            35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                            58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

uint32_t LittleEndian32(const std::string& data, size_t at)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(data[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(data[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(data[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(data[at + 3])) << 24;
}

void Append16(std::string& out, uint32_t value)
{
    out.push_back(static_cast<char>(value >> 8 & 0xFF));
    out.push_back(static_cast<char>(value & 0xFF));
}

// The value of an attribute given as a whole number, or 0.
uint32_t Whole(const AttributeSet& attributes, AttributeId id)
{
    const AttributeValue* value = attributes.Find(id);
    if (value == nullptr || value->Count() == 0)
        return 0;
    const double number = value->Element(0);
    return number >= 1 && number <= 65535 ? static_cast<uint32_t>(number) : 0;
}

}  // namespace

void JetReadyReader::BeginPage()
{
    mBlock = Block::None;
    mstrData.clear();
    mintWidth = 0;
    mblnTables = false;
}

bool JetReadyReader::Begin(const AttributeSet& attributes, uint64_t length)
{
    mstrData.clear();
    mBlock = Block::None;
    if (length == 0 || length > mintMAX_DATA_BYTES)
        return false;
    if (attributes.Find(ATTRIBUTE_SOURCE_WIDTH) != nullptr) {
        mintWidth = Whole(attributes, ATTRIBUTE_SOURCE_WIDTH);
        mblnTables = false;
        mBlock = Block::Tables;
    } else if (attributes.Find(ATTRIBUTE_BLOCK_HEIGHT) != nullptr && mintWidth != 0 && mblnTables) {
        mintStripRows = Whole(attributes, ATTRIBUTE_BLOCK_HEIGHT);
        if (mintStripRows == 0)
            return false;
        mBlock = Block::Strip;
    } else {
        return false;
    }
    mintLength = length;
    mstrData.reserve(static_cast<size_t>(length));
    return true;
}

void JetReadyReader::Feed(std::span<const uint8_t> data)
{
    const size_t room = static_cast<size_t>(mintLength) - mstrData.size();
    mstrData.append(reinterpret_cast<const char*>(data.data()), std::min(room, data.size()));
}

std::optional<uint64_t> JetReadyReader::End(size_t memoryLimit, uint64_t enough)
{
    const Block block = mBlock;
    mBlock = Block::None;
    std::optional<uint64_t> colour;
    if (mstrData.size() == mintLength)
        colour = block == Block::Tables ? mEndTables() : block == Block::Strip ? mEndStrip(memoryLimit, enough)
                                                                             : std::nullopt;
    mstrData.clear();
    mstrData.shrink_to_fit();
    return colour;
}

// The tables of luma (0) and chroma (1); the third, for the second chroma
// component, is the same as the second.
std::optional<uint64_t> JetReadyReader::mEndTables()
{
    const std::string& data = mstrData;
    if (data.size() < TABLES_HEADER_BYTES + 2 * TABLE_VALUES * 4 || data[0] != 0x00 ||
        static_cast<uint8_t>(data[1]) != 0x80)
        return std::nullopt;
    for (size_t table = 0; table < 2; ++table) {
        for (size_t index = 0; index < TABLE_VALUES; ++index) {
            const uint32_t value = LittleEndian32(data, TABLES_HEADER_BYTES + (table * TABLE_VALUES + index) * 4);
            if (value == 0 || value > 255)
                return std::nullopt;
            mTables[table][index] = static_cast<uint8_t>(value);
        }
    }
    mblnTables = true;
    return 0;
}

// A strip: its scan behind the header it was sent without.
std::optional<uint64_t> JetReadyReader::mEndStrip(size_t memoryLimit, uint64_t enough)
{
    const std::string& data = mstrData;
    if (data.size() < STRIP_HEADER_BYTES || static_cast<uint8_t>(data[0]) != STRIP_JPEG ||
        static_cast<uint8_t>(data[1]) != 0x90)
        return std::nullopt;
    const uint64_t scanBytes = LittleEndian32(data, 2);
    if (scanBytes > data.size() - STRIP_HEADER_BYTES)
        return std::nullopt;
    // With the standard's tables a block of three components takes at least
    // 14 bits, even blank: a strip of more pixels than its scan can hold is
    // damaged, and is not decoded (so that decoding stays in step with the
    // data's length).
    if (uint64_t{mintWidth} * mintStripRows > scanBytes * MAX_PIXELS_PER_SCAN_BYTE)
        return std::nullopt;

    std::string jpeg = {'\xFF', '\xD8', '\xFF', '\xDB'};
    Append16(jpeg, 2 + 2 * (1 + TABLE_VALUES));
    for (size_t table = 0; table < 2; ++table) {
        jpeg.push_back(static_cast<char>(table));
        for (const uint8_t natural : ZIGZAG)
            jpeg.push_back(static_cast<char>(mTables[table][natural]));
    }
    // A baseline frame of three components sampled 1 by 1, and its scan.
    jpeg += {'\xFF', '\xC0', 0, 17, 8};
    Append16(jpeg, mintStripRows);
    Append16(jpeg, mintWidth);
    jpeg += {3, 1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1};
    jpeg += {'\xFF', '\xDA', 0, 12, 3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0};
    jpeg.append(data, STRIP_HEADER_BYTES, static_cast<size_t>(scanBytes));
    return CountJpegColourPixels(jpeg, memoryLimit, uint64_t{mintWidth} * mintStripRows, enough,
                                 JpegComponents::JetReady);
}

}  // namespace RawPrintData::PCL6
