#include "tests/ParserPcl/PxlWriter.h"

#include <bit>
#include <string>

namespace ParserTestSupport {

// Writes the header line with its binding byte.
PxlWriter::PxlWriter(bool bigEndian, std::string_view comment) : mblnBigEndian(bigEndian)
{
    const std::string header = std::string(bigEndian ? "(" : ")") + " HP-PCL XL;2;0;" + std::string(comment) + "\n";
    mbytData.assign(header.begin(), header.end());
}

// Appends a number of 1, 2 or 4 bytes in the stream's byte order.
void PxlWriter::mNumber(uint32_t value, int size)
{
    for (int index = 0; index < size; ++index) {
        const int shift = mblnBigEndian ? 8 * (size - 1 - index) : 8 * index;
        mbytData.push_back(static_cast<unsigned char>(value >> shift));
    }
}

// A ubyte value.
PxlWriter& PxlWriter::UByte(uint8_t value)
{
    mbytData.push_back(0xC0);
    mNumber(value, 1);
    return *this;
}

// A uint16 value.
PxlWriter& PxlWriter::UInt16(uint16_t value)
{
    mbytData.push_back(0xC1);
    mNumber(value, 2);
    return *this;
}

// A uint16 xy pair.
PxlWriter& PxlWriter::UInt16Pair(uint16_t x, uint16_t y)
{
    mbytData.push_back(0xD1);
    mNumber(x, 2);
    mNumber(y, 2);
    return *this;
}

// A real32 xy pair, as IEEE singles.
PxlWriter& PxlWriter::Real32Pair(float x, float y)
{
    mbytData.push_back(0xD5);
    mNumber(std::bit_cast<uint32_t>(x), 4);
    mNumber(std::bit_cast<uint32_t>(y), 4);
    return *this;
}

// A ubyte array with a uint16 length.
PxlWriter& PxlWriter::UByteArray(std::string_view elements)
{
    mbytData.push_back(0xC8);
    mbytData.push_back(0xC1);
    mNumber(static_cast<uint32_t>(elements.size()), 2);
    return Bytes(elements);
}

// A one-byte attribute id.
PxlWriter& PxlWriter::Attribute(uint8_t id)
{
    mbytData.push_back(0xF8);
    mbytData.push_back(id);
    return *this;
}

// A two-byte attribute id.
PxlWriter& PxlWriter::Attribute16(uint16_t id)
{
    mbytData.push_back(0xF9);
    mNumber(id, 2);
    return *this;
}

// An operator tag.
PxlWriter& PxlWriter::Operator(uint8_t tag)
{
    mbytData.push_back(tag);
    return *this;
}

// Embedded data with a four-byte length.
PxlWriter& PxlWriter::Embedded(std::string_view data)
{
    mbytData.push_back(0xFA);
    mNumber(static_cast<uint32_t>(data.size()), 4);
    return Bytes(data);
}

// Bytes as they are.
PxlWriter& PxlWriter::Bytes(std::string_view bytes)
{
    mbytData.insert(mbytData.end(), bytes.begin(), bytes.end());
    return *this;
}

// BeginPage with a MediaSize value.
PxlWriter& PxlWriter::BeginPage(uint8_t mediaSize)
{
    return UByte(mediaSize).Attribute(MEDIA_SIZE).Operator(BEGIN_PAGE);
}

// SetColorSpace with a ColorSpace value.
PxlWriter& PxlWriter::ColorSpace(uint8_t colorSpace)
{
    return UByte(colorSpace).Attribute(COLOR_SPACE).Operator(SET_COLOR_SPACE);
}

// Paths with a cursor move and a line each.
PxlWriter& PxlWriter::Drawing(int paths)
{
    constexpr uint8_t END_POINT = 77, NEW_PATH = 0x85, SET_CURSOR = 0x6B, LINE_PATH = 0x73,
                      PAINT_PATH = 0x6C;
    for (int path = 0; path < paths; ++path) {
        Operator(NEW_PATH).UInt16Pair(100, 200).Attribute(POINT).Operator(SET_CURSOR);
        UInt16Pair(300, 400).Attribute(END_POINT).Operator(LINE_PATH).Operator(PAINT_PATH);
    }
    return *this;
}

}  // namespace ParserTestSupport
