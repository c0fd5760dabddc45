#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "PrinterLanguageParser/Parser/ParserLimits.h"
#include "tests/Parser/ChunkInvariance.h"
#include "tests/Parser/ExpectedPageSets.h"
#include "tests/Parser/ScriptParser.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

// A job in the script language (detected by the Prescribe signature).
Bytes Script(const std::string& lines)
{
    return ToBytes("!R!\n" + lines);
}

// Runs a script job in every chunking and returns its outcome.
ParseOutcome RunScript(const std::string& lines)
{
    return ExpectChunkInvariant(Script(lines), ScriptRegistryForAllLanguages());
}

// A handler that has been fed a script job whole but not yet finished.
struct FedHandler {
    explicit FedHandler(const std::string& lines) : mHandler(LANGUAGE_UNKNOWN, ScriptRegistryForAllLanguages())
    {
        const Bytes job = Script(lines);
        mintResult = mHandler.ParseData(job.data(), job.size());
    }
    CRawDataHandler mHandler;
    ParseDataResultType mintResult;
};

// Records what reaches a host's sink.
class RecordingLogger final : public ILogger {
public:
    void WriteError(const char* text) override { mvecErrors.emplace_back(text); }
    void WriteMessage(const char* text, LogLevel) override { mvecMessages.emplace_back(text); }
    void LogRawData(const void*, unsigned long length) override { mintRawBytes += length; }

    bool Saw(const std::vector<std::string>& lines, const std::string& text) const
    {
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    }

    std::vector<std::string> mvecErrors;
    std::vector<std::string> mvecMessages;
    uint64_t mintRawBytes = 0;
};

// Raises the library's shared log level for one test.
class DebugLogLevel {
public:
    DebugLogLevel() { IAbstractLogger::SetLogLevel(LOG_DEBUG); }
    ~DebugLogLevel() { IAbstractLogger::SetLogLevel(LOG_ERROR); }
};

}  // namespace

// Pages join the first set of their exact size, whatever its name; pages of
// no known size go to the default set, which comes last.
TEST(PageSets, MatchedByExactSizeInOrderOpened)
{
    const ParseOutcome outcome = RunScript(
        "P A4 2100 2970\n"
        "P A4 2100 2970 c\n"
        "P Custom 2100 2970\n"
        "O 1\n"
        "P Letter 2159 2794\n"
        "P A4 2970 2100\n"
        "P - 2100 2970\n"
        "P Zero 0 2970\n"
        "N c\n"
        "P Letter 2159 2794 c\n");

    ExpectPageSets(outcome, {
        {"A4", 2100, 2970, 2, 1, ORIENTATION_PORTRAIT},
        {"Letter", 2159, 2794, 1, 1, ORIENTATION_LANDSCAPE},
        {"A4", 2970, 2100, 1, 0, ORIENTATION_LANDSCAPE},
        {"", 0, 0, 2, 1, ORIENTATION_LANDSCAPE},
    });
    EXPECT_EQ(outcome.mintMonoPages, 6);
    EXPECT_EQ(outcome.mintColorPages, 3);
}

// The default set only joins the list when it holds a page.
TEST(PageSets, EmptyDefaultSetIsLeftOut)
{
    EXPECT_EQ(RunScript("P A4 2100 2970\n").mvecPageSets.size(), 1u);
    EXPECT_TRUE(RunScript("C 2\n").mvecPageSets.empty());
}

// Sizes beyond the limit count in the default set instead of growing the list.
TEST(PageSets, DistinctSizesAreBounded)
{
    std::string lines;
    for (size_t size = 1; size <= MAX_PAGE_SETS + 5; ++size)
        lines += "P S " + std::to_string(size) + " 1\n";
    const ParseOutcome outcome = ParseWhole(Script(lines), ScriptRegistryForAllLanguages());
    ASSERT_EQ(outcome.mvecPageSets.size(), MAX_PAGE_SETS + 1);
    EXPECT_EQ(outcome.mvecPageSets.back().mintMonoPages, 5);
    EXPECT_EQ(outcome.mintMonoPages, static_cast<int>(MAX_PAGE_SETS + 5));
}

// Each property follows its own rule when sources disagree.
TEST(JobProperties, RulesPerProperty)
{
    struct Case {
        const char* mstrScript;
        unsigned long mintCopies;
        RawColorType mintColor;
        bool mblnDuplex;
    };
    const Case cases[] = {
        {"C 3\nC 2\n", 3, COLOR_TYPE_UNKNOWN, false},
        {"C 2\nC 3\n", 3, COLOR_TYPE_UNKNOWN, false},
        {"C 3\nC 2\nA 1\n", 4, COLOR_TYPE_UNKNOWN, false},
        {"A 2\nC 2\n", 3, COLOR_TYPE_UNKNOWN, false},
        {"C 0\n", 1, COLOR_TYPE_UNKNOWN, false},
        {"C -5\n", 1, COLOR_TYPE_UNKNOWN, false},
        {"A -1\n", 1, COLOR_TYPE_UNKNOWN, false},
        {"C 100000\n", MAX_COPIES, COLOR_TYPE_UNKNOWN, false},
        {"C 9998\nA 5\n", MAX_COPIES, COLOR_TYPE_UNKNOWN, false},
        {"C 2\nA 9223372036854775807\n", MAX_COPIES, COLOR_TYPE_UNKNOWN, false},
        {"C 4294967297\n", MAX_COPIES, COLOR_TYPE_UNKNOWN, false},
        {"D 1\nD 0\n", 1, COLOR_TYPE_UNKNOWN, false},
        {"D 0\nD 1\n", 1, COLOR_TYPE_UNKNOWN, true},
        {"K 2\nK 3\n", 1, COLOR_TYPE_MONO, false},
        {"K 3\nK 2\n", 1, COLOR_TYPE_MONO, false},
        {"K 2\nK 1\n", 1, COLOR_TYPE_COLOR, false},
        {"K 1\n", 1, COLOR_TYPE_MONO, false},
        {"K 7\n", 1, COLOR_TYPE_UNKNOWN, false},
        {"K -1\n", 1, COLOR_TYPE_UNKNOWN, false},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.mstrScript);
        const ParseOutcome outcome = RunScript(testCase.mstrScript);
        EXPECT_EQ(outcome.mintCopies, testCase.mintCopies);
        EXPECT_EQ(outcome.mintColorType, testCase.mintColor);
        EXPECT_EQ(outcome.mblnDuplex, testCase.mblnDuplex);
    }
}

// The default page takes the last name, the larger dimensions and the last
// orientation; a name of 256 characters or more fills the record without a NUL.
TEST(JobProperties, DefaultPageSize)
{
    const std::string longName(300, 'n');
    const ParseOutcome outcome = RunScript("S Letter\nS " + longName + "\nW 2100\nH 2970\nW 1000\nH 1000\nO 1\nN\n");
    ASSERT_EQ(outcome.mvecPageSets.size(), 1u);
    const CRawPageSet& set = outcome.mvecPageSets[0];
    EXPECT_EQ(set.GetName(), longName.substr(0, PAPER_NAME_LENGTH));
    EXPECT_EQ(set.mstrPaperName[PAPER_NAME_LENGTH - 1], 'n');
    EXPECT_EQ(set.mintWidth, 2100);
    EXPECT_EQ(set.mintHeight, 2970);
    EXPECT_EQ(set.mintOrientation, ORIENTATION_LANDSCAPE);
    EXPECT_EQ(set.mintMonoPages, 1);
}

// The override puts the total into the first set (colour pages for a colour
// job) and drops the other sets and the default set's pages.
TEST(PageCountOverride, ReplacesThePageCounts)
{
    struct Case {
        const char* mstrScript;
        size_t mintSets;
        const char* mstrName;
        int32_t mintMono, mintColor;
    };
    const Case cases[] = {
        {"K 2\nP A4 2100 2970\nP Letter 2159 2794\nP A3 2970 4200\nN\nT 10\n", 1, "A4", 0, 10},
        {"P A4 2100 2970 c\nP A3 2970 4200\nT 10\n", 1, "A4", 10, 0},
        {"N\nN c\nT 7\n", 1, "", 7, 0},
        {"K 3\nT 7\n", 1, "", 7, 0},
        {"T 0\n", 0, "", 0, 0},
        {"P A4 2100 2970\nT 3000000000\n", 1, "A4", INT32_MAX, 0},
        {"P A4 2100 2970\nT 10\nP A4 2100 2970\nN\n", 2, "A4", 11, 0},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.mstrScript);
        const ParseOutcome outcome = RunScript(testCase.mstrScript);
        ASSERT_EQ(outcome.mvecPageSets.size(), testCase.mintSets) << outcome.Describe();
        if (testCase.mintSets == 0)
            continue;
        EXPECT_EQ(outcome.mvecPageSets[0].GetName(), testCase.mstrName);
        EXPECT_EQ(outcome.mvecPageSets[0].mintMonoPages, testCase.mintMono);
        EXPECT_EQ(outcome.mvecPageSets[0].mintColorPages, testCase.mintColor);
    }
}

// Page counts and their sums stop at the largest number instead of wrapping.
TEST(PageCounts, Saturate)
{
    FedHandler fed("P A4 2100 2970\nT 3000000000\nP A4 2100 2970\nN\nN c\n");
    ASSERT_EQ(fed.mintResult, PARSE_RESULT_HANDLED);
    fed.mHandler.ParseDone();
    int mono = 0;
    int color = 0;
    EXPECT_EQ(fed.mHandler.GetTotalPageCount(&mono, &color), INT_MAX);
    EXPECT_EQ(mono, INT_MAX);
    EXPECT_EQ(color, 1);
    EXPECT_EQ(fed.mHandler.GetPageSets()[0].mintMonoPages, INT32_MAX);
}

// The total can be asked with either, both or no out-parameter.
TEST(PageCounts, TotalWithOptionalParts)
{
    FedHandler fed("P A4 2100 2970\nP A4 2100 2970 c\nN c\n");
    fed.mHandler.ParseDone();
    EXPECT_EQ(fed.mHandler.GetTotalPageCount(nullptr, nullptr), 3);
    int mono = -1;
    EXPECT_EQ(fed.mHandler.GetTotalPageCount(&mono, nullptr), 3);
    EXPECT_EQ(mono, 1);
    int color = -1;
    EXPECT_EQ(fed.mHandler.GetTotalPageCount(nullptr, &color), 3);
    EXPECT_EQ(color, 2);
}

// After ParseDone, data and a second ParseDone change nothing until Reset.
TEST(HandlerLifecycle, ParseDoneClosesTheJob)
{
    FedHandler fed("P A4 2100 2970\nC 2\n");
    CRawDataHandler& handler = fed.mHandler;
    EXPECT_EQ(handler.ParseDone(), PARSE_RESULT_HANDLED);
    const Bytes more = ToBytes("P A3 2970 4200\nC 5\nF\n");
    EXPECT_EQ(handler.ParseData(more.data(), more.size()), PARSE_RESULT_HANDLED);
    EXPECT_EQ(handler.ParseDone(), PARSE_RESULT_HANDLED);
    EXPECT_EQ(handler.GetPageSets().size(), 1u);
    EXPECT_EQ(handler.GetCopies(), 2u);
    EXPECT_EQ(handler.GetTotalBytesParsed(), Script("P A4 2100 2970\nC 2\n").size());
}

// Reset starts a new job: results cleared, parsers made afresh, the
// parse-succeeded flag left to its owner.
TEST(HandlerLifecycle, ResetStartsANewJob)
{
    int made = 0;
    ParserRegistry registry = ParserRegistry::BuiltIn();
    registry.Register(LANGUAGE_PRESCRIBE, [&made] {
        ++made;
        return std::make_unique<ScriptParser>();
    });
    CRawDataHandler handler(LANGUAGE_UNKNOWN, registry);
    handler.SetParseSucceeded(true);
    const Bytes first = Script("P A4 2100 2970 c\nC 3\nD 1\nK 2\nS Letter\nW 2159\n");
    ASSERT_EQ(handler.ParseData(first.data(), first.size()), PARSE_RESULT_HANDLED);
    handler.ParseDone();

    handler.Reset(LANGUAGE_UNKNOWN);
    EXPECT_EQ(handler.GetCopies(), 1u);
    EXPECT_EQ(handler.GetColorType(), COLOR_TYPE_UNKNOWN);
    EXPECT_FALSE(handler.IsDuplex());
    EXPECT_TRUE(handler.GetPageSets().empty());
    EXPECT_EQ(handler.GetTotalBytesParsed(), 0u);
    EXPECT_EQ(handler.GetCurrentLanguage(), LANGUAGE_UNKNOWN);
    EXPECT_TRUE(handler.IsParseSucceeded());

    const Bytes second = Script("N\n");
    ASSERT_EQ(handler.ParseData(second.data(), second.size()), PARSE_RESULT_HANDLED);
    handler.ParseDone();
    EXPECT_EQ(made, 2);
    ASSERT_EQ(handler.GetPageSets().size(), 1u);
    EXPECT_EQ(handler.GetPageSets()[0].GetName(), "");  // the default name of the first job is gone
    EXPECT_EQ(handler.GetPageSets()[0].mintMonoPages, 1);
}

// A handler made for a language without a parser, or for no language at all,
// fails every call.
TEST(HandlerLifecycle, NoCurrentParserFails)
{
    ParserRegistry registry = ParserRegistry::BuiltIn();
    registry.Register(LANGUAGE_PCL5, nullptr);
    for (const auto language : {LANGUAGE_PCL5, static_cast<RawLanguageType>(42)}) {
        CRawDataHandler handler(language, registry);
        const Bytes job = ToBytes("\x1B" "E");
        EXPECT_EQ(handler.ParseData(job.data(), job.size()), PARSE_RESULT_FAILURE);
        EXPECT_EQ(handler.ParseDone(), PARSE_RESULT_FAILURE);
    }
}

// Errors reach a host's sink by default, other lines only at a higher level,
// raw chunks always; paper names in log lines stay inside their record.
TEST(HandlerLogging, ReachesTheHostSink)
{
    RecordingLogger logger;
    {
        CRawDataHandler handler;
        handler.SetLogger(&logger);
        const Bytes job = ToBytes(std::string(1100, 'z'));
        EXPECT_EQ(handler.ParseData(job.data(), job.size()), PARSE_RESULT_DETECTION_FAILED);
        EXPECT_EQ(logger.mintRawBytes, job.size());
    }
    EXPECT_TRUE(logger.Saw(logger.mvecErrors, "LanguageDetector::ParseData - Language Detection Failed."));
    EXPECT_TRUE(logger.Saw(logger.mvecErrors, "CRawDataHandler::ParseData - Failure when parsing data.  Parser: 0, Error: -1"));
    EXPECT_TRUE(logger.mvecMessages.empty());

    DebugLogLevel debug;
    RecordingLogger verbose;
    CRawDataHandler handler(LANGUAGE_UNKNOWN, ScriptRegistryForAllLanguages());
    handler.SetLogger(&verbose);
    const std::string longName(300, 'x');
    const Bytes job = Script("P A4 2100 2970\nP " + longName + " 1 2 c\n");
    handler.ParseData(job.data(), job.size());
    EXPECT_TRUE(verbose.Saw(verbose.mvecMessages,
                            "CRawDataHandler::OnPageCompleted - B/W Page Detected.  Page size: A4, dimensions: 2100 x 2970"));
    EXPECT_TRUE(verbose.Saw(verbose.mvecMessages, "CRawDataHandler::OnPageCompleted - Color Page Detected.  Page size: " +
                                                      longName.substr(0, PAPER_NAME_LENGTH) + ", dimensions: 1 x 2"));
    EXPECT_TRUE(verbose.Saw(verbose.mvecMessages, "LanguageDetector::ParseData - Language detected: 15"));

    const std::string huge(70000, 'h');
    handler.Log(LOG_ERROR, "%s", huge.c_str());
    ASSERT_FALSE(verbose.mvecErrors.empty());
    EXPECT_EQ(verbose.mvecErrors.back().size(), static_cast<size_t>(IAbstractLogger::mintMAX_LOG_TEXT));
}
