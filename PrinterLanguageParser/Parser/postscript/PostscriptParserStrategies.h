#pragma once

#include "PrinterLanguageParser/Parser/postscript/IParserStrategy.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptKeywordTables.h"

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

namespace RawPrintData::Postscript {

// One parser's keyword map: starts with the base table; prologue tables are
// added (each at most once) as the job names them, a later table replacing
// an earlier meaning of a keyword.
class PostscriptParserStrategies {
public:
    // Removes any entry of the keyword, then adds the new one.
    void AddOrReplace(std::string_view keyword, const IParserStrategy* strategy);
    void Remove(std::string_view keyword);
    // The keyword's strategy, or the null strategy.
    const IParserStrategy* GetStrategy(std::string_view keyword) const;

    void AddStrategiesForBasicPostscript() { mAddTable(KEYWORDS_BASIC_POSTSCRIPT); }
    void AddStrategiesForWindowsBasic() { mAddTable(KEYWORDS_WINDOWS_BASIC); }
    void AddStrategiesForWindowsL2Utils() { mAddTable(KEYWORDS_WINDOWS_L2_UTILS); }
    void AddStrategiesForWindowsL2Dib() { mAddTable(KEYWORDS_WINDOWS_L2_DIB); }
    void AddStrategiesForAdobeAgmCore() { mAddTable(KEYWORDS_ADOBE_AGM_CORE); }
    void AddStrategiesForAdobeCoolType() { mAddTable(KEYWORDS_ADOBE_COOL_TYPE); }
    void AddStrategiesForAdobeAgmImage() { mAddTable(KEYWORDS_ADOBE_AGM_IMAGE); }
    void AddStrategiesForCorel() { mAddTable(KEYWORDS_COREL); }
    void AddStrategiesForEPS() { mAddTable(KEYWORDS_EPS); }
    void AddStrategiesForPDF() { mAddTable(KEYWORDS_PDF); }
    void AddStrategiesForPDFLev3() { mAddTable(KEYWORDS_PDF_LEV3); }
    void AddStrategiesForPDFText() { mAddTable(KEYWORDS_PDF_TEXT); }
    void AddStrategiesForCoreGraphicsPDF() { mAddTable(KEYWORDS_CORE_GRAPHICS_PDF); }
    void AddStrategiesForPdfContent() { mAddTable(KEYWORDS_PDF_CONTENT); }
    void AddStrategiesForCairo() { mAddTable(KEYWORDS_CAIRO); }
    void AddStrategiesForXpdf() { mAddTable(KEYWORDS_XPDF); }

    bool IsTableAdded(KeywordTableId table) const { return table < mblnAdded.size() && mblnAdded[table]; }

private:
    void mAddTable(KeywordTableId table);

    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };

    std::unordered_map<std::string, const IParserStrategy*, Hash, std::equal_to<>> mStrategies;
    std::array<bool, KEYWORD_TABLE_COUNT> mblnAdded{};
};

}  // namespace RawPrintData::Postscript
