#include "PrinterLanguageParser/Parser/pcl5/PCL5PaperSize.h"

#include <algorithm>
#include <array>
#include <utility>

namespace RawPrintData::PCL5 {

namespace {

constexpr std::array<std::pair<int32_t, PCL5Paper>, 16> PaperSizes = {{
    {PAPER_EXECUTIVE, {"Executive", 1842, 2667}},
    {PAPER_LETTER, {"Letter", 2159, 2794}},
    {PAPER_LEGAL, {"Legal", 2159, 3556}},
    {PAPER_LEDGER, {"Ledger", 2794, 4318}},
    {PAPER_A5, {"A5", 1480, 2100}},
    {PAPER_A4, {"A4", 2100, 2970}},
    {PAPER_A3, {"A3", 2970, 4200}},
    {PAPER_JIS_B5, {"JIS B5", 1820, 2570}},
    {PAPER_JIS_B4, {"JIS B4", 2500, 3540}},
    {PAPER_HAGAKI, {"Hagaki Postcard", 1000, 1480}},
    {PAPER_OUFUKU_HAGAKI, {"Oufuku-Hagaki Postcard", 2000, 1480}},
    {PAPER_MONARCH_ENVELOPE, {"Monarch Envelope", 984, 1905}},
    {PAPER_COMMERCIAL_ENVELOPE_10, {"Commercial Envelope 10", 1048, 2413}},
    {PAPER_DL, {"DL", 1100, 2200}},
    {PAPER_C5, {"C5", 1620, 2290}},
    {PAPER_B5, {"B5", 1760, 2500}},
}};

}  // namespace

// Finds the code in the table.
std::optional<PCL5Paper> LookUpPaperSize(int32_t code)
{
    const auto found = std::find_if(PaperSizes.begin(), PaperSizes.end(),
                                    [code](const auto& entry) { return entry.first == code; });
    if (found == PaperSizes.end())
        return std::nullopt;
    return found->second;
}

}  // namespace RawPrintData::PCL5
