#include "tests/ParserPcl/PxlWriter.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>

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

// A uint16 box.
PxlWriter& PxlWriter::UInt16Box(uint16_t x1, uint16_t y1, uint16_t x2, uint16_t y2)
{
    mbytData.push_back(0xE1);
    for (const uint16_t value : {x1, y1, x2, y2})
        mNumber(value, 2);
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

// BeginSession with UnitsPerMeasure and Measure inch.
PxlWriter& PxlWriter::Session(uint16_t unitsPerInch)
{
    return UInt16Pair(unitsPerInch, unitsPerInch).Attribute(137).UByte(0).Attribute(134).Operator(0x41);
}

std::string PxlWriter::Jpeg(uint32_t width, uint32_t height, std::string_view pixels)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::string row;
    while (cinfo.next_scanline < height) {
        row.assign(pixels.substr(size_t{cinfo.next_scanline} * width * 3, size_t{width} * 3));
        JSAMPROW rows[] = {reinterpret_cast<JSAMPLE*>(row.data())};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string jpeg(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return jpeg;
}

}  // namespace ParserTestSupport
