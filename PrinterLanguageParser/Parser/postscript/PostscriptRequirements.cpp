#include "PrinterLanguageParser/Parser/postscript/PostscriptRequirements.h"

#include "PrinterLanguageParser/Parser/postscript/DscComment.h"

namespace RawPrintData::Postscript {

// Reads the requirements; unknown fields are ignored.
PostscriptRequirements::PostscriptRequirements(const DscComment& comment)
{
    for (const std::string_view field : comment.Fields()) {
        if (field == "collate") {
            mblnCollate = true;
        } else if (field == "color") {
            mblnColor = true;
        } else if (field.starts_with("duplex")) {
            mblnDuplex = true;
        } else if (field == "fax") {
            mblnFax = true;
        } else if (field.starts_with("punch")) {
            mblnPunch = true;
        } else if (field.starts_with("staple")) {
            mblnStaple = true;
        } else if (field.starts_with("numcopies")) {
            const size_t open = field.find('(');
            const size_t close = field.find(')');
            if (open != std::string_view::npos && close != std::string_view::npos && close > open)
                mintCopies.SetFromString(field.substr(open + 1, close - open - 1));
        }
    }
}

}  // namespace RawPrintData::Postscript
