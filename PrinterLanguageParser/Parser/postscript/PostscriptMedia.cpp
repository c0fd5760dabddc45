#include "PrinterLanguageParser/Parser/postscript/PostscriptMedia.h"

#include "PrinterLanguageParser/Parser/postscript/DscComment.h"

namespace RawPrintData::Postscript {

// A medium from its DSC description.
PostscriptMedia::PostscriptMedia(const DscComment& comment)
{
    // Name, width, height and weight, each followed by a blank: five fields.
    const std::vector<std::string_view> fields = comment.Fields();
    if (fields.size() < 5)
        return;
    mstrName = fields[0];
    mWidth = PostscriptUnit(ReadLeadingReal(fields[1]));
    mHeight = PostscriptUnit(ReadLeadingReal(fields[2]));
    mWeight = PostscriptPaperWeight(ReadLeadingReal(fields[3]));
}

}  // namespace RawPrintData::Postscript
