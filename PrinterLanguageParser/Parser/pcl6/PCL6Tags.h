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
inline constexpr unsigned char TAG_FIRST_DATA_TYPE = 0xC0;
inline constexpr unsigned char TAG_LAST_DATA_TYPE = 0xE5;
inline constexpr unsigned char TAG_FIRST_SINGLE = 0xC0;
inline constexpr unsigned char TAG_FIRST_ARRAY = 0xC8;
inline constexpr unsigned char TAG_FIRST_XY = 0xD0;
inline constexpr unsigned char TAG_FIRST_BOX = 0xE0;
inline constexpr unsigned char TAG_UINT16_XY = 0xD1;
inline constexpr unsigned char TAG_REAL32_XY = 0xD5;
inline constexpr unsigned int ELEMENT_TYPE_COUNT = 6;

inline constexpr unsigned char TAG_ATTRIBUTE_UBYTE = 0xF8;
inline constexpr unsigned char TAG_ATTRIBUTE_UINT16 = 0xF9;
inline constexpr unsigned char TAG_EMBEDDED_DATA = 0xFA;
inline constexpr unsigned char TAG_EMBEDDED_DATA_BYTE = 0xFB;

enum AttributeId : uint32_t {
    ATTRIBUTE_COLOR_SPACE = 3,
    ATTRIBUTE_MEDIA_SIZE = 37,
    ATTRIBUTE_ORIENTATION = 40,
    ATTRIBUTE_CUSTOM_MEDIA_SIZE = 47,
    ATTRIBUTE_CUSTOM_MEDIA_SIZE_UNITS = 48,
    ATTRIBUTE_SIMPLEX_PAGE_MODE = 52,
    ATTRIBUTE_DUPLEX_PAGE_MODE = 53,
    // The count of raw bytes that follow a VendorUnique operator.
    ATTRIBUTE_VU_DATA_LENGTH = 146,
};

enum OperatorType : uint32_t {
    OPERATOR_BEGIN_PAGE = 0x43,
    OPERATOR_END_PAGE = 0x44,
    OPERATOR_VENDOR_UNIQUE = 0x46,
    OPERATOR_SET_COLOR_SPACE = 0x6A,
    OPERATOR_BEGIN_IMAGE = 0xB0,
    OPERATOR_BEGIN_RAST_PATTERN = 0xB3,
};

// ColorSpace values: only RGB is colour.
inline constexpr uint32_t COLOR_SPACE_GRAY = 1;
inline constexpr uint32_t COLOR_SPACE_RGB = 2;

}  // namespace RawPrintData::PCL6
