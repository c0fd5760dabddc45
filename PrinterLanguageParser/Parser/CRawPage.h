#pragma once

#include "PrinterLanguageParser/Parser/PaperName.h"

#include <cstdint>
#include <string_view>

namespace RawPrintData {

// One finished page as a parser reports it: a page with a name and both
// dimensions counts in the page set of its size, any other in the default set.
struct CRawPage {
    char mstrPaperName[PAPER_NAME_LENGTH] = {};
    int32_t mintWidth = 0;   // tenths of a millimetre
    int32_t mintHeight = 0;  // tenths of a millimetre
    bool mblnColor = false;

    std::string_view GetName() const { return PaperNameView(mstrPaperName); }
    void SetName(std::string_view name) { StorePaperName(mstrPaperName, name); }
};

}  // namespace RawPrintData
