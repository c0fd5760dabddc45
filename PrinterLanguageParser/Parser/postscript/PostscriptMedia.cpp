#include "PrinterLanguageParser/Parser/postscript/PostscriptMedia.h"

#include "PrinterLanguageParser/Parser/postscript/DscComment.h"

#include <array>

namespace RawPrintData::Postscript {

// A medium from its DSC description.
PostscriptMedia::PostscriptMedia(const DscComment& comment)
{
    // Name, width, height and weight, each followed by a blank: five fields.
    std::array<std::string_view, 5> fields;
    if (comment.FirstFields(fields) < fields.size())
        return;
    mstrName = fields[0];
    mWidth = PostscriptUnit(ReadLeadingReal(fields[1]));
    mHeight = PostscriptUnit(ReadLeadingReal(fields[2]));
    mWeight = PostscriptPaperWeight(ReadLeadingReal(fields[3]));
}

}  // namespace RawPrintData::Postscript
