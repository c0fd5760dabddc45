#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "PrinterLanguageParser/Parser/ParserLimits.h"
#include "tests/Parser/ChunkInvariance.h"
#include "tests/Parser/ScriptParser.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

const std::string PJL_START = "\x1B%-12345X@PJL\n";

// Script parsers for the main languages, each one made remembered by language.
struct MadeParsers {
    ParserRegistry Registry()
    {
        ParserRegistry registry = ParserRegistry::BuiltIn();
        for (RawLanguageType language : {LANGUAGE_POSTSCRIPT, LANGUAGE_PCL5, LANGUAGE_PJL, LANGUAGE_CPCA})
            registry.Register(language, [this, language] {
                auto parser = std::make_unique<ScriptParser>();
                mvecMade.emplace(language, parser.get());
                return parser;
            });
        return registry;
    }
    std::multimap<RawLanguageType, ScriptParser*> mvecMade;
};

}  // namespace

// PJL, PostScript, PJL again and PCL 5 use three parser objects, and the PJL
// object keeps what it had read when the job comes back to it.
TEST(LanguageSwitch, ReenteredParserKeepsItsState)
{
    MadeParsers made;
    CRawDataHandler handler(LANGUAGE_UNKNOWN, made.Registry());
    const Bytes job = ToBytes(PJL_START + "L 1\nP A4 2100 2970\nL 4\nL 2\nN\n");
    ASSERT_EQ(handler.ParseData(job.data(), job.size()), PARSE_RESULT_HANDLED);
    EXPECT_EQ(handler.ParseDone(), PARSE_RESULT_HANDLED);

    EXPECT_EQ(made.mvecMade.size(), 3u);
    ASSERT_EQ(made.mvecMade.count(LANGUAGE_PJL), 1u);
    EXPECT_EQ(made.mvecMade.find(LANGUAGE_PJL)->second->LinesSeen(), 3u);
    EXPECT_EQ(handler.GetCurrentLanguage(), LANGUAGE_PCL5);
    EXPECT_EQ(handler.GetTotalPageCount(), 2);
}

// A switch to 0 goes back to where the last switch came from; taken
// literally it restarts detection. A literal switch remembers the language it
// left, as the PostScript parser does when it hands over to CPCA.
TEST(LanguageSwitch, ZeroMeansBackOrDetection)
{
    struct Case {
        std::string mstrJob;
        RawLanguageType mintFinal;
        int mintPages;
    };
    const Case cases[] = {
        {PJL_START + "L 1\nL 0\nN\n", LANGUAGE_PJL, 1},
        {PJL_START + "L 1\nL 0 literal\n\x1B" "E\nN\n", LANGUAGE_PCL5, 1},
        {"%!PS\nL 11 literal\nN\nL 0\nN\n", LANGUAGE_POSTSCRIPT, 2},
        {PJL_START + "L 99\nN\n", LANGUAGE_PJL, 1},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testing::PrintToString(testCase.mstrJob));
        MadeParsers made;
        const ParseOutcome outcome = ExpectChunkInvariant(ToBytes(testCase.mstrJob), made.Registry());
        EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED);
        EXPECT_EQ(outcome.mintMonoPages, testCase.mintPages);

        CRawDataHandler handler(LANGUAGE_UNKNOWN, made.Registry());
        const Bytes job = ToBytes(testCase.mstrJob);
        handler.ParseData(job.data(), job.size());
        EXPECT_EQ(handler.GetCurrentLanguage(), testCase.mintFinal);
    }
}

// A skipped language hands the data after its trailer back to the language
// before it within the same call, also when the trailer is cut by a chunk.
TEST(LanguageSwitch, SkippedLanguageReturnsAfterItsTrailer)
{
    const std::string job = PJL_START + "L 9\n*OceJob stuff \x0C\x0C *OceJobData\nN\nP A4 2100 2970 c\n";
    const ParseOutcome outcome = ExpectChunkInvariant(ToBytes(job), ScriptRegistryForAllLanguages());
    EXPECT_EQ(outcome.mintMonoPages, 1);
    EXPECT_EQ(outcome.mintColorPages, 1);

    CRawDataHandler handler(LANGUAGE_UNKNOWN, ScriptRegistryForAllLanguages());
    const Bytes bytes = ToBytes(job);
    ASSERT_EQ(handler.ParseData(bytes.data(), bytes.size()), PARSE_RESULT_HANDLED);
    EXPECT_EQ(handler.GetCurrentLanguage(), LANGUAGE_PJL);
}

// Failures the frame itself detects, each ending the parse with -3.
TEST(LanguageSwitch, FailuresEndWithMinusThree)
{
    ParserRegistry withoutPcl6 = ScriptRegistryForAllLanguages();
    withoutPcl6.Register(LANGUAGE_PCL6, nullptr);
    struct Case {
        const char* mstrName;
        std::string mstrJob;
        const ParserRegistry* mRegistry;
        int mintPages;
    };
    const ParserRegistry scripts = ScriptRegistryForAllLanguages();
    const Case cases[] = {
        {"switch to a language without a parser", PJL_START + "N\nL 3\nN\n", &withoutPcl6, 1},
        {"detected language without a parser", ") HP-PCL XL;2;0\nN\n", &withoutPcl6, 0},
        {"switches that consume nothing", PJL_START + "N\nZ 4\nN\n", &scripts, 1},
        {"switches in a circle that consume nothing", PJL_START + "N\nL 2\nL 4\nZ 0\nN\n", &scripts, 1},
        {"more bytes processed than given", PJL_START + "N\nB\nN\n", &scripts, 1},
        {"parser's own failure", PJL_START + "N\nF\nN\n", &scripts, 1},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.mstrName);
        const ParseOutcome outcome = ExpectChunkInvariant(ToBytes(testCase.mstrJob), *testCase.mRegistry);
        EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_FAILURE);
        EXPECT_EQ(outcome.mintMonoPages, testCase.mintPages);
    }
}

// After a failure the handler stays usable: the failing parser stays current
// and the unconsumed data is read with the next chunk.
TEST(LanguageSwitch, HandlerGoesOnAfterAFailure)
{
    CRawDataHandler handler(LANGUAGE_UNKNOWN, ScriptRegistryForAllLanguages());
    const Bytes first = ToBytes(PJL_START + "F\nP A4 2100 2970\n");
    EXPECT_EQ(handler.ParseData(first.data(), first.size()), PARSE_RESULT_FAILURE);
    const Bytes second = ToBytes("N\n");
    EXPECT_EQ(handler.ParseData(second.data(), second.size()), PARSE_RESULT_HANDLED);
    handler.ParseDone();
    EXPECT_EQ(handler.GetTotalPageCount(), 2);
}

// A parser may leave a cut command unconsumed, but not without bound: the job
// fails once the tail passes the limit, and a tail just under it is kept.
TEST(LanguageSwitch, UnconsumedTailIsBounded)
{
    const size_t chunks[] = {65536};
    const std::string endless = "P A4 2100 2970 " + std::string(2 * MAX_KEPT_TAIL_BYTES, 'x');
    const ParseOutcome tooLong = ParseInChunks(ToBytes(PJL_START + endless + "\n"), chunks, ScriptRegistryForAllLanguages());
    EXPECT_EQ(tooLong.mintFirstFailure, PARSE_RESULT_FAILURE);
    EXPECT_EQ(tooLong.mintMonoPages, 0);

    CRawDataHandler handler(LANGUAGE_UNKNOWN, ScriptRegistryForAllLanguages());
    const Bytes job = ToBytes(PJL_START + endless);
    size_t calls = 0;
    ParseDataResultType result = PARSE_RESULT_HANDLED;
    for (size_t position = 0; position < job.size() && result >= 0; position += chunks[0], ++calls)
        result = handler.ParseData(job.data() + position, std::min(chunks[0], job.size() - position));
    EXPECT_EQ(result, PARSE_RESULT_FAILURE);
    EXPECT_LE(calls, MAX_KEPT_TAIL_BYTES / chunks[0] + 2);

    const std::string longLine = "P A4 2100 2970 " + std::string(MAX_KEPT_TAIL_BYTES - 100, 'x') + "\n";
    const size_t smallChunks[] = {4096};
    const ParseOutcome underLimit = ParseInChunks(ToBytes(PJL_START + longLine), smallChunks, ScriptRegistryForAllLanguages());
    EXPECT_EQ(underLimit.mintFirstFailure, PARSE_RESULT_HANDLED);
    EXPECT_EQ(underLimit.mintMonoPages, 1);
}
