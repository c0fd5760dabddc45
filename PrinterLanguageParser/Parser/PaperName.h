#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

namespace RawPrintData {

// Paper names live in fixed records of 256 characters that are NUL-padded and
// not terminated when the name fills all of them; these helpers never read or
// write past the record.
inline constexpr size_t PAPER_NAME_LENGTH = 256;

// The name held in a record, up to its first NUL or the record's end.
inline std::string_view PaperNameView(const char (&name)[PAPER_NAME_LENGTH])
{
    return std::string_view(name, strnlen(name, PAPER_NAME_LENGTH));
}

// Stores a name as strncpy would: cut at its first NUL and at 256 characters,
// the rest of the record NUL-filled.
inline void StorePaperName(char (&name)[PAPER_NAME_LENGTH], std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    const size_t length = std::min(text.size(), PAPER_NAME_LENGTH);
    if (length > 0)
        std::memcpy(name, text.data(), length);
    std::memset(name + length, 0, PAPER_NAME_LENGTH - length);
}

// A paper that printers stock, in tenths of a millimetre.
struct KnownPaper {
    std::string_view mstrName;
    int32_t mintWidth;
    int32_t mintHeight;
};

// The papers the printer languages name, under the name the page sets use,
// then other names the languages give the same papers (PJL PAPER, PCL XL
// MediaSize names). Searches by size find the first entry, so each size's
// page-set name comes before its other names.
inline constexpr std::array<KnownPaper, 37> KNOWN_PAPERS = {{
    {"Letter", 2159, 2794},
    {"Legal", 2159, 3556},
    {"Executive", 1842, 2667},
    {"Ledger", 2794, 4318},
    {"A5", 1480, 2100},
    {"A4", 2100, 2970},
    {"A3", 2970, 4200},
    {"A6", 1050, 1480},
    {"A2", 4200, 5940},
    {"JIS B5", 1820, 2570},
    {"JIS B4", 2570, 3640},
    {"JIS B6", 1280, 1820},
    {"B4", 2500, 3530},
    {"Hagaki Postcard", 1000, 1480},
    {"Oufuku-Hagaki Postcard", 2000, 1480},
    {"Monarch Envelope", 984, 1905},
    {"Commercial Envelope 10", 1048, 2413},
    {"DL", 1100, 2200},
    {"C5", 1620, 2290},
    {"B5", 1760, 2500},
    {"Statement", 1397, 2159},
    {"Folio", 2159, 3302},
    // Other names of the same papers.
    {"Tabloid", 2794, 4318},
    {"Exec", 1842, 2667},
    {"JISB5", 1820, 2570},
    {"JB5", 1820, 2570},
    {"JISB4", 2570, 3640},
    {"JB4", 2570, 3640},
    {"JB6", 1280, 1820},
    {"Hagaki", 1000, 1480},
    {"JPost", 1000, 1480},
    {"JPostD", 2000, 1480},
    {"Monarch", 984, 1905},
    {"Com10", 1048, 2413},
    {"ISOB5", 1760, 2500},
    {"ISOB4", 2500, 3530},
    {"B5Envelope", 1760, 2500},
}};

// How far a size converted from whole points may lie from a paper's size.
inline constexpr int32_t KNOWN_PAPER_TOLERANCE = 5;

// The known paper of a name, compared without regard to case.
inline std::optional<KnownPaper> LookUpKnownPaper(std::string_view name)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    const auto same = [&](const KnownPaper& paper) {
        return paper.mstrName.size() == name.size() &&
               std::equal(name.begin(), name.end(), paper.mstrName.begin(),
                          [&](char left, char right) { return lower(left) == lower(right); });
    };
    const auto found = std::find_if(KNOWN_PAPERS.begin(), KNOWN_PAPERS.end(), same);
    if (found == KNOWN_PAPERS.end())
        return std::nullopt;
    return *found;
}

// The first known paper of exactly this size as given, for pages given by
// size only.
inline std::optional<KnownPaper> LookUpKnownPaper(int64_t width, int64_t height)
{
    const auto found = std::find_if(KNOWN_PAPERS.begin(), KNOWN_PAPERS.end(), [width, height](const KnownPaper& paper) {
        return paper.mintWidth == width && paper.mintHeight == height;
    });
    if (found == KNOWN_PAPERS.end())
        return std::nullopt;
    return *found;
}

// The known paper of a size given either way round, within the tolerance, or
// null.
inline const KnownPaper* FindKnownPaper(int32_t width, int32_t height, int32_t tolerance = KNOWN_PAPER_TOLERANCE)
{
    const int32_t shorter = std::min(width, height);
    const int32_t longer = std::max(width, height);
    for (const KnownPaper& paper : KNOWN_PAPERS) {
        const int32_t paperShorter = std::min(paper.mintWidth, paper.mintHeight);
        const int32_t paperLonger = std::max(paper.mintWidth, paper.mintHeight);
        if (std::abs(paperShorter - shorter) <= tolerance && std::abs(paperLonger - longer) <= tolerance)
            return &paper;
    }
    return nullptr;
}

// Whether the size is no known paper but a larger known paper holds it in the
// same orientation: the size is then an area drawn on that paper (its
// imageable area, a box around the marks), not a paper.
inline bool IsInsideKnownPaper(int32_t width, int32_t height)
{
    if (FindKnownPaper(width, height) != nullptr)
        return false;
    const bool portrait = width <= height;
    for (const KnownPaper& paper : KNOWN_PAPERS) {
        const int32_t paperShorter = std::min(paper.mintWidth, paper.mintHeight);
        const int32_t paperLonger = std::max(paper.mintWidth, paper.mintHeight);
        const int32_t paperWidth = portrait ? paperShorter : paperLonger;
        const int32_t paperHeight = portrait ? paperLonger : paperShorter;
        if (width <= paperWidth + KNOWN_PAPER_TOLERANCE && height <= paperHeight + KNOWN_PAPER_TOLERANCE &&
            (width < paperWidth - KNOWN_PAPER_TOLERANCE || height < paperHeight - KNOWN_PAPER_TOLERANCE))
            return true;
    }
    return false;
}

// The smallest known paper that holds an area given either way round (an
// imageable area, which some printers report in place of the paper), or null.
inline const KnownPaper* SmallestKnownPaperHolding(int32_t width, int32_t height,
                                                   int32_t tolerance = KNOWN_PAPER_TOLERANCE)
{
    const int32_t shorter = std::min(width, height);
    const int32_t longer = std::max(width, height);
    const KnownPaper* best = nullptr;
    for (const KnownPaper& paper : KNOWN_PAPERS) {
        const int32_t paperShorter = std::min(paper.mintWidth, paper.mintHeight);
        const int32_t paperLonger = std::max(paper.mintWidth, paper.mintHeight);
        if (paperShorter + tolerance < shorter || paperLonger + tolerance < longer)
            continue;
        if (best == nullptr ||
            static_cast<int64_t>(paper.mintWidth) * paper.mintHeight < static_cast<int64_t>(best->mintWidth) * best->mintHeight)
            best = &paper;
    }
    return best;
}

}  // namespace RawPrintData
