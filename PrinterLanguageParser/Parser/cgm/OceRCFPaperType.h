#pragma once

#include <cstdint>
#include <string_view>

namespace RawPrintData::CGM {

// A paper of the Oce RCF paper-type table, sizes in tenths of a millimetre.
struct OceRCFPaper {
    std::string_view mstrName;
    int32_t mintWidth;
    int32_t mintHeight;
};

// The paper of an Oce RCF paper-type number; numbers past the table are Letter.
const OceRCFPaper& OceRCFPaperType(uint32_t paperType);

}  // namespace RawPrintData::CGM
