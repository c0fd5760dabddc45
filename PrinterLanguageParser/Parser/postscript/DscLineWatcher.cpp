#include "PrinterLanguageParser/Parser/postscript/DscLineWatcher.h"

#include <algorithm>

namespace RawPrintData::Postscript {

namespace {

// The comments that open or close the document's parts: long enough that
// base-85 data never spells one at a line start by chance.
constexpr std::string_view STRUCTURING_KEYWORDS[] = {
    "Page",        "PageTrailer",   "Trailer",     "EOF",         "EndComments", "BeginProlog",   "EndProlog",
    "BeginSetup",  "EndSetup",      "BeginResource", "EndResource", "BeginFeature", "EndFeature", "BeginDocument",
    "EndDocument", "BeginDefaults", "EndDefaults", "BeginFile",   "EndFile",
};

bool IsLetter(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

}  // namespace

// Whether a keyword opens or closes a part of the document.
bool DscLineWatcher::IsStructuringKeyword(std::string_view keyword)
{
    return std::find(std::begin(STRUCTURING_KEYWORDS), std::end(STRUCTURING_KEYWORDS), keyword) !=
           std::end(STRUCTURING_KEYWORDS);
}

// Follows a byte at a line start or a line end.
bool DscLineWatcher::mTakeAtLineStart(unsigned char byte, bool lineEnd)
{
    if (mintLength >= 2 && (lineEnd || byte == ':' || byte == ' ' || byte == '\t')) {
        mintKept = mintLength;
        const bool structuring = IsStructuringKeyword(Comment().substr(2));
        mintLength = lineEnd && !structuring ? 0 : -1;
        return structuring;
    }
    if (lineEnd) {
        mintLength = 0;
        return false;
    }
    if (mintLength < 0)
        return false;
    const bool fits = mintLength < 2 ? byte == '%' : IsLetter(byte) && mintLength < mintMAX_LENGTH;
    if (!fits) {
        mintLength = -1;
        return false;
    }
    mbytText[static_cast<size_t>(mintLength++)] = static_cast<char>(byte);
    return false;
}

}  // namespace RawPrintData::Postscript
