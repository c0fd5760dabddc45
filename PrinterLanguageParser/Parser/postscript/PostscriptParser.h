#pragma once

#include "PrinterLanguageParser/Parser/postscript/BasicPostscriptParser.h"
#include "PrinterLanguageParser/Parser/postscript/DscComments.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptDefinitions.h"
#include "PrinterLanguageParser/Parser/postscript/IPostscriptParser.h"
#include "PrinterLanguageParser/Parser/postscript/ITokenListener.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptGraphicsState.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptParserStrategies.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenList.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenizer.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptVariables.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace RawPrintData::Postscript {

// The PostScript language parser. It does not run PostScript: it watches the
// tokens for DSC comments and for the keywords of its strategy tables, which
// follow colour, the graphics-state stack and page ends, and it runs the
// basic counter alongside as a fallback for the page count. It hands over to
// CPCA and PJL when their signatures appear in the job.
class PostscriptParser : public IPostscriptParser, public ITokenListener, public IDscSectionListener {
public:
    // How deep executed strings ("cvx") are read inside each other.
    static constexpr int mintMAX_EXECUTED_STRING_DEPTH = 8;

    PostscriptParser();
    ~PostscriptParser() override;

    ParseDataResultType ParseData(const DataBuffer& buffer) override;
    ParseDataResultType ParseDone() override;
    void NotifyPageCompleted(const CRawPage& page) override;
    using IRawDataParser::NotifyNextLanguage;
    void NotifyNextLanguage(RawLanguageType language) override;
    void NotifyDefaultPageCompleted() override {}

    // Adds the keywords of encapsulated PostScript.
    void EnableEPSMode() { mStrategies.AddStrategiesForEPS(); }

    DscComments& Comments() override { return mComments; }
    PostscriptGraphicsStateStack& GraphicsStateStack() override { return mGraphicsStates; }
    PostscriptTokenList& RecentTokens() override { return mRecentTokens; }
    PostscriptVariables& Variables() override { return mVariables; }
    PostscriptTokenizer& Tokenizer() override { return *mActiveTokenizer; }
    void MarkCurrentPageAsColor(bool color) override;
    bool IsCurrentPageColor() const override { return mblnCurrentPageColor; }
    void SetDeviceColorSpace(PostscriptColorSpace colorSpace) override;
    PostscriptColorSpace GetDeviceColorSpace() const override { return mintDeviceColorSpace; }
    void TokenizeExecutedString(std::string_view contents) override;

    bool TokenScanned(const PostscriptTokenView& token) override;

    void DscSectionBegun(DscSectionType type) override;
    void DscSectionEnded(DscSectionType type) override;
    void DscFeatureBegun(const PostscriptFeature& feature) override;
    void DscFeatureEnded() override { mblnInFeature = false; }
    void DscRequirementsDetected(const PostscriptRequirements& requirements) override;
    void DscResourceDetected(const PostscriptResource& resource) override;
    void DscFileDetected(const PostscriptFile& file) override;

    const PostscriptParserStrategies& Strategies() const { return mStrategies; }

private:
    void mTakeComment(const PostscriptTokenView& token);
    bool mblnExecuteStrategy(const PostscriptTokenView& token);
    void mAddTablesOfCreator(const std::string& creator);
    // Sizes a page from its DSC page section or the document's box.
    void mSizePage(CRawPage& page, const DscCommentPageSection* section) const;
    static void mNamePaper(CRawPage& page, bool byKnownName);
    static bool mblnIsFillerPage(const DscCommentPageSection* section);
    static void mSizeFromMedia(CRawPage& page, const PostscriptMedia& media, bool byKnownName);
    // Marks the DSC page section being read, when there is one.
    void mMarkPageSection(uint8_t mark);
    // Reports the pages of sections in which no page ended, up to the count.
    void mCompleteUnendedSections(uint32_t sections);
    void mReportColorType(RawColorType colorType);
    void mSetColorSpaceAndReport(PostscriptColorSpace colorSpace, RawColorType colorType);

    bool mblnInIgnoredSection = false;
    bool mblnInFeature = false;
    PostscriptTokenizer mTokenizer;
    DscComments mComments;
    PostscriptTokenList mRecentTokens;
    PostscriptGraphicsStateStack mGraphicsStates;
    PostscriptParserStrategies mStrategies;
    PostscriptVariables mVariables;
    PostscriptDefinitions mDefinitions;
    bool mblnCurrentPageColor = false;
    PostscriptColorSpace mintDeviceColorSpace = COLOR_SPACE_NONE;
    BasicPostscriptParser mBasicParser;
    uint32_t mintPagesCompleted = 0;
    // Per DSC page section: whether colour was painted and whether a page
    // ended in it, for the pages the page comments count but no page end
    // reported.
    static constexpr uint8_t mbytSECTION_COLOR = 1;
    static constexpr uint8_t mbytSECTION_ENDED = 2;
    std::vector<uint8_t> mvecSectionMarks;

    // The tokenizer reading now, and those of executed strings by depth.
    PostscriptTokenizer* mActiveTokenizer = &mTokenizer;
    std::array<std::unique_ptr<PostscriptTokenizer>, mintMAX_EXECUTED_STRING_DEPTH> mvecStringTokenizers;
    int mintExecutedStringDepth = 0;
    // The language the Universal Exit Language asks for, until handed over.
    RawLanguageType mintPendingLanguage = LANGUAGE_POSTSCRIPT;
    // Set when the last call handed over to PJL: should PJL give the same
    // Universal Exit Language straight back, it is read past, never looped on.
    bool mblnHandedOverExit = false;
    bool mblnSkipExitAtStart = false;
};

}  // namespace RawPrintData::Postscript
