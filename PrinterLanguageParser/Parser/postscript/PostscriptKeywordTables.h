#pragma once

#include "PrinterLanguageParser/Parser/postscript/IParserStrategy.h"

#include <cstddef>
#include <span>
#include <string_view>

namespace RawPrintData::Postscript {

// The keyword tables: a base table for plain PostScript and one for each
// prologue of common drivers and applications, added when the job's DSC
// comments name it.
enum KeywordTableId : size_t {
    KEYWORDS_BASIC_POSTSCRIPT,
    KEYWORDS_WINDOWS_BASIC,
    KEYWORDS_WINDOWS_L2_UTILS,
    KEYWORDS_WINDOWS_L2_DIB,
    KEYWORDS_ADOBE_AGM_CORE,
    KEYWORDS_ADOBE_COOL_TYPE,
    KEYWORDS_ADOBE_AGM_IMAGE,
    KEYWORDS_COREL,
    KEYWORDS_EPS,
    KEYWORDS_PDF,
    KEYWORDS_PDF_LEV3,
    KEYWORDS_PDF_TEXT,
    KEYWORDS_CORE_GRAPHICS_PDF,
    KEYWORDS_PDF_CONTENT,
    KEYWORDS_CAIRO,
    KEYWORDS_XPDF,
    KEYWORD_TABLE_COUNT
};

// One keyword (exact, case-sensitive) and what it does.
struct KeywordEntry {
    std::string_view mstrKeyword;
    const IParserStrategy* mStrategy;
};

// The rows of a table, in the order they are added.
std::span<const KeywordEntry> KeywordTable(KeywordTableId table);

}  // namespace RawPrintData::Postscript
