#pragma once

#include "PrinterLanguageParser/Parser/postscript/PostscriptNumber.h"

namespace RawPrintData::Postscript {

class DscComment;

// What a %%Requirements: DSC comment asks of the printer. Read from PostScript
// and from PJL COMMENT lines; the frame turns copies, duplex and colour into
// job properties (IRawDataParser::HandleDscRequirements).
struct PostscriptRequirements {
    bool mblnCollate = false;
    bool mblnColor = false;
    bool mblnDuplex = false;
    bool mblnFax = false;
    PostscriptNumber<unsigned long> mintCopies;  // 0 when not given
    bool mblnPunch = false;
    bool mblnStaple = false;

    PostscriptRequirements() = default;
    // Reads the blank-separated fields of the comment's values: "collate",
    // "color", "duplex...", "fax", "punch...", "staple..." and "numcopies(n)".
    explicit PostscriptRequirements(const DscComment& comment);

    bool operator==(const PostscriptRequirements&) const = default;
};

}  // namespace RawPrintData::Postscript
