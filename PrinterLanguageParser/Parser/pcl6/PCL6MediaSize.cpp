#include "PrinterLanguageParser/Parser/pcl6/PCL6MediaSize.h"

#include <array>
#include <cmath>
#include <limits>

namespace RawPrintData::PCL6 {

namespace {

constexpr std::array<PaperDimensions, 19> MediaSizes = {{
    {2159, 2794},  // 0 Letter
    {2159, 3556},  // 1 Legal
    {2100, 2970},  // 2 A4
    {1842, 2667},  // 3 Executive
    {2794, 4318},  // 4 Ledger
    {2970, 4200},  // 5 A3
    {1048, 2413},  // 6 Commercial Envelope 10
    {984, 1905},   // 7 Monarch Envelope
    {1620, 2290},  // 8 C5 Envelope
    {1100, 2200},  // 9 DL Envelope
    {2500, 3540},  // 10 JIS B4
    {1820, 2570},  // 11 JIS B5
    {1760, 2500},  // 12 B5 Envelope
    {0, 0},        // 13 no size
    {1000, 1480},  // 14 Hagaki Postcard
    {2000, 1480},  // 15 Oufuku-Hagaki Postcard
    {1480, 2100},  // 16 A5
    {1050, 1480},  // 17 A6
    {1280, 1820},  // 18 JIS B6
}};

// One length in tenths of a millimetre, truncated toward zero; 0 when it is
// not a number or lies beyond the 32-bit range the frame reports sizes in.
int64_t ToTenthsOfAMillimeter(double length, double factor)
{
    const double tenths = std::trunc(length * factor);
    if (!std::isfinite(tenths) || std::fabs(tenths) > std::numeric_limits<int32_t>::max())
        return 0;
    return static_cast<int64_t>(tenths);
}

}  // namespace

// Looks the value up in the table.
PaperDimensions MediaSizeDimensions(uint32_t mediaSize)
{
    return mediaSize < MediaSizes.size() ? MediaSizes[mediaSize] : PaperDimensions{};
}

// Converts the custom size by its unit.
PaperDimensions CustomMediaSizeDimensions(uint32_t measure, double x, double y)
{
    double factor = 0;
    switch (measure) {
    case MEASURE_INCH:
        factor = 254;
        break;
    case MEASURE_MILLIMETER:
        factor = 10;
        break;
    case MEASURE_TENTHS_OF_A_MILLIMETER:
        factor = 1;
        break;
    default:
        return {};
    }
    return {ToTenthsOfAMillimeter(x, factor), ToTenthsOfAMillimeter(y, factor)};
}

}  // namespace RawPrintData::PCL6
