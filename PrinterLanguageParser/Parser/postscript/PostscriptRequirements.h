#pragma once

#include "PrinterLanguageParser/Parser/Number.h"

namespace RawPrintData::Postscript {

// What a %%Requirements: DSC comment asks of the printer. Read from PostScript
// and from PJL COMMENT lines; the frame turns copies, duplex and colour into
// job properties (IRawDataParser::HandleDscRequirements).
struct PostscriptRequirements {
    bool mblnCollate = false;
    bool mblnColor = false;
    bool mblnDuplex = false;
    bool mblnFax = false;
    Number<unsigned long> mintCopies;  // 0 when not given
    bool mblnPunch = false;
    bool mblnStaple = false;

    bool operator==(const PostscriptRequirements&) const = default;
};

}  // namespace RawPrintData::Postscript
