#pragma once

#include <cstdint>
#include <string_view>

namespace RawPrintData::PCL6 {

// A paper size in tenths of a millimetre; 0 by 0 is no size.
struct PaperDimensions {
    int64_t mintWidth = 0;
    int64_t mintHeight = 0;
    // The paper's name in the page sets, when it is a known one.
    std::string_view mstrName;
};

// The size of a MediaSize enumeration value (Letter 0, Legal 1, A4 2, ...);
// no size for 13 and for every value from 19 up.
PaperDimensions MediaSizeDimensions(uint32_t mediaSize);

// The units of CustomMediaSize (the CustomMediaSizeUnits value).
enum Measure : uint32_t {
    MEASURE_INCH = 0,
    MEASURE_MILLIMETER = 1,
    MEASURE_TENTHS_OF_A_MILLIMETER = 2,
};

// A custom size x by y in the given units, truncated toward zero; no size for
// an unknown unit or a value beyond what a size can be.
PaperDimensions CustomMediaSizeDimensions(uint32_t measure, double x, double y);

}  // namespace RawPrintData::PCL6
