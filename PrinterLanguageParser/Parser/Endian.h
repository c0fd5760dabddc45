#pragma once

#include <cstdint>

namespace RawPrintData {

// Assembles numbers from bytes given in stream order; BigEndian makes the
// first byte the most significant, LittleEndian the least significant.
class Endian {
public:
    virtual ~Endian() = default;

    virtual uint16_t Combine_uint16(uint8_t b1, uint8_t b2) const = 0;
    virtual int16_t Combine_int16(uint8_t b1, uint8_t b2) const;
    virtual uint32_t Combine_uint32(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) const = 0;
    virtual int32_t Combine_int32(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) const;
    // The assembled 32 bits read as an IEEE 754 single.
    virtual float Combine_real32(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) const;

protected:
    Endian() = default;
    Endian(const Endian&) = default;
    Endian& operator=(const Endian&) = default;
};

class BigEndian final : public Endian {
public:
    uint16_t Combine_uint16(uint8_t b1, uint8_t b2) const override;
    uint32_t Combine_uint32(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) const override;
};

class LittleEndian final : public Endian {
public:
    uint16_t Combine_uint16(uint8_t b1, uint8_t b2) const override;
    uint32_t Combine_uint32(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) const override;
};

}  // namespace RawPrintData
