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

// A standard paper, portrait, in tenths of a millimetre.
struct KnownPaper {
    std::string_view mstrName;
    int32_t mintWidth;
    int32_t mintHeight;
};

// The standard papers, named as the language tables name them.
inline constexpr std::array<KnownPaper, 17> KNOWN_PAPERS = {{
    {"Hagaki Postcard", 1000, 1480},
    {"A6", 1050, 1480},
    {"Monarch Envelope", 984, 1905},
    {"Commercial Envelope 10", 1048, 2413},
    {"DL", 1100, 2200},
    {"A5", 1480, 2100},
    {"C5", 1620, 2290},
    {"B5", 1760, 2500},
    {"JIS B5", 1820, 2570},
    {"Executive", 1842, 2667},
    {"A4", 2100, 2970},
    {"Letter", 2159, 2794},
    {"Legal", 2159, 3556},
    {"JIS B4", 2500, 3540},
    {"A3", 2970, 4200},
    {"Ledger", 2794, 4318},
    {"A2", 4200, 5940},
}};

// The standard paper of a size given either way round, within a tolerance
// (the size a document gives in points rarely converts to whole tenths).
inline std::optional<KnownPaper> FindKnownPaper(int32_t width, int32_t height, int32_t tolerance = 10)
{
    const int32_t shortSide = std::min(width, height);
    const int32_t longSide = std::max(width, height);
    for (const KnownPaper& paper : KNOWN_PAPERS) {
        if (std::abs(paper.mintWidth - shortSide) <= tolerance && std::abs(paper.mintHeight - longSide) <= tolerance)
            return paper;
    }
    return std::nullopt;
}

// The smallest standard paper that holds an area given either way round (an
// imageable area, which printers report instead of the paper), or none.
inline std::optional<KnownPaper> SmallestKnownPaperHolding(int32_t width, int32_t height, int32_t tolerance = 10)
{
    const int32_t shortSide = std::min(width, height);
    const int32_t longSide = std::max(width, height);
    std::optional<KnownPaper> best;
    for (const KnownPaper& paper : KNOWN_PAPERS) {
        if (paper.mintWidth + tolerance < shortSide || paper.mintHeight + tolerance < longSide)
            continue;
        if (!best || static_cast<int64_t>(paper.mintWidth) * paper.mintHeight <
                         static_cast<int64_t>(best->mintWidth) * best->mintHeight)
            best = paper;
    }
    return best;
}

}  // namespace RawPrintData
