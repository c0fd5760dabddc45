#pragma once

#include <cstdint>
#include <string_view>

namespace RawPrintData::Postscript {

enum PostscriptColorSpace : int32_t {
    COLOR_SPACE_NONE = 0,
    COLOR_SPACE_DEVICE_GRAY = 1,
    COLOR_SPACE_DEVICE_CMYK = 2,
    COLOR_SPACE_DEVICE_RGB = 3,
    COLOR_SPACE_HSB = 4,
    COLOR_SPACE_DEVICE_N = 5,
    COLOR_SPACE_CIE_BASED_A = 6,
    COLOR_SPACE_CIE_BASED_ABC = 7,
    COLOR_SPACE_CIE_BASED_DEF = 8,
    COLOR_SPACE_CIE_BASED_DEFG = 9,
    COLOR_SPACE_INDEXED = 10,
    COLOR_SPACE_SEPARATION = 11,
};

// The colour space a literal name ("/DeviceRGB" and the like) stands for,
// COLOR_SPACE_NONE for any other text.
PostscriptColorSpace ColorSpaceFromName(std::string_view name);

}  // namespace RawPrintData::Postscript
