#pragma once

#include <cstdint>

namespace RawPrintData::PCL6 {

// The binary tags of a PCL XL stream, the attribute ids and operators the
// parser acts on, and the enumeration values it reads.

// The first byte of a stream header selects the byte order of what follows.
inline constexpr unsigned char BINDING_LITTLE_ENDIAN = ')';
inline constexpr unsigned char BINDING_BIG_ENDIAN = '(';

inline constexpr unsigned char TAG_ESCAPE = 0x1B;
inline constexpr unsigned char TAG_FIRST_OPERATOR = 0x41;
inline constexpr unsigned char TAG_LAST_OPERATOR = 0xBF;

// Data types: a single value, an array, an xy pair and a box of each of the
// six element types ubyte, uint16, uint32, sint16, sint32 and real32.
inline constexpr unsigned char TAG_UBYTE = 0xC0;
inline constexpr unsigned char TAG_UINT16 = 0xC1;
inline constexpr unsigned char TAG_FIRST_DATA_TYPE = 0xC0;
inline constexpr unsigned char TAG_LAST_DATA_TYPE = 0xE5;
inline constexpr unsigned char TAG_FIRST_SINGLE = 0xC0;
inline constexpr unsigned char TAG_FIRST_ARRAY = 0xC8;
inline constexpr unsigned char TAG_FIRST_XY = 0xD0;
inline constexpr unsigned char TAG_FIRST_BOX = 0xE0;
inline constexpr unsigned char TAG_UINT16_XY = 0xD1;
inline constexpr unsigned char TAG_REAL32_XY = 0xD5;
inline constexpr unsigned char TAG_REAL32_ARRAY = 0xCD;
inline constexpr unsigned int ELEMENT_TYPE_COUNT = 6;

inline constexpr unsigned char TAG_ATTRIBUTE_UBYTE = 0xF8;
inline constexpr unsigned char TAG_ATTRIBUTE_UINT16 = 0xF9;
inline constexpr unsigned char TAG_EMBEDDED_DATA = 0xFA;
inline constexpr unsigned char TAG_EMBEDDED_DATA_BYTE = 0xFB;

enum AttributeId : uint32_t {
    ATTRIBUTE_PALETTE_DEPTH = 2,
    ATTRIBUTE_COLOR_SPACE = 3,
    ATTRIBUTE_NULL_BRUSH = 4,
    ATTRIBUTE_NULL_PEN = 5,
    ATTRIBUTE_PALETTE_DATA = 6,
    ATTRIBUTE_PALETTE_INDEX = 7,
    ATTRIBUTE_PATTERN_SELECT_ID = 8,
    ATTRIBUTE_GRAY_LEVEL = 9,
    ATTRIBUTE_RGB_COLOR = 11,
    ATTRIBUTE_PRIMARY_ARRAY = 14,
    ATTRIBUTE_MEDIA_SIZE = 37,
    ATTRIBUTE_ORIENTATION = 40,
    ATTRIBUTE_PAGE_SCALE = 43,
    ATTRIBUTE_ROP3 = 44,
    ATTRIBUTE_TX_MODE = 45,
    ATTRIBUTE_CUSTOM_MEDIA_SIZE = 47,
    ATTRIBUTE_CUSTOM_MEDIA_SIZE_UNITS = 48,
    ATTRIBUTE_SIMPLEX_PAGE_MODE = 52,
    ATTRIBUTE_DUPLEX_PAGE_MODE = 53,
    ATTRIBUTE_BOUNDING_BOX = 66,
    ATTRIBUTE_END_POINT = 69,
    ATTRIBUTE_PEN_WIDTH = 75,
    ATTRIBUTE_POINT = 76,
    ATTRIBUTE_NUMBER_OF_POINTS = 77,
    ATTRIBUTE_POINT_TYPE = 80,
    ATTRIBUTE_CONTROL_POINT_1 = 81,
    ATTRIBUTE_CONTROL_POINT_2 = 82,
    ATTRIBUTE_COLOR_DEPTH = 98,
    ATTRIBUTE_BLOCK_HEIGHT = 99,
    ATTRIBUTE_COLOR_MAPPING = 100,
    ATTRIBUTE_COMPRESS_MODE = 101,
    ATTRIBUTE_DESTINATION_SIZE = 103,
    ATTRIBUTE_PATTERN_DEFINE_ID = 105,
    ATTRIBUTE_SOURCE_HEIGHT = 107,
    ATTRIBUTE_SOURCE_WIDTH = 108,
    ATTRIBUTE_START_LINE = 109,
    ATTRIBUTE_PAD_BYTES_MULTIPLE = 110,
    ATTRIBUTE_MEASURE = 134,
    ATTRIBUTE_UNITS_PER_MEASURE = 137,
    // The count of raw bytes that follow a VendorUnique operator.
    ATTRIBUTE_VU_DATA_LENGTH = 146,
    ATTRIBUTE_CHAR_CODE = 162,
    ATTRIBUTE_CHAR_SCALE = 164,
    ATTRIBUTE_CHAR_SIZE = 166,
    ATTRIBUTE_FONT_NAME = 168,
    ATTRIBUTE_TEXT_DATA = 171,
};

enum OperatorType : uint32_t {
    OPERATOR_BEGIN_SESSION = 0x41,
    OPERATOR_BEGIN_PAGE = 0x43,
    OPERATOR_END_PAGE = 0x44,
    OPERATOR_VENDOR_UNIQUE = 0x46,
    OPERATOR_BEGIN_FONT_HEADER = 0x4F,
    OPERATOR_READ_FONT_HEADER = 0x50,
    OPERATOR_END_FONT_HEADER = 0x51,
    OPERATOR_BEGIN_CHAR = 0x52,
    OPERATOR_READ_CHAR = 0x53,
    OPERATOR_REMOVE_FONT = 0x55,
    OPERATOR_POP_GS = 0x60,
    OPERATOR_PUSH_GS = 0x61,
    OPERATOR_SET_BRUSH_SOURCE = 0x63,
    OPERATOR_SET_CHAR_SCALE = 0x65,
    OPERATOR_SET_COLOR_SPACE = 0x6A,
    OPERATOR_SET_CURSOR = 0x6B,
    OPERATOR_SET_CURSOR_REL = 0x6C,
    OPERATOR_SET_FONT = 0x6F,
    OPERATOR_SET_PAGE_DEFAULT_CTM = 0x74,
    OPERATOR_SET_PAGE_SCALE = 0x77,
    OPERATOR_SET_PEN_SOURCE = 0x79,
    OPERATOR_SET_PEN_WIDTH = 0x7A,
    OPERATOR_SET_ROP = 0x7B,
    OPERATOR_SET_SOURCE_TX_MODE = 0x7C,
    OPERATOR_NEW_PATH = 0x85,
    OPERATOR_PAINT_PATH = 0x86,
    OPERATOR_ARC_PATH = 0x91,
    OPERATOR_BEZIER_PATH = 0x93,
    OPERATOR_BEZIER_REL_PATH = 0x95,
    OPERATOR_CHORD = 0x96,
    OPERATOR_CHORD_PATH = 0x97,
    OPERATOR_ELLIPSE = 0x98,
    OPERATOR_ELLIPSE_PATH = 0x99,
    OPERATOR_LINE_PATH = 0x9B,
    OPERATOR_LINE_REL_PATH = 0x9D,
    OPERATOR_PIE = 0x9E,
    OPERATOR_PIE_PATH = 0x9F,
    OPERATOR_RECTANGLE = 0xA0,
    OPERATOR_RECTANGLE_PATH = 0xA1,
    OPERATOR_ROUND_RECTANGLE = 0xA2,
    OPERATOR_ROUND_RECTANGLE_PATH = 0xA3,
    OPERATOR_TEXT = 0xA8,
    OPERATOR_TEXT_PATH = 0xA9,
    OPERATOR_BEGIN_IMAGE = 0xB0,
    OPERATOR_READ_IMAGE = 0xB1,
    OPERATOR_END_IMAGE = 0xB2,
    OPERATOR_BEGIN_RAST_PATTERN = 0xB3,
    OPERATOR_READ_RAST_PATTERN = 0xB4,
    OPERATOR_END_RAST_PATTERN = 0xB5,
    OPERATOR_BEGIN_SCAN = 0xB6,
};

// ColorSpace values: grey, and the RGB spaces that are colour.
inline constexpr uint32_t COLOR_SPACE_GRAY = 1;
inline constexpr uint32_t COLOR_SPACE_RGB = 2;
// Calibrated RGB and sRGB, colour spaces of later PCL XL versions.
inline constexpr uint32_t COLOR_SPACE_CRGB = 5;
inline constexpr uint32_t COLOR_SPACE_SRGB = 6;

}  // namespace RawPrintData::PCL6
