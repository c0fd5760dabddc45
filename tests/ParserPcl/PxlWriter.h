#pragma once

#include "tests/Parser/ParseOutcome.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ParserTestSupport {

// Writes PCL XL for tests: a stream header, then values, attribute ids,
// operators and embedded data in the stream's byte order.
class PxlWriter {
public:
    // Attribute ids and operators the tests use.
    static constexpr uint8_t COLOR_SPACE = 3, MEDIA_SIZE = 37, ORIENTATION = 40, CUSTOM_MEDIA_SIZE = 47,
                             CUSTOM_MEDIA_SIZE_UNITS = 48, SIMPLEX_PAGE_MODE = 52, DUPLEX_PAGE_MODE = 53,
                             POINT = 76;
    static constexpr uint8_t BEGIN_PAGE = 0x43, END_PAGE = 0x44, SET_COLOR_SPACE = 0x6A, BEGIN_IMAGE = 0xB0,
                             READ_IMAGE = 0xB1, BEGIN_RAST_PATTERN = 0xB3,
                             READ_CHAR = 0x53;

    // Starts a stream with its header line; the comment may hold anything
    // but a line feed.
    explicit PxlWriter(bool bigEndian = false, std::string_view comment = "Comment test");

    PxlWriter& UByte(uint8_t value);
    PxlWriter& UInt16(uint16_t value);
    PxlWriter& UInt16Pair(uint16_t x, uint16_t y);
    PxlWriter& UInt16Box(uint16_t x1, uint16_t y1, uint16_t x2, uint16_t y2);
    PxlWriter& Real32Pair(float x, float y);
    PxlWriter& UByteArray(std::string_view elements);
    PxlWriter& Attribute(uint8_t id);
    PxlWriter& Attribute16(uint16_t id);
    PxlWriter& Operator(uint8_t tag);
    PxlWriter& Embedded(std::string_view data);
    PxlWriter& Bytes(std::string_view bytes);

    // BeginPage with a MediaSize enumeration value, and EndPage.
    PxlWriter& BeginPage(uint8_t mediaSize);
    PxlWriter& EndPage() { return Operator(END_PAGE); }
    // SetColorSpace with a ColorSpace value.
    PxlWriter& ColorSpace(uint8_t colorSpace);
    // Paths drawn as vector drivers draw them: NewPath, SetCursor, LinePath
    // and PaintPath, with points the parser drops.
    PxlWriter& Drawing(int paths);

    // BeginSession measuring in units of an inch.
    PxlWriter& Session(uint16_t unitsPerInch);

    // A JPEG of RGB pixels (three bytes each, row after row), for JPEG blocks.
    static std::string Jpeg(uint32_t width, uint32_t height, std::string_view pixels);

    const ParserTestSupport::Bytes& Data() const { return mbytData; }

private:
    void mNumber(uint32_t value, int size);

    bool mblnBigEndian;
    ParserTestSupport::Bytes mbytData;
};

}  // namespace ParserTestSupport
