#include "PrinterLanguageParser/Parser/CRawDataHandler.h"

#include "PrinterLanguageParser/Parser/CommandText.h"
#include "PrinterLanguageParser/Parser/LanguageNames.h"
#include "PrinterLanguageParser/Parser/ParserLimits.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace RawPrintData {

namespace {

constexpr int32_t MAX_PAGE_COUNT = std::numeric_limits<int32_t>::max();

// The longest problem text kept; a parser's line is one sentence.
constexpr size_t MAX_PROBLEM_TEXT = 1024;

// Adds one page to a count that stops at its maximum.
void AddPage(int32_t& count)
{
    if (count < MAX_PAGE_COUNT)
        ++count;
}

// A sum of page counts as an int, stopping at its maximum.
int ClampTotal(int64_t total)
{
    return static_cast<int>(std::min<int64_t>(total, std::numeric_limits<int>::max()));
}

}  // namespace

// Builds a handler with the library's parsers.
CRawDataHandler::CRawDataHandler(RawLanguageType language) : CRawDataHandler(language, ParserRegistry::BuiltIn()) {}

// Builds a handler with the given parsers and starts a job in the language.
CRawDataHandler::CRawDataHandler(RawLanguageType language, const ParserRegistry& registry)
    : mintCurrentLanguage(language), mintPreviousLanguage(language), mRegistry(registry)
{
    Reset(language);
}

CRawDataHandler::~CRawDataHandler() = default;

// Starts a new job: drops every parser and every result.
void CRawDataHandler::Reset(RawLanguageType language)
{
    Log(LOG_INFO, "CRawDataHandler::Reset - resetting to language %d", language);
    mCurrentParser = nullptr;
    for (auto& parser : mvecParsers)
        parser.reset();
    mSetParser(language);
    mintColorType = COLOR_TYPE_UNKNOWN;
    mintCopies = 1;
    mblnDuplex = false;
    mintTotalBytes = 0;
    mvecPageSets.clear();
    mDefaultPageSet.Reset();
    mBuffer.ClearPreBuffer();
    mBuffer.SetMainBuffer(nullptr, 0);
    mblnDone = false;
    mblnCounted = true;
    mstrProblem.clear();
    mstrLastError.clear();
    mintProblemLanguage = LANGUAGE_UNKNOWN;
    mintPagesBeforeProblem = 0;
}

// Feeds one chunk to the current parser, following language switches, and
// keeps what was not consumed for the next chunk.
ParseDataResultType CRawDataHandler::ParseData(const unsigned char* data, unsigned long length)
{
    if (mblnDone) {
        Log(LOG_INFO, "CRawDataHandler::ParseData - ParseDone was already called, so ignoring data until next Reset.");
        return PARSE_RESULT_HANDLED;
    }
    if (data == nullptr)
        length = 0;
    if (mLogger != nullptr)
        mLogger->LogRawData(data, length);

    mBuffer.SetMainBuffer(data, length);
    mintTotalBytes += length;

    mstrLastError.clear();
    uint64_t keepFrom = 0;
    ParseDataResultType result = mRunParsers(keepFrom);
    if (!mKeepTail(keepFrom))
        result = PARSE_RESULT_FAILURE;

    mNoteResult(result);
    if (result < 0)
        Log(LOG_ERROR, "CRawDataHandler::ParseData - Failure when parsing data.  Parser: %d, Error: %d",
            mintCurrentLanguage, result);
    return result;
}

// Calls the current parser, and after each switch the new one on the buffer
// re-based where its data begins. keepFrom is where the unconsumed tail of
// the buffer starts.
ParseDataResultType CRawDataHandler::mRunParsers(uint64_t& keepFrom)
{
    keepFrom = 0;
    if (mCurrentParser == nullptr)
        return PARSE_RESULT_FAILURE;

    // The bytes processed are read from the parser that was called: a switch
    // has already made another parser current.
    IRawDataParser* parser = mCurrentParser;
    ParseDataResultType result = parser->ParseData(mBuffer);
    keepFrom = parser->BytesProcessed();
    int switchesWithoutProgress = 0;
    while (result == PARSE_RESULT_SWITCH_LANGUAGE) {
        Log(LOG_DEBUG, "Switching language. Bytes processed: %llu", static_cast<unsigned long long>(keepFrom));
        if (!mBuffer.AdjustToStartAt(keepFrom))
            return PARSE_RESULT_FAILURE;  // mKeepTail reports the bad count
        // Parsers may hand over without consuming a byte (the detector does),
        // but a chain of such switches that never ends is a loop.
        switchesWithoutProgress = keepFrom == 0 ? switchesWithoutProgress + 1 : 0;
        keepFrom = 0;
        if (switchesWithoutProgress > MAX_SWITCHES_WITHOUT_PROGRESS) {
            Log(LOG_ERROR, "CRawDataHandler::ParseData - Language switches make no progress. Parser: %d",
                mintCurrentLanguage);
            return PARSE_RESULT_FAILURE;
        }
        if (mCurrentParser == nullptr)
            return PARSE_RESULT_FAILURE;
        parser = mCurrentParser;
        result = parser->ParseData(mBuffer);
        keepFrom = parser->BytesProcessed();
    }
    return result;
}

// Keeps the bytes from keepFrom on in front of the next chunk. Fails, and
// drops them, when the count is beyond the data or the tail is too long to
// be a cut command.
bool CRawDataHandler::mKeepTail(uint64_t keepFrom)
{
    const uint64_t total = mBuffer.Length();
    if (keepFrom > total) {
        Log(LOG_ERROR, "CRawDataHandler::ParseData - Parser %d reported more bytes processed than it was given.",
            mintCurrentLanguage);
    } else if (total - keepFrom > MAX_KEPT_TAIL_BYTES) {
        Log(LOG_ERROR, "CRawDataHandler::ParseData - Parser %d left more than %llu bytes unconsumed.",
            mintCurrentLanguage, static_cast<unsigned long long>(MAX_KEPT_TAIL_BYTES));
    } else if (mBuffer.CopyFromMainIntoPrebuffer(keepFrom)) {
        return true;
    }
    mBuffer.ClearPreBuffer();
    mBuffer.SetMainBuffer(nullptr, 0);
    return false;
}

// Ends the job: the current parser finishes its last page, and the default
// page set joins the list when it holds pages.
ParseDataResultType CRawDataHandler::ParseDone()
{
    if (mblnDone)
        return PARSE_RESULT_HANDLED;

    // A language left for another one (PostScript followed by the printer's
    // job end, ESC %-12345X) may still hold the pages it counts at its end:
    // every parser the job used is ended, the current one last, whose result
    // is the job's.
    for (auto& parser : mvecParsers) {
        if (parser == nullptr || parser.get() == mCurrentParser)
            continue;
        const ParseDataResultType left = parser->ParseDone();
        if (left < 0)
            Log(LOG_INFO, "CRawDataHandler::ParseDone - A language the job left ended with %d.", left);
    }
    mstrLastError.clear();
    const ParseDataResultType result = mCurrentParser != nullptr ? mCurrentParser->ParseDone() : PARSE_RESULT_FAILURE;
    mNoteResult(result);
    if (mDefaultPageSet.mintColorPages > 0 || mDefaultPageSet.mintMonoPages >= 1)
        mvecPageSets.push_back(mDefaultPageSet);
    if (mintColorType == COLOR_TYPE_GRAYSCALE) {
        // The job asks the printer to print grey: its colour pages come out
        // grey, so they are mono pages.
        for (CRawPageSet& pageSet : mvecPageSets) {
            if (pageSet.mintColorPages > 0)
                Log(LOG_INFO, "CRawDataHandler::ParseDone - The job asks to print grey: %d colour pages of %.*s are mono.",
                    pageSet.mintColorPages, static_cast<int>(pageSet.GetName().size()), pageSet.GetName().data());
            pageSet.mintMonoPages = ClampTotal(int64_t{pageSet.mintMonoPages} + pageSet.mintColorPages);
            pageSet.mintColorPages = 0;
        }
        mintColorType = COLOR_TYPE_MONO;
    }

    Log(LOG_INFO, "CRawDataHandler::ParseDone - Page Sets ready for query.");
    mblnDone = true;
    return result;
}

// After a failure the job is no longer counted whole; the first failure
// names why, with the error line the parser logged as it gave up.
void CRawDataHandler::mNoteResult(ParseDataResultType result)
{
    if (result >= 0 || !mblnCounted)
        return;
    if (!mstrLastError.empty()) {
        mNoteNotCounted(mstrLastError);
        return;
    }
    char text[128];
    std::snprintf(text, sizeof text, "%s: the data could not be read (result %d)", LanguageName(mintCurrentLanguage),
                  static_cast<int>(result));
    mNoteNotCounted(text);
}

void CRawDataHandler::OnDataNotCounted(const char* reason)
{
    if (mblnCounted && reason != nullptr)
        mNoteNotCounted(std::string(reason, strnlen(reason, MAX_PROBLEM_TEXT)));
}

// The first reason the job is not counted whole, with the language and the
// pages counted then.
void CRawDataHandler::mNoteNotCounted(const std::string& reason)
{
    mblnCounted = false;
    mintProblemLanguage = mintCurrentLanguage;
    int64_t pages = static_cast<int64_t>(mDefaultPageSet.mintMonoPages) + mDefaultPageSet.mintColorPages;
    for (const CRawPageSet& pageSet : mvecPageSets)
        pages += static_cast<int64_t>(pageSet.mintMonoPages) + pageSet.mintColorPages;
    mintPagesBeforeProblem = ClampTotal(pages);
    mstrProblem = reason;
}

// Sums the mono and colour pages of every set.
int CRawDataHandler::GetTotalPageCount(int* mono, int* color) const
{
    int64_t monoPages = 0;
    int64_t colorPages = 0;
    for (const CRawPageSet& pageSet : mvecPageSets) {
        monoPages += pageSet.mintMonoPages;
        colorPages += pageSet.mintColorPages;
    }
    if (mono != nullptr)
        *mono = ClampTotal(monoPages);
    if (color != nullptr)
        *color = ClampTotal(colorPages);
    return ClampTotal(monoPages + colorPages);
}

// Passes the library's log lines to the host's sink, when there is one; the
// last error line of a call is kept, as the reason should the call fail.
void CRawDataHandler::LogMessage(LogLevel level, const char* text)
{
    if (level == LOG_ERROR && text != nullptr)
        mstrLastError.assign(text, strnlen(text, MAX_PROBLEM_TEXT));
    if (mLogger != nullptr)
        mLogger->LogMessage(level, text);
}

// Counts a finished page in the set of its size, or in the default set.
void CRawDataHandler::OnPageCompleted(const CRawPage& page)
{
    CRawPageSet& pageSet = mPageSetFor(page);
    AddPage(page.mblnColor ? pageSet.mintColorPages : pageSet.mintMonoPages);

    if (!LogsAt(LOG_INFO))
        return;
    const std::string_view name = pageSet.GetName();
    if (page.mblnColor)
        Log(LOG_INFO, "CRawDataHandler::OnPageCompleted - Color Page Detected.  Page size: %.*s, dimensions: %d x %d",
            static_cast<int>(name.size()), name.data(), pageSet.mintWidth, pageSet.mintHeight);
    else
        Log(LOG_INFO, "CRawDataHandler::OnPageCompleted - B/W Page Detected.  Page size: %.*s, dimensions: %d x %d",
            static_cast<int>(name.size()), name.data(), pageSet.mintWidth, pageSet.mintHeight);
}

// The set a page counts in: sized pages go to the first set of equal width and
// height (names are not compared), opened when there is none yet.
CRawPageSet& CRawDataHandler::mPageSetFor(const CRawPage& page)
{
    if (page.GetName().empty() || page.mintWidth == 0 || page.mintHeight == 0)
        return mDefaultPageSet;

    auto found = std::find_if(mvecPageSets.begin(), mvecPageSets.end(), [&page](const CRawPageSet& pageSet) {
        return pageSet.mintWidth == page.mintWidth && pageSet.mintHeight == page.mintHeight;
    });
    if (found != mvecPageSets.end())
        return *found;

    if (mvecPageSets.size() >= MAX_PAGE_SETS) {
        Log(LOG_ERROR, "CRawDataHandler::OnPageCompleted - Too many page sizes, page counted in the default page set.");
        return mDefaultPageSet;
    }
    CRawPageSet& pageSet = mvecPageSets.emplace_back();
    pageSet.SetName(page.GetName());
    pageSet.mintWidth = page.mintWidth;
    pageSet.mintHeight = page.mintHeight;
    pageSet.mintOrientation = mDefaultPageSet.mintOrientation;
    return pageSet;
}

// Applies a reported job property by its rule: duplex, orientation and paper
// name take the last report, copies, colour type and paper dimensions only a
// larger one.
void CRawDataHandler::OnJobPropertyChanged(RawDataJobProperty property, const void* value)
{
    if (value == nullptr)
        return;
    switch (property) {
    case PROPERTY_DUPLEX:
        mblnDuplex = *static_cast<const bool*>(value);
        Log(LOG_DEBUG, "CRawDataHandler::OnJobPropertyChanged - Duplex is now %d", mblnDuplex);
        break;
    case PROPERTY_COPIES:
        mSetCopies(*static_cast<const unsigned long*>(value));
        break;
    case PROPERTY_COLOR_TYPE: {
        const RawColorType colorType = *static_cast<const RawColorType*>(value);
        if (colorType < COLOR_TYPE_UNKNOWN || colorType > COLOR_TYPE_GRAYSCALE) {
            Log(LOG_ERROR, "CRawDataHandler::OnJobPropertyChanged - Unknown color type: %d", colorType);
        } else if (colorType > mintColorType) {
            mintColorType = colorType;
            Log(LOG_DEBUG, "CRawDataHandler::OnJobPropertyChanged - Color Type is now %d", mintColorType);
        }
        break;
    }
    case PROPERTY_DEFAULT_ORIENTATION: {
        const RawPaperOrientation orientation = *static_cast<const RawPaperOrientation*>(value);
        if (orientation != ORIENTATION_PORTRAIT && orientation != ORIENTATION_LANDSCAPE) {
            Log(LOG_ERROR, "CRawDataHandler::OnJobPropertyChanged - Unknown orientation: %d", orientation);
        } else {
            mDefaultPageSet.mintOrientation = orientation;
            Log(LOG_DEBUG, "CRawDataHandler::OnJobPropertyChanged - Default Orientation is now %d", orientation);
        }
        break;
    }
    case PROPERTY_DEFAULT_PAGE_SIZE: {
        // At most a record's worth of characters: the name may fill a record
        // without a terminator.
        const char* text = static_cast<const char*>(value);
        mDefaultPageSet.SetName(std::string_view(text, strnlen(text, PAPER_NAME_LENGTH)));
        if (!LogsAt(LOG_DEBUG))
            break;
        const std::string_view name = mDefaultPageSet.GetName();
        Log(LOG_DEBUG, "CRawDataHandler::OnJobPropertyChanged - Default Page Size is now %.*s",
            static_cast<int>(name.size()), name.data());
        break;
    }
    case PROPERTY_DEFAULT_PAGE_WIDTH:
        mKeepLargerDimension(mDefaultPageSet.mintWidth, *static_cast<const int*>(value), "Width", "width");
        break;
    case PROPERTY_DEFAULT_PAGE_HEIGHT:
        mKeepLargerDimension(mDefaultPageSet.mintHeight, *static_cast<const int*>(value), "Height", "height");
        break;
    default:
        Log(LOG_ERROR, "RawDataHandler::OnJobPropertyChanged - Unsupported raw data job property: %d", property);
        break;
    }
}

// Keeps a default page dimension only when the new one is larger.
void CRawDataHandler::mKeepLargerDimension(int32_t& dimension, int value, const char* name, const char* lowerName)
{
    const bool larger = value > dimension;
    if (larger)
        dimension = value;
    if (!LogsAt(LOG_DEBUG))
        return;
    if (larger) {
        Log(LOG_DEBUG, "CRawDataHandler::OnJobPropertyChanged - Default Page %s is now %d tenthsmm", name, value);
    } else {
        Log(LOG_DEBUG, "CRawDataHandler::OnJobPropertyChanged - New page %s of %d detected, but previous of %d is larger.",
            lowerName, value, dimension);
    }
}

// Keeps a larger copy count. Counts from printer data that are 0 or negative
// (a negative number arrives as a huge unsigned one) are ignored, and counts
// beyond what a printer accepts are cut.
void CRawDataHandler::mSetCopies(unsigned long copies)
{
    if (copies == 0 || copies > static_cast<unsigned long>(std::numeric_limits<long>::max()))
        return;
    copies = std::min<unsigned long>(copies, MAX_COPIES);
    if (copies <= mintCopies)
        return;
    mintCopies = copies;
    Log(LOG_DEBUG, "CRawDataHandler::OnJobPropertyChanged - Copies is now %lu", mintCopies);
}

// Makes the announced language current: 0 without literalTarget goes back to
// the language the last switch came from.
void CRawDataHandler::OnNextLanguage(RawLanguageType language, bool literalTarget)
{
    Log(LOG_INFO, "CRawDataHandler::OnNextLanguage - Next Language is: %d", language);
    if (!literalTarget && language == LANGUAGE_UNKNOWN)
        language = mintPreviousLanguage;
    mSetParser(language);
}

// Puts the job's page total into one set: the first sized set (the others are
// dropped) or else the default set, as colour pages when the job is colour.
void CRawDataHandler::OnPageCountOverride(unsigned long pages)
{
    mDefaultPageSet.mintMonoPages = 0;
    mDefaultPageSet.mintColorPages = 0;
    CRawPageSet* target = &mDefaultPageSet;
    if (!mvecPageSets.empty()) {
        mvecPageSets.resize(1);
        target = &mvecPageSets.front();
    }
    const int32_t count = ClampToInt32(pages);
    const bool color = mintColorType == COLOR_TYPE_COLOR;
    target->mintColorPages = color ? count : 0;
    target->mintMonoPages = color ? 0 : count;
}

// Makes a language current, creating its parser on first use. A language
// without a parser leaves no current parser, so the job stops with a failure
// instead of feeding the data to the wrong parser.
void CRawDataHandler::mSetParser(RawLanguageType language)
{
    if (!IsKnownLanguage(language)) {
        Log(LOG_DEBUG, "RawDataHandler::mSetParser - Unknown parser: %d", language);
        return;
    }
    if (language == LANGUAGE_ESCPAGE)
        Log(LOG_INFO, "RawDataHandler::mSetParser - Setting ESC/Page parser.");
    else if (language == LANGUAGE_ESCP2)
        Log(LOG_INFO, "RawDataHandler::mSetParser - Setting ESC/P 2 parser.");
    else if (language == LANGUAGE_ESCP_BONJOUR)
        Log(LOG_INFO, "RawDataHandler::mSetParser - Setting ESC/P parser coming from Bonjour.");

    std::unique_ptr<IRawDataParser>& parser = mvecParsers[static_cast<size_t>(language)];
    if (parser == nullptr) {
        parser = mRegistry.Create(language);
        if (parser != nullptr)
            parser->AddListener(this);
        else
            Log(LOG_ERROR, "RawDataHandler::mSetParser - No parser for language: %d", language);
    }
    // The page in progress goes with the job to the language it enters.
    if (parser != nullptr && mCurrentParser != nullptr && parser.get() != mCurrentParser)
        parser->EnterLanguage(mintCurrentLanguage, mCurrentParser->LeaveLanguage());
    mintPreviousLanguage = mintCurrentLanguage;
    mintCurrentLanguage = language;
    mCurrentParser = parser.get();
}

}  // namespace RawPrintData
