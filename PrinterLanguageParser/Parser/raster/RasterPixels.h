#pragma once

#include <cups/raster.h>

#include <cstdint>
#include <cstring>
#include <span>

namespace RawPrintData::Raster {

// A field of the page header as the number the file holds: the header's
// enumerations (colour space, order, booleans) may hold any value.
template <typename Field>
uint32_t HeaderNumber(const Field& field)
{
    static_assert(sizeof(Field) == sizeof(uint32_t));
    uint32_t value = 0;
    std::memcpy(&value, &field, sizeof value);
    return value;
}

// How a page's colour is found from its header and pixels.
enum class RasterColorTest {
    Mono,     // a grey colour space: every pixel is grey
    Pixels,   // a colour space whose pixels are tested (NonNeutralDots)
    Color,    // a colour space whose pixels cannot be told grey
};

// The test for a page header.
RasterColorTest ColorTestFor(const cups_page_header2_t& header);

// The pixels of one line (chunky order) that are not neutral by the colour
// rule: red, green and blue, or those that cyan, magenta, yellow and black
// give, apart by more than its tolerance.
uint64_t NonNeutralDots(const cups_page_header2_t& header, std::span<const unsigned char> line);

}  // namespace RawPrintData::Raster
