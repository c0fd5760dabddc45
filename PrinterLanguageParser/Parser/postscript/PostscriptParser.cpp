#include "PrinterLanguageParser/Parser/postscript/PostscriptParser.h"

#include "PrinterLanguageParser/Parser/postscript/PostscriptPageSize.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <inttypes.h>

namespace RawPrintData::Postscript {

namespace {

// PPD options whose choices ask the printer to print the whole job grey, as
// the PPDs Debian ships name them (the option, then its grey choices; a
// choice ending in "*" is a prefix).
struct GreyOption {
    std::string_view mstrOption;
    std::array<std::string_view, 6> mstrChoices;
};
constexpr std::array<GreyOption, 16> GREY_OPTIONS = {{
    {"*ColorModel", {"Gray", "Grayscale", "grayscale", "BlackWhite"}},
    {"*ColorMode", {"FalseM", "Mono", "Grayscale", "Monochrome", "BlackAndWhite"}},
    {"*colormode", {"blackwhite"}},
    {"*SelectColor", {"Grayscale"}},
    {"*KMSelectColor", {"False"}},
    {"*HPColorAsGray", {"True", "Yes", "BlackInkOnly", "HighQuality"}},
    {"*HPPJLColorAsGray", {"True", "yes", "on", "BlackInkOnly", "HighQuality"}},
    {"*HPColorOptions", {"grayscale", "black-and-white"}},
    {"*HPColorOutput", {"GrayscalePrint", "BlackAndWhitPrint"}},
    {"*HPColorMode", {"GrayscalePrint"}},
    {"*HPPrintInGrayscale", {"GrayscalePrint", "True"}},
    {"*PageOutputColor", {"Grayscale", "Monochrome"}},
    {"*ColorResType", {"Mono*"}},
    {"*ARCMode", {"CMBW", "Grayscale"}},
    {"*EFColorMode", {"Grayscale"}},
    {"*ColorType", {"Mono", "Black&White"}},
}};

// Whether a PPD option's choice asks for the whole job in grey.
bool IsGreyChoice(std::string_view option, std::string_view choice)
{
    for (const GreyOption& grey : GREY_OPTIONS) {
        if (grey.mstrOption != option)
            continue;
        for (std::string_view candidate : grey.mstrChoices) {
            if (candidate.empty())
                continue;
            if (candidate.ends_with('*') ? choice.starts_with(candidate.substr(0, candidate.size() - 1))
                                         : choice == candidate)
                return true;
        }
    }
    return false;
}

}  // namespace

// Builds the parser with the base keyword table.
PostscriptParser::PostscriptParser() : mTokenizer(this)
{
    mStrategies.AddStrategiesForBasicPostscript();
    mComments.SetListener(this);
}

PostscriptParser::~PostscriptParser() = default;

// Tokenizes a chunk; runs the basic counter over what PostScript consumed.
ParseDataResultType PostscriptParser::ParseData(const DataBuffer& buffer)
{
    mblnSkipExitAtStart = mblnHandedOverExit;
    mblnHandedOverExit = false;
    mintPendingLanguage = LANGUAGE_POSTSCRIPT;
    ParseDataResultType result = mTokenizer.Tokenize(buffer);
    while (result < 0) {
        // Bytes the tokenizer cannot read (raw binary data, mostly): the job
        // is not given up; reading resumes at the next line that begins a
        // page or another part of the document, and the basic counter goes
        // on over everything.
        Log(LOG_ERROR,
            "PostscriptParser::ParseData - Tokenizer failure %d at byte %" PRIu64
            ". Reading on from the next DSC comment that begins a part of the document.",
            static_cast<int>(result), mTokenizer.BytesProcessed());
        mTokenizer.SkipToDscComment();
        result = mTokenizer.Tokenize(buffer, mTokenizer.BytesProcessed());
    }
    mblnSkipExitAtStart = false;

    if (result == PARSE_RESULT_SWITCH_LANGUAGE) {
        const RawLanguageType language =
            mintPendingLanguage != LANGUAGE_POSTSCRIPT ? mintPendingLanguage : mTokenizer.GetSwitchToLanguage();
        const uint64_t signature =
            language == LANGUAGE_CPCA ? mintCPCA_LANGUAGE_LENGTH : mintUNIVERSAL_EXIT_LANGUAGE_LENGTH;
        if (mTokenizer.BytesProcessed() < signature) {
            // Cannot happen while the tokenizer holds back partial signatures;
            // reading outside the buffer is never the answer.
            Log(LOG_ERROR, "PostscriptParser::ParseData - Signature of language %d is not in the buffer.",
                static_cast<int>(language));
            mintBytesProcessed = mTokenizer.BytesProcessed();
            return PARSE_RESULT_FAILURE;
        }
        NotifyNextLanguage(language);
        mintBytesProcessed = mTokenizer.BytesProcessed();
        mBasicParser.ParseData(buffer, 0, mintBytesProcessed);
        mblnHandedOverExit = language == LANGUAGE_PJL;
        return result;
    }

    mintBytesProcessed = mTokenizer.BytesProcessed();
    mBasicParser.ParseData(buffer, 0, mintBytesProcessed);
    return result;
}

// Gives the signature back and hands over; CPCA may later return here.
void PostscriptParser::NotifyNextLanguage(RawLanguageType language)
{
    const uint64_t signature =
        language == LANGUAGE_CPCA ? mintCPCA_LANGUAGE_LENGTH : mintUNIVERSAL_EXIT_LANGUAGE_LENGTH;
    mTokenizer.MoveBack(signature);
    IRawDataParser::NotifyNextLanguage(language, language == LANGUAGE_CPCA);
}

// Ends the job: the last token, then the fallback count. The DSC page
// sections and the basic counter's page comments, which no string or data
// block hides, give the pages that no page end reported.
ParseDataResultType PostscriptParser::ParseDone()
{
    ParseDataResultType result = mTokenizer.Flush();
    const uint32_t counted = mBasicParser.GetPostscriptPages();
    const uint32_t sections =
        static_cast<uint32_t>(std::min<size_t>(mComments.PageSectionCount(), UINT32_MAX));
    const uint32_t pages = std::max(counted, sections);
    if (result == PARSE_RESULT_UNFINISHED_TOKEN && (mintPagesCompleted > 0 || pages > 0)) {
        // A string opened by binary data and never closed: the pages found
        // are kept rather than the whole job being lost.
        Log(LOG_INFO, "PostscriptParser::ParseDone - Job ends inside a token; keeping the %u pages found.",
            std::max(mintPagesCompleted, pages));
        result = PARSE_RESULT_HANDLED;
    }
    if (mintPagesCompleted >= pages)
        return result;
    Log(LOG_INFO, "PostscriptParser::ParseDone - Page count discrepancy. Falling back to basic count method.");
    const unsigned long copies = mBasicParser.GetPostscriptCopies();
    if (copies != 0)
        NotifyJobPropertyChanged(PROPERTY_COPIES, &copies);
    if (counted > sections)
        NotifyPageCountOverride(counted);
    else
        mCompleteUnendedSections(sections);
    return result;
}

// Reports, in order, the pages of the sections in which no page ended, with
// each section's paper and whether colour was painted in it.
void PostscriptParser::mCompleteUnendedSections(uint32_t sections)
{
    for (uint32_t section = 0; section < sections && mintPagesCompleted < sections; ++section) {
        const uint8_t marks = section < mvecSectionMarks.size() ? mvecSectionMarks[section] : 0;
        if ((marks & mbytSECTION_ENDED) != 0)
            continue;
        CRawPage page;
        page.mblnColor = (marks & mbytSECTION_COLOR) != 0;
        const DscCommentPageSection* pageSection = mComments.PageSection(section);
        if (mblnIsFillerPage(pageSection)) {
            ++mintPagesCompleted;
            continue;
        }
        if (pageSection == nullptr || pageSection->mMedia == nullptr)
            mSizeFromMedia(page, mGraphicsStates.Current().Media(), true);
        if (page.mintWidth == 0 || page.mintHeight == 0)
            mSizePage(page, pageSection);
        ++mintPagesCompleted;
        IRawDataParser::NotifyPageCompleted(page);
    }
}

// Counts the page and sizes it from the DSC comments when no setpagedevice
// gave it a size: from the page section being read, else from the section
// whose place matches the page's.
void PostscriptParser::NotifyPageCompleted(const CRawPage& page)
{
    if (mintPagesCompleted < UINT32_MAX)
        ++mintPagesCompleted;
    mMarkPageSection(mbytSECTION_ENDED);
    const DscCommentPageSection* section = mComments.CurrentSection() == SECTION_PAGE
                                               ? mComments.CurrentPageSection()
                                               : mComments.PageSection(mintPagesCompleted - 1);
    if (mblnIsFillerPage(section))
        return;
    CRawPage sized;
    sized.mblnColor = page.mblnColor;
    if (page.mintWidth > 0 && page.mintHeight > 0) {
        sized = page;
        mNamePaper(sized, true);
        IRawDataParser::NotifyPageCompleted(sized);
        return;
    }
    mSizePage(sized, section);
    IRawDataParser::NotifyPageCompleted(sized);
}

// The blank page pstops adds so that each copy of a two-sided job starts on
// a sheet of its own: no side is printed on it.
bool PostscriptParser::mblnIsFillerPage(const DscCommentPageSection* section)
{
    return section != nullptr && section->mstrLabel == "(filler)";
}

// A paper that setpagedevice sized (byKnownName) is named by the known paper
// of its size, else by the PPD option that chose it; a paper without a name
// is "Unknown".
void PostscriptParser::mNamePaper(CRawPage& page, bool byKnownName)
{
    if (byKnownName) {
        if (const KnownPaper* known = FindKnownPaper(page.mintWidth, page.mintHeight)) {
            page.SetName(known->mstrName);
            return;
        }
    }
    if (page.GetName().empty())
        page.SetName("Unknown");
}

// Takes a medium's size and name, when it has a size.
void PostscriptParser::mSizeFromMedia(CRawPage& page, const PostscriptMedia& media, bool byKnownName)
{
    const int32_t width = PointsToTenthsMm(media.GetWidth().GetValue());
    const int32_t height = PointsToTenthsMm(media.GetHeight().GetValue());
    if (width <= 0 || height <= 0)
        return;
    page.SetName(std::string_view(media.GetName()).substr(0, PAPER_NAME_LENGTH - 1));
    page.mintWidth = width;
    page.mintHeight = height;
    mNamePaper(page, byKnownName);
}

// The paper is the medium the page's DSC comments name, else the first one
// the document lists; without one, the page's bounding box, else the
// document's, gives the size of an "Unknown" paper. A box smaller than a
// known paper that holds it is drawn on a paper, not the paper: it sizes
// nothing, and the page counts on the job's default paper.
void PostscriptParser::mSizePage(CRawPage& page, const DscCommentPageSection* section) const
{
    if (section != nullptr && section->mMedia != nullptr)
        mSizeFromMedia(page, *section->mMedia, false);
    if ((page.mintWidth == 0 || page.mintHeight == 0) && mComments.FirstMedia() != nullptr)
        mSizeFromMedia(page, *mComments.FirstMedia(), false);
    if (page.mintWidth != 0 && page.mintHeight != 0)
        return;
    auto size = [&page](const PostscriptBox& box) {
        const int32_t width = ExtentToTenthsMm(box.LowerLeftX().GetValue(), box.UpperRightX().GetValue());
        const int32_t height = ExtentToTenthsMm(box.LowerLeftY().GetValue(), box.UpperRightY().GetValue());
        if (width <= 0 || height <= 0 || IsInsideKnownPaper(width, height))
            return;
        page.mintWidth = width;
        page.mintHeight = height;
    };
    if (section != nullptr)
        size(section->mPageBoundingBox);
    if (page.mintWidth == 0 || page.mintHeight == 0)
        size(mComments.HeaderSection().mBoundingBox);
    if (page.mintWidth != 0 && page.mintHeight != 0) {
        page.SetName("Unknown");
    } else {
        page.mintWidth = 0;
        page.mintHeight = 0;
    }
}

// Sets the current page's colour flag; colour also marks the DSC page
// section being read.
void PostscriptParser::MarkCurrentPageAsColor(bool color)
{
    if (color && mTokenizer.IsSignallingNeutralPicture())
        return;
    mblnCurrentPageColor = color;
    if (color)
        mMarkPageSection(mbytSECTION_COLOR);
}

// Marks the page section being read (the last one, which pages beyond the
// bound of kept sections share).
void PostscriptParser::mMarkPageSection(uint8_t mark)
{
    if (mComments.CurrentSection() != SECTION_PAGE || mComments.PageSectionCount() == 0)
        return;
    const size_t section = mComments.PageSectionCount() - 1;
    if (section >= mvecSectionMarks.size())
        mvecSectionMarks.resize(section + 1, 0);
    mvecSectionMarks[section] |= mark;
}

// Stores the device colour space and reports the colour type it implies.
void PostscriptParser::SetDeviceColorSpace(PostscriptColorSpace colorSpace)
{
    mintDeviceColorSpace = colorSpace;
    // A grey device prints every page grey, whatever the pages paint.
    mReportColorType(colorSpace == COLOR_SPACE_DEVICE_GRAY ? COLOR_TYPE_GRAYSCALE
                     : colorSpace == COLOR_SPACE_NONE      ? COLOR_TYPE_MONO
                                                           : COLOR_TYPE_COLOR);
}

// Reads a string's contents as PostScript with a tokenizer of its own, so
// that the job's tokenizer keeps its state and position.
void PostscriptParser::TokenizeExecutedString(std::string_view contents)
{
    if (mintExecutedStringDepth >= mintMAX_EXECUTED_STRING_DEPTH) {
        Log(LOG_INFO, "PostscriptParser::TokenizeExecutedString - Strings executed %d deep; not reading deeper.",
            mintExecutedStringDepth);
        return;
    }
    std::unique_ptr<PostscriptTokenizer>& tokenizer = mvecStringTokenizers[mintExecutedStringDepth];
    if (!tokenizer)
        tokenizer = std::make_unique<PostscriptTokenizer>(this);
    PostscriptTokenizer* const previous = mActiveTokenizer;
    mActiveTokenizer = tokenizer.get();
    ++mintExecutedStringDepth;
    tokenizer->Tokenize(contents);
    tokenizer->Flush();
    --mintExecutedStringDepth;
    mActiveTokenizer = previous;
}

// Takes one token of the job.
bool PostscriptParser::TokenScanned(const PostscriptTokenView& token)
{
    const PostscriptTokenType type = token.Type();
    if (type == TOKEN_COMMENT || type == TOKEN_DSC_COMMENT || type == TOKEN_PROLOGUE) {
        mTakeComment(token);
        return true;
    }
    // The prolog and the setup define the names a job draws with; the
    // pages, most of the job, only use them.
    if ((mComments.CurrentSection() != SECTION_PAGE || mDefinitions.InProcedure()) &&
        mDefinitions.Take(token, mStrategies))
        Log(LOG_INFO, "PostscriptParser::TokenScanned - More than %zu names defined; not following more.",
            PostscriptDefinitions::mintMAX_DEFINITIONS);
    if (mblnInIgnoredSection || mblnInFeature)
        return true;
    mComments.EndHeaderComments();
    if (type == TOKEN_NAME)
        return mblnExecuteStrategy(token);
    mRecentTokens.Add(token);
    return true;
}

// DSC comments and "%!" lines go to the DSC state; plain comments are
// passed over.
void PostscriptParser::mTakeComment(const PostscriptTokenView& token)
{
    if (token.Type() == TOKEN_COMMENT)
        return;
    if (LogsAt(LOG_DEBUG))
        Log(LOG_DEBUG, "PostscriptParser::TokenScanned - Comment found: %.*s", static_cast<int>(token.Data().size()),
            token.Data().data());
    mComments.Add(token);
}

// Runs a name's strategy; false to hand over to PJL.
bool PostscriptParser::mblnExecuteStrategy(const PostscriptTokenView& token)
{
    if (LogsAt(LOG_DEBUG))
        Log(LOG_DEBUG, "PostscriptParser::TokenScanned - Name Token: %.*s", static_cast<int>(token.Data().size()),
            token.Data().data());
    if (token.Data() == mstrUNIVERSAL_EXIT_LANGUAGE) {
        // Inside an executed string there is nothing to hand over.
        if (mintExecutedStringDepth > 0)
            return true;
        // The sequence this parser handed over last time, given back to it
        // unread: reading past it is the only way not to loop. The tokenizer
        // counts the sequence's last byte after this call, hence the - 1.
        if (mblnSkipExitAtStart && mTokenizer.BytesProcessed() == mintUNIVERSAL_EXIT_LANGUAGE_LENGTH - 1)
            return true;
        Log(LOG_INFO, "PostscriptParser::ExecuteStrategy - Exiting to PJL");
        mintPendingLanguage = LANGUAGE_PJL;
        return false;
    }
    // An unknown name does nothing and is recorded.
    const PostscriptParserStrategies::Entry* entry = mStrategies.Find(token.Data());
    if (entry == nullptr) {
        mRecentTokens.Add(token);
        return true;
    }
    entry->mStrategy->Execute(this, mRecentTokens);
    if (!entry->mblnSuppressToken)
        mRecentTokens.Add(token);
    return true;
}

// Prolog, resource and file sections are not parsed.
void PostscriptParser::DscSectionBegun(DscSectionType type)
{
    if (type == SECTION_PROLOG || type == SECTION_RESOURCE || type == SECTION_FILE)
        mblnInIgnoredSection = true;
}

// Parsing resumes after a prolog, resource or file section; the end of the
// header names the program that wrote the job.
void PostscriptParser::DscSectionEnded(DscSectionType type)
{
    if (type == SECTION_PROLOG || type == SECTION_RESOURCE || type == SECTION_FILE)
        mblnInIgnoredSection = false;
    else if (type == SECTION_HEADER)
        mAddTablesOfCreator(mComments.HeaderSection().mstrCreator);
}

// Adds the keyword tables of programs whose procedure sets carry no resource
// name: Ghostscript's ps2write and cairo draw with PDF's operators.
void PostscriptParser::mAddTablesOfCreator(const std::string& creator)
{
    if (creator.find("(ps2write)") != std::string::npos || creator.find("(eps2write)") != std::string::npos) {
        mStrategies.AddStrategiesForPdfContent();
    } else if (creator.starts_with("cairo ")) {
        mStrategies.AddStrategiesForPdfContent();
        mStrategies.AddStrategiesForCairo();
    }
}

// Turns %%Requirements: into job properties.
void PostscriptParser::DscRequirementsDetected(const PostscriptRequirements& requirements)
{
    HandleDscRequirements(&requirements);
}

// Adds the keyword table of a known prologue.
void PostscriptParser::DscResourceDetected(const PostscriptResource& resource)
{
    const std::string& name = resource.GetName();
    if (LogsAt(LOG_DEBUG))
        Log(LOG_DEBUG, "PostscriptParser::DscResourceDetected - resourceName found: %s", name.c_str());
    if (name == "Pscript_Win_Basic")
        mStrategies.AddStrategiesForWindowsBasic();
    else if (name == "Pscript_Win_Utils_L2")
        mStrategies.AddStrategiesForWindowsL2Utils();
    else if (name == "Pscript_Win_Dib_L2")
        mStrategies.AddStrategiesForWindowsL2Dib();
    else if (name == "Adobe_AGM_Core")
        mStrategies.AddStrategiesForAdobeAgmCore();
    else if (name == "Adobe_CoolType_Core")
        mStrategies.AddStrategiesForAdobeCoolType();
    else if (name == "Adobe_AGM_Image")
        mStrategies.AddStrategiesForAdobeAgmImage();
    else if (name.find("wCorel") != std::string::npos)
        mStrategies.AddStrategiesForCorel();
    else if (name == "pdf")
        mStrategies.AddStrategiesForPDF();
    else if (name == "pdflev3")
        mStrategies.AddStrategiesForPDFLev3();
    else if (name == "pdftext")
        mStrategies.AddStrategiesForPDFText();
    else if (name == "xpdf")
        mStrategies.AddStrategiesForXpdf();
}

// Adds the keyword table of the CoreGraphics PDF prologue.
void PostscriptParser::DscFileDetected(const PostscriptFile& file)
{
    if (file.GetName() == "cg-pdf.ps")
        mStrategies.AddStrategiesForCoreGraphicsPDF();
}

// Reports a colour type.
void PostscriptParser::mReportColorType(RawColorType colorType)
{
    NotifyJobPropertyChanged(PROPERTY_COLOR_TYPE, &colorType);
}

// Sets the current colour space and reports a colour type.
void PostscriptParser::mSetColorSpaceAndReport(PostscriptColorSpace colorSpace, RawColorType colorType)
{
    mGraphicsStates.Current().SetColorSpace(colorSpace);
    mReportColorType(colorType);
}

// A PPD option block: known options become job properties and their
// PostScript is skipped; the PostScript of other options is parsed.
void PostscriptParser::DscFeatureBegun(const PostscriptFeature& feature)
{
    const std::string& name = feature.GetName();
    const std::string& value = feature.GetValue();
    if (LogsAt(LOG_DEBUG)) {
        Log(LOG_DEBUG, "PostscriptParser::DscFeatureBegun - Feature found: %s", name.c_str());
        Log(LOG_DEBUG, "PostscriptParser::DscFeatureBegun - Feature value: %s", value.c_str());
    }
    mblnInFeature = true;
    const bool grey = IsGreyChoice(name, value) || (name == "*BRPrintQuality" && value == "Black") ||
                      (name == "*XRXColor" && value == "BW");
    if (grey) {
        // A choice that prints the job grey: the pages are mono whatever
        // they paint; its code is skipped.
        mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_GRAY, COLOR_TYPE_GRAYSCALE);
    } else if (name == "*PageSize") {
        // The option names the paper; its setpagedevice, read as usual,
        // sizes it.
        PostscriptMedia& media = mGraphicsStates.Current().Media();
        media.SetName(value);
        media.SetWidth(PostscriptUnit());
        media.SetHeight(PostscriptUnit());
        mblnInFeature = false;
    } else if (name == "*ColorModel") {
        if (value == "CMYK")
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_CMYK, COLOR_TYPE_COLOR);
        else if (value == "RGB")
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_RGB, COLOR_TYPE_COLOR);
    } else if (name == "*ARCMode") {
        mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_RGB, COLOR_TYPE_COLOR);
    } else if (name == "*EFColorMode") {
        mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_CMYK, COLOR_TYPE_COLOR);
    } else if (name == "*EFDuplex" || name == "*Duplex") {
        if (value != (name == "*EFDuplex" ? "Off" : "None")) {
            const bool duplex = true;
            NotifyJobPropertyChanged(PROPERTY_DUPLEX, &duplex);
        }
    } else if (name == "*ColorType") {
        mSetColorSpaceAndReport(COLOR_SPACE_CIE_BASED_ABC, COLOR_TYPE_COLOR);
    } else if (name == "*BRPrintQuality") {
        if (value == "Auto" || value == "Color")
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_RGB, COLOR_TYPE_COLOR);
    } else if (name == "*NumCopies" || name == "NumCopies") {
        const unsigned long copies = ReadLeadingCount(value);
        if (copies != 0)
            NotifyJobPropertyChanged(PROPERTY_COPIES, &copies);
    } else if (name == "*XRXColor") {
        mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_RGB, COLOR_TYPE_COLOR);
    } else {
        mblnInFeature = false;
    }
}

}  // namespace RawPrintData::Postscript
