#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
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

// A paper the parser knows, in tenths of a millimetre.
struct KnownPaper {
    std::string_view mstrName;
    int32_t mintWidth;
    int32_t mintHeight;
};

// The papers the printer languages name, under the name the page sets use,
// then the other names the languages give them (PJL PAPER, PCL XL MediaSize
// names).
inline constexpr std::array<KnownPaper, 33> KNOWN_PAPERS = {{
    {"Letter", 2159, 2794},
    {"Legal", 2159, 3556},
    {"Executive", 1842, 2667},
    {"Ledger", 2794, 4318},
    {"A5", 1480, 2100},
    {"A4", 2100, 2970},
    {"A3", 2970, 4200},
    {"A6", 1050, 1480},
    {"JIS B5", 1820, 2570},
    {"JIS B4", 2500, 3540},
    {"JIS B6", 1280, 1820},
    {"Hagaki Postcard", 1000, 1480},
    {"Oufuku-Hagaki Postcard", 2000, 1480},
    {"Monarch Envelope", 984, 1905},
    {"Commercial Envelope 10", 1048, 2413},
    {"DL", 1100, 2200},
    {"C5", 1620, 2290},
    {"B5", 1760, 2500},
    {"Statement", 1397, 2159},
    // Other names of the same papers.
    {"Exec", 1842, 2667},
    {"Tabloid", 2794, 4318},
    {"JISB5", 1820, 2570},
    {"JB5", 1820, 2570},
    {"JISB4", 2500, 3540},
    {"JB4", 2500, 3540},
    {"JB6", 1280, 1820},
    {"Hagaki", 1000, 1480},
    {"JPost", 1000, 1480},
    {"JPostD", 2000, 1480},
    {"Monarch", 984, 1905},
    {"Com10", 1048, 2413},
    {"ISOB5", 1760, 2500},
    {"B5Envelope", 1760, 2500},
}};

// The known paper of a name, compared without regard to case.
inline std::optional<KnownPaper> LookUpKnownPaper(std::string_view name)
{
    const auto same = [name](const KnownPaper& paper) {
        return paper.mstrName.size() == name.size() &&
               std::equal(name.begin(), name.end(), paper.mstrName.begin(), [](char left, char right) {
                   const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
                   return lower(left) == lower(right);
               });
    };
    const auto found = std::find_if(KNOWN_PAPERS.begin(), KNOWN_PAPERS.end(), same);
    if (found == KNOWN_PAPERS.end())
        return std::nullopt;
    return *found;
}

// The first known paper of a size, for pages given by size only.
inline std::optional<KnownPaper> LookUpKnownPaper(int64_t width, int64_t height)
{
    const auto found = std::find_if(KNOWN_PAPERS.begin(), KNOWN_PAPERS.end(), [width, height](const KnownPaper& paper) {
        return paper.mintWidth == width && paper.mintHeight == height;
    });
    if (found == KNOWN_PAPERS.end())
        return std::nullopt;
    return *found;
}

}  // namespace RawPrintData
