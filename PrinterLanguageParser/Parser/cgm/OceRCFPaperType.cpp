#include "PrinterLanguageParser/Parser/cgm/OceRCFPaperType.h"

#include <array>

namespace RawPrintData::CGM {

namespace {

// Indexed by paper-type number. The roll widths are 6069 as the printers
// report them.
constexpr std::array<OceRCFPaper, 31> PAPER_TYPES = {{
    {"A0", 8410, 11890},
    {"A1", 5940, 8410},
    {"A2", 4200, 5940},
    {"A3", 2970, 4200},
    {"A4", 2100, 2970},
    {"Arch E (Small)", 8636, 11176},
    {"Arch D (Small)", 5588, 8636},
    {"Arch C (Small)", 4318, 5588},
    {"Arch B (Small)", 2794, 4318},
    {"Arch A (Small)", 2159, 2794},
    {"Arch E", 9144, 12190},
    {"Arch D", 6096, 9144},
    {"Arch C", 4572, 6096},
    {"Arch B", 3048, 4572},
    {"Arch A", 2286, 3048},
    {"B1", 7070, 10000},
    {"B2", 5000, 7070},
    {"B3", 3530, 5000},
    {"B4", 2500, 3530},
    {"30 inch", 6069, 7620},
    {"500mm", 6069, 5000},
    {"700mm", 6069, 7000},
    {"B1 (J)", 7280, 10300},
    {"B2 (J)", 5150, 7280},
    {"B3 (J)", 3640, 5150},
    {"B4 (J)", 2570, 3640},
    {"B5 (J)", 1820, 2570},
    {"A5", 1480, 2100},
    {"Postcard", 1000, 1480},
    {"Legal", 2159, 3556},
    {"Executive", 1905, 2540},
}};

constexpr OceRCFPaper LETTER{"Letter", 2159, 2794};

}  // namespace

// Looks the paper type up.
const OceRCFPaper& OceRCFPaperType(uint32_t paperType)
{
    return paperType < PAPER_TYPES.size() ? PAPER_TYPES[paperType] : LETTER;
}

}  // namespace RawPrintData::CGM
