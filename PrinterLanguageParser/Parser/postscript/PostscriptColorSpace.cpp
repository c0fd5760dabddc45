#include "PrinterLanguageParser/Parser/postscript/PostscriptColorSpace.h"

#include <array>
#include <utility>

namespace RawPrintData::Postscript {

namespace {

constexpr std::array<std::pair<std::string_view, PostscriptColorSpace>, 11> COLOR_SPACE_NAMES = {{
    {"/DeviceGray", COLOR_SPACE_DEVICE_GRAY},
    {"/DeviceCMYK", COLOR_SPACE_DEVICE_CMYK},
    {"/DeviceRGB", COLOR_SPACE_DEVICE_RGB},
    {"/DeviceN", COLOR_SPACE_DEVICE_N},
    {"/CIEBasedA", COLOR_SPACE_CIE_BASED_A},
    {"/CIEBasedABC", COLOR_SPACE_CIE_BASED_ABC},
    {"/Cs1", COLOR_SPACE_CIE_BASED_ABC},
    {"/CIEBasedDEF", COLOR_SPACE_CIE_BASED_DEF},
    {"/CIEBasedDEFG", COLOR_SPACE_CIE_BASED_DEFG},
    {"/Indexed", COLOR_SPACE_INDEXED},
    {"/Separation", COLOR_SPACE_SEPARATION},
}};

}  // namespace

// Maps a colour-space name.
PostscriptColorSpace ColorSpaceFromName(std::string_view name)
{
    for (const auto& [text, space] : COLOR_SPACE_NAMES) {
        if (text == name)
            return space;
    }
    return COLOR_SPACE_NONE;
}

}  // namespace RawPrintData::Postscript
