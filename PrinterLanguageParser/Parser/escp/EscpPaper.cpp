#include "PrinterLanguageParser/Parser/escp/EscpPaper.h"

#include <array>
#include <cctype>
#include <utility>

namespace RawPrintData::ESCP {

namespace {

using namespace PCL5;

// ESC/Page paper-size codes and the page-size codes of the same papers.
constexpr std::array<std::pair<int64_t, PCL5PaperSize>, 8> ESCPAGE_PAPERS = {{
    {13, PAPER_A3},
    {14, PAPER_A4},
    {15, PAPER_A5},
    {24, PAPER_JIS_B4},
    {25, PAPER_JIS_B5},
    {30, PAPER_LETTER},
    {32, PAPER_LEGAL},
    {36, PAPER_LEDGER},
}};

// EJL paper names (upper case) and the page-size codes of the same papers.
constexpr std::array<std::pair<std::string_view, PCL5PaperSize>, 11> EJL_PAPERS = {{
    {"A3", PAPER_A3},
    {"A4", PAPER_A4},
    {"A5", PAPER_A5},
    {"B4", PAPER_JIS_B4},
    {"B5", PAPER_JIS_B5},
    {"IB5", PAPER_B5},
    {"LT", PAPER_LETTER},
    {"LETTER", PAPER_LETTER},
    {"LGL", PAPER_LEGAL},
    {"LEGAL", PAPER_LEGAL},
    {"B", PAPER_LEDGER},
}};

// Every page-size code the known papers have.
constexpr std::array<PCL5PaperSize, 16> KNOWN_CODES = {
    PAPER_EXECUTIVE, PAPER_LETTER,           PAPER_LEGAL,          PAPER_LEDGER,
    PAPER_A5,        PAPER_A4,               PAPER_A3,             PAPER_JIS_B5,
    PAPER_JIS_B4,    PAPER_HAGAKI,           PAPER_OUFUKU_HAGAKI,  PAPER_MONARCH_ENVELOPE,
    PAPER_COMMERCIAL_ENVELOPE_10, PAPER_DL,  PAPER_C5,             PAPER_B5,
};

// Tenths of a millimetre a stated width may differ from the paper's, and a
// stated length may fall short of or run past it.
constexpr int64_t WIDTH_TOLERANCE = 20;
constexpr int64_t LENGTH_SHORTFALL = 20;
constexpr int64_t LENGTH_EXCESS = 90;

// Whether two names are equal but for the case of their letters.
bool SameName(std::string_view text, std::string_view upper)
{
    if (text.size() != upper.size())
        return false;
    for (size_t index = 0; index < text.size(); ++index) {
        if (std::toupper(static_cast<unsigned char>(text[index])) != upper[index])
            return false;
    }
    return true;
}

}  // namespace

// Looks the code up.
std::optional<KnownPaper> EscPagePaper(int64_t code)
{
    for (const auto& [escPageCode, paper] : ESCPAGE_PAPERS) {
        if (escPageCode == code)
            return LookUpPaperSize(paper);
    }
    return std::nullopt;
}

// Looks the name up, whatever the case of its letters.
std::optional<KnownPaper> EjlPaper(std::string_view name)
{
    for (const auto& [ejlName, paper] : EJL_PAPERS) {
        if (SameName(name, ejlName))
            return LookUpPaperSize(paper);
    }
    return std::nullopt;
}

// Takes the paper of the nearest length among those of a fitting width.
std::optional<KnownPaper> PaperOfSize(int64_t width, int64_t length)
{
    std::optional<KnownPaper> best;
    int64_t bestDistance = 0;
    for (const PCL5PaperSize code : KNOWN_CODES) {
        const std::optional<KnownPaper> paper = LookUpPaperSize(code);
        if (!paper.has_value())
            continue;
        if (width != 0 && (width < paper->mintWidth - WIDTH_TOLERANCE || width > paper->mintWidth + WIDTH_TOLERANCE))
            continue;
        const int64_t excess = length - paper->mintHeight;
        if (excess < -LENGTH_SHORTFALL || excess > LENGTH_EXCESS)
            continue;
        const int64_t distance = excess < 0 ? -excess : excess;
        if (!best.has_value() || distance < bestDistance) {
            best = paper;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace RawPrintData::ESCP
