#include "PrinterLanguageParser/Parser/Endian.h"

#include <bit>

namespace RawPrintData {

// The 16-bit value, sign-extended.
int16_t Endian::Combine_int16(uint8_t b1, uint8_t b2) const
{
    return static_cast<int16_t>(Combine_uint16(b1, b2));
}

// The 32-bit value as a signed number.
int32_t Endian::Combine_int32(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) const
{
    return static_cast<int32_t>(Combine_uint32(b1, b2, b3, b4));
}

// The 32 bits as a float.
float Endian::Combine_real32(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) const
{
    return std::bit_cast<float>(Combine_uint32(b1, b2, b3, b4));
}

// First byte most significant.
uint16_t BigEndian::Combine_uint16(uint8_t b1, uint8_t b2) const
{
    return static_cast<uint16_t>((b1 << 8) | b2);
}

// First byte most significant.
uint32_t BigEndian::Combine_uint32(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) const
{
    return (uint32_t{b1} << 24) | (uint32_t{b2} << 16) | (uint32_t{b3} << 8) | uint32_t{b4};
}

// First byte least significant.
uint16_t LittleEndian::Combine_uint16(uint8_t b1, uint8_t b2) const
{
    return static_cast<uint16_t>((b2 << 8) | b1);
}

// First byte least significant.
uint32_t LittleEndian::Combine_uint32(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) const
{
    return (uint32_t{b4} << 24) | (uint32_t{b3} << 16) | (uint32_t{b2} << 8) | uint32_t{b1};
}

}  // namespace RawPrintData
