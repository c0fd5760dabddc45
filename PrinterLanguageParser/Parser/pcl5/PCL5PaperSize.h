#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace RawPrintData::PCL5 {

// The page-size codes of ESC & l # A that the parser knows.
enum PCL5PaperSize : int32_t {
    PAPER_EXECUTIVE = 1,
    PAPER_LETTER = 2,
    PAPER_LEGAL = 3,
    PAPER_LEDGER = 6,
    PAPER_A5 = 25,
    PAPER_A4 = 26,
    PAPER_A3 = 27,
    PAPER_JIS_B5 = 45,
    PAPER_JIS_B4 = 46,
    PAPER_HAGAKI = 71,
    PAPER_OUFUKU_HAGAKI = 72,
    PAPER_MONARCH_ENVELOPE = 80,
    PAPER_COMMERCIAL_ENVELOPE_10 = 81,
    PAPER_DL = 90,
    PAPER_C5 = 91,
    PAPER_B5 = 100,
};

// A paper's name and size in tenths of a millimetre.
struct PCL5Paper {
    std::string_view mstrName;
    int32_t mintWidth;
    int32_t mintHeight;
};

// The paper of a page-size code, or nothing for a code the parser does not know.
std::optional<PCL5Paper> LookUpPaperSize(int32_t code);

}  // namespace RawPrintData::PCL5
