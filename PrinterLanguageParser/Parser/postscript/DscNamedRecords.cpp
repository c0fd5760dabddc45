#include "PrinterLanguageParser/Parser/postscript/DscNamedRecords.h"

#include "PrinterLanguageParser/Parser/postscript/DscComment.h"

#include <array>

namespace RawPrintData::Postscript {

// The resource's name. Version and revision after the name are optional in
// real jobs ("procset Pscript_Win_Basic" alone is common), so the name does
// not depend on them.
PostscriptResource::PostscriptResource(const DscComment& comment)
{
    std::array<std::string_view, 2> fields;
    if (comment.FirstFields(fields) >= fields.size())
        mstrName = fields[1];
}

// The file's name.
PostscriptFile::PostscriptFile(const DscComment& comment) : mstrName(comment.Values()) {}

// The feature's name and value.
PostscriptFeature::PostscriptFeature(const DscComment& comment)
{
    const std::string& values = comment.Values();
    const size_t blank = values.find(' ');
    if (blank == std::string::npos)
        return;
    mstrName = values.substr(0, blank);
    mstrValue = values.substr(blank + 1);
}

}  // namespace RawPrintData::Postscript
