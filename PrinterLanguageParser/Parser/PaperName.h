#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
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

// A paper that printers stock, with its size in tenths of a millimetre
// (portrait: width not above height).
struct KnownPaper {
    std::string_view mstrName;
    int32_t mintWidth;
    int32_t mintHeight;
};

inline constexpr std::array<KnownPaper, 16> KNOWN_PAPERS = {{
    {"A3", 2970, 4200},
    {"A4", 2100, 2970},
    {"A5", 1480, 2100},
    {"A6", 1050, 1480},
    {"B4", 2500, 3530},
    {"B5", 1760, 2500},
    {"JIS B4", 2570, 3640},
    {"JIS B5", 1820, 2570},
    {"Letter", 2159, 2794},
    {"Legal", 2159, 3556},
    {"Executive", 1842, 2667},
    {"Statement", 1397, 2159},
    {"Tabloid", 2794, 4318},
    {"Folio", 2159, 3302},
    {"DL", 1100, 2200},
    {"C5", 1620, 2290},
}};

// How far a size given in whole points may lie from a paper's exact size.
inline constexpr int32_t KNOWN_PAPER_TOLERANCE = 5;

// The known paper of the size, in either orientation, or null.
inline const KnownPaper* FindKnownPaper(int32_t width, int32_t height)
{
    const int32_t shorter = std::min(width, height);
    const int32_t longer = std::max(width, height);
    for (const KnownPaper& paper : KNOWN_PAPERS) {
        if (std::abs(paper.mintWidth - shorter) <= KNOWN_PAPER_TOLERANCE &&
            std::abs(paper.mintHeight - longer) <= KNOWN_PAPER_TOLERANCE)
            return &paper;
    }
    return nullptr;
}

// Whether the size is no known paper but a known paper is larger and holds
// it in the same orientation: the size is then an area drawn on that paper
// (its imageable area, a box around the marks), not a paper.
inline bool IsInsideKnownPaper(int32_t width, int32_t height)
{
    if (FindKnownPaper(width, height) != nullptr)
        return false;
    const bool portrait = width <= height;
    for (const KnownPaper& paper : KNOWN_PAPERS) {
        const int32_t paperWidth = portrait ? paper.mintWidth : paper.mintHeight;
        const int32_t paperHeight = portrait ? paper.mintHeight : paper.mintWidth;
        if (width <= paperWidth + KNOWN_PAPER_TOLERANCE && height <= paperHeight + KNOWN_PAPER_TOLERANCE &&
            (width < paperWidth - KNOWN_PAPER_TOLERANCE || height < paperHeight - KNOWN_PAPER_TOLERANCE))
            return true;
    }
    return false;
}

}  // namespace RawPrintData
