#include "PrinterLanguageParser/Parser/postscript/PostscriptParser.h"

#include "PrinterLanguageParser/Parser/postscript/PostscriptPageSize.h"

#include <inttypes.h>

namespace RawPrintData::Postscript {

namespace {

// Whether debug lines are formatted at all; checked before building them so
// that the per-token path stays cheap.
bool DebugLogging()
{
    return IAbstractLogger::GetLogLevel() >= LOG_DEBUG;
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
    const uint64_t total = buffer.Length();
    if (mblnTokenizerFailed) {
        mBasicParser.ParseData(buffer);
        mintBytesProcessed = total;
        return PARSE_RESULT_HANDLED;
    }
    mblnSkipExitAtStart = mblnHandedOverExit;
    mblnHandedOverExit = false;
    mintPendingLanguage = LANGUAGE_POSTSCRIPT;
    const ParseDataResultType result = mTokenizer.Tokenize(buffer);
    mblnSkipExitAtStart = false;

    if (result < 0) {
        // Binary data the tokenizer cannot read (raw image data, mostly):
        // the job is not given up; the basic counter goes on alone and
        // ParseDone falls back to its count.
        Log(LOG_ERROR,
            "PostscriptParser::ParseData - Tokenizer failure %d at byte %" PRIu64
            ". Counting pages with the basic count method from here on.",
            static_cast<int>(result), mTokenizer.BytesProcessed());
        mblnTokenizerFailed = true;
        mBasicParser.ParseData(buffer);
        mintBytesProcessed = total;
        return PARSE_RESULT_HANDLED;
    }

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

// Ends the job: the last token, then the fallback count.
ParseDataResultType PostscriptParser::ParseDone()
{
    ParseDataResultType result = mblnTokenizerFailed ? PARSE_RESULT_HANDLED : mTokenizer.Flush();
    const uint32_t pages = mBasicParser.GetPostscriptPages();
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
    NotifyPageCountOverride(pages);
    return result;
}

// Counts the page and sizes it from the DSC boxes when it has no size.
void PostscriptParser::NotifyPageCompleted(const CRawPage& page)
{
    if (mintPagesCompleted < UINT32_MAX)
        ++mintPagesCompleted;
    if (page.mintWidth != 0 && page.mintHeight != 0) {
        IRawDataParser::NotifyPageCompleted(page);
        return;
    }
    CRawPage sized;
    sized.mblnColor = page.mblnColor;
    auto size = [&sized](const PostscriptBox& box) {
        sized.mintWidth = ExtentToTenthsMm(box.LowerLeftX().GetValue(), box.UpperRightX().GetValue());
        sized.mintHeight = ExtentToTenthsMm(box.LowerLeftY().GetValue(), box.UpperRightY().GetValue());
    };
    if (const DscCommentPageSection* section = mComments.PageSection(mintPagesCompleted - 1))
        size(section->mPageBoundingBox);
    if (sized.mintWidth == 0 || sized.mintHeight == 0)
        size(mComments.HeaderSection().mBoundingBox);
    if (sized.mintWidth != 0 && sized.mintHeight != 0) {
        sized.SetName("Unknown");
    } else {
        sized.mintWidth = 0;
        sized.mintHeight = 0;
    }
    IRawDataParser::NotifyPageCompleted(sized);
}

// Stores the device colour space and reports the colour type it implies.
void PostscriptParser::SetDeviceColorSpace(PostscriptColorSpace colorSpace)
{
    mintDeviceColorSpace = colorSpace;
    mReportColorType(colorSpace == COLOR_SPACE_NONE || colorSpace == COLOR_SPACE_DEVICE_GRAY ? COLOR_TYPE_MONO
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
bool PostscriptParser::TokenScanned(const PostscriptToken& token)
{
    switch (token.Type()) {
    case TOKEN_DSC_COMMENT:
    case TOKEN_PROLOGUE:
        if (DebugLogging())
            Log(LOG_DEBUG, "PostscriptParser::TokenScanned - Comment found: %s", token.Data().c_str());
        mComments.Add(token);
        return true;
    case TOKEN_COMMENT:
        return true;
    default:
        break;
    }
    if (mblnInIgnoredSection || mblnInFeature)
        return true;
    mComments.EndHeaderComments();
    if (token.Type() == TOKEN_NAME) {
        if (DebugLogging())
            Log(LOG_DEBUG, "PostscriptParser::TokenScanned - Name Token: %s", token.Data().c_str());
        return mblnExecuteStrategy(token);
    }
    mRecentTokens.Add(token);
    return true;
}

// Runs a name's strategy; false to hand over to PJL.
bool PostscriptParser::mblnExecuteStrategy(const PostscriptToken& token)
{
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
    const IParserStrategy* strategy = mStrategies.GetStrategy(token.Data());
    strategy->Execute(this, mRecentTokens);
    if (!strategy->SuppressToken())
        mRecentTokens.Add(token);
    return true;
}

// Prolog, resource and file sections are not parsed.
void PostscriptParser::DscSectionBegun(DscSectionType type)
{
    if (type == SECTION_PROLOG || type == SECTION_RESOURCE || type == SECTION_FILE)
        mblnInIgnoredSection = true;
}

// Parsing resumes after a prolog, resource or file section.
void PostscriptParser::DscSectionEnded(DscSectionType type)
{
    if (type == SECTION_PROLOG || type == SECTION_RESOURCE || type == SECTION_FILE)
        mblnInIgnoredSection = false;
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
    if (DebugLogging())
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
    if (DebugLogging()) {
        Log(LOG_DEBUG, "PostscriptParser::DscFeatureBegun - Feature found: %s", name.c_str());
        Log(LOG_DEBUG, "PostscriptParser::DscFeatureBegun - Feature value: %s", value.c_str());
    }
    mblnInFeature = true;
    if (name == "*PageSize") {
        mGraphicsStates.Current().Media().SetName(value);
    } else if (name == "*ColorModel") {
        if (value == "Gray")
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_GRAY, COLOR_TYPE_MONO);
        else if (value == "CMYK")
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_CMYK, COLOR_TYPE_COLOR);
        else if (value == "RGB")
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_RGB, COLOR_TYPE_COLOR);
    } else if (name == "*ARCMode") {
        if (value == "CMBW")
            mReportColorType(COLOR_TYPE_GRAYSCALE);
        else
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_RGB, COLOR_TYPE_COLOR);
    } else if (name == "*EFColorMode") {
        if (value == "Grayscale")
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_GRAY, COLOR_TYPE_MONO);
        else
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_CMYK, COLOR_TYPE_COLOR);
    } else if (name == "*EFDuplex" || name == "*Duplex") {
        if (value != (name == "*EFDuplex" ? "Off" : "None")) {
            const bool duplex = true;
            NotifyJobPropertyChanged(PROPERTY_DUPLEX, &duplex);
        }
    } else if (name == "*ColorType") {
        if (value == "Mono" || value == "Black&White")
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_GRAY, COLOR_TYPE_MONO);
        else
            mSetColorSpaceAndReport(COLOR_SPACE_CIE_BASED_ABC, COLOR_TYPE_COLOR);
    } else if (name == "*BRPrintQuality") {
        if (value == "Black")
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_GRAY, COLOR_TYPE_MONO);
        else if (value == "Auto" || value == "Color")
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_RGB, COLOR_TYPE_COLOR);
    } else if (name == "*NumCopies" || name == "NumCopies") {
        const unsigned long copies = ReadLeadingCount(value);
        if (copies != 0)
            NotifyJobPropertyChanged(PROPERTY_COPIES, &copies);
    } else if (name == "*XRXColor") {
        if (value == "BW")
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_GRAY, COLOR_TYPE_MONO);
        else
            mSetColorSpaceAndReport(COLOR_SPACE_DEVICE_RGB, COLOR_TYPE_COLOR);
    } else {
        mblnInFeature = false;
    }
}

}  // namespace RawPrintData::Postscript
