#include "PrinterLanguageParser/Parser/pcl6/PCL6MediaSize.h"

#include "PrinterLanguageParser/Parser/PaperName.h"

#include <array>
#include <cmath>
#include <limits>

namespace RawPrintData::PCL6 {

namespace {

// The paper of each MediaSize value by its name in the known-paper table;
// 13 has none.
constexpr std::array<std::string_view, 19> MediaSizes = {{
    "Letter",
    "Legal",
    "A4",
    "Executive",
    "Ledger",
    "A3",
    "Commercial Envelope 10",
    "Monarch Envelope",
    "C5",
    "DL",
    "JIS B4",
    "JIS B5",
    "B5",
    "",
    "Hagaki Postcard",
    "Oufuku-Hagaki Postcard",
    "A5",
    "A6",
    "JIS B6",
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
    if (mediaSize >= MediaSizes.size())
        return {};
    const std::optional<KnownPaper> paper = LookUpKnownPaper(MediaSizes[mediaSize]);
    if (!paper.has_value())
        return {};
    return {paper->mintWidth, paper->mintHeight, paper->mstrName};
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
    return {ToTenthsOfAMillimeter(x, factor), ToTenthsOfAMillimeter(y, factor), {}};
}

}  // namespace RawPrintData::PCL6
