#include "PrinterLanguageParser/Parser/CRawDataHandler.h"
#include "tests/Parser/ChunkInvariance.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

// Stands in for every language's parser: swallows its data and, at the end,
// reports one page whose name tells which language it was made for and the
// first bytes it was given, so detection shows in the handler's results.
class ProbeParser final : public IRawDataParser {
public:
    explicit ProbeParser(RawLanguageType language) : mintLanguage(language) {}

    ParseDataResultType ParseData(const DataBuffer& buffer) override
    {
        for (uint64_t index = 0; index < buffer.Length() && mstrStart.size() < START_BYTES; ++index)
            mstrStart.push_back(static_cast<char>(buffer[index]));
        mintBytesProcessed = buffer.Length();
        return PARSE_RESULT_HANDLED;
    }

    ParseDataResultType ParseDone() override
    {
        CRawPage page;
        page.SetName(ProbeName(mintLanguage, mstrStart));
        page.mintWidth = 1;
        page.mintHeight = 1;
        NotifyPageCompleted(page);
        return PARSE_RESULT_HANDLED;
    }

    void NotifyDefaultPageCompleted() override {}

    static constexpr size_t START_BYTES = 12;

    // The page name a probe reports.
    static std::string ProbeName(RawLanguageType language, std::string_view start)
    {
        std::string name = "L" + std::to_string(language) + ":";
        for (unsigned char byte : start.substr(0, START_BYTES)) {
            static const char digits[] = "0123456789abcdef";
            name += digits[byte >> 4];
            name += digits[byte & 15];
        }
        return name;
    }

private:
    RawLanguageType mintLanguage;
    std::string mstrStart;
};

// The library's detector and skipped languages, a probe for every other language.
ParserRegistry ProbeRegistry()
{
    ParserRegistry registry = ParserRegistry::BuiltIn();
    for (RawLanguageType language : {LANGUAGE_POSTSCRIPT, LANGUAGE_PCL5, LANGUAGE_PCL6, LANGUAGE_PJL, LANGUAGE_HPGL,
                                     LANGUAGE_CGM, LANGUAGE_EPS, LANGUAGE_CPCA, LANGUAGE_ESCPAGE, LANGUAGE_ESCP2,
                                     LANGUAGE_ESCP_BONJOUR, LANGUAGE_PRESCRIBE, LANGUAGE_PDF})
        registry.Register(language, [language] { return std::make_unique<ProbeParser>(language); });
    return registry;
}

std::string Nuls(size_t count)
{
    return std::string(count, '\0');
}

// Text that begins no language.
std::string Letters(size_t count)
{
    return std::string(count, 'z');
}

struct DetectionCase {
    const char* mstrName;
    std::string mstrJob;
    int mintLanguage;  // -1: no language reached a parser
    size_t mintStart;  // where the language's parser starts in the job
    ParseDataResultType mintFailure;
};

const DetectionCase DETECTION_CASES[] = {
    {"PostScript", "%!PS-Adobe-3.0\n%%Pages: 1\n", LANGUAGE_POSTSCRIPT, 0, PARSE_RESULT_HANDLED},
    {"PJL before PCL 5 escape", "\x1B%-12345X@PJL JOB\r\n", LANGUAGE_PJL, 0, PARSE_RESULT_HANDLED},
    {"HP-GL/2 IN", "IN;SP1;PU0,0;", LANGUAGE_HPGL, 0, PARSE_RESULT_HANDLED},
    {"HP-GL/2 BP", "BPINPS4000,3000;", LANGUAGE_HPGL, 0, PARSE_RESULT_HANDLED},
    {"HP-GL/2 ESC dot", "\x1B.(;\x1B.I81;;17:", LANGUAGE_HPGL, 0, PARSE_RESULT_HANDLED},
    {"PCL 5 reset", "\x1B" "E\x1B&l0O text", LANGUAGE_PCL5, 0, PARSE_RESULT_HANDLED},
    {"PCL 5 escape percent", "\x1B%0B IN;", LANGUAGE_PCL5, 0, PARSE_RESULT_HANDLED},
    {"PCL 5 lone escape", "\x1B*t300R\x1B*r1A", LANGUAGE_PCL5, 0, PARSE_RESULT_HANDLED},
    {"PCL XL", ") HP-PCL XL;2;0\r\n", LANGUAGE_PCL6, 0, PARSE_RESULT_HANDLED},
    {"PCL XL alternative", "( HP-PCL XL;2;0\r\n", LANGUAGE_PCL6, 0, PARSE_RESULT_HANDLED},
    {"CPCA", std::string("\xCD\xCA\x10\x00\x01\x02\x03\x04\x05\x06", 10), LANGUAGE_CPCA, 0, PARSE_RESULT_HANDLED},
    {"CGM", "BEGMF 'drawing';MFVERSION 1;", LANGUAGE_CGM, 0, PARSE_RESULT_HANDLED},
    {"EPS binary header", std::string("\xC5\xD0\xD3\xC6\x20\x00\x00\x00\x10\x20\x00\x00", 12), LANGUAGE_EPS, 0,
     PARSE_RESULT_HANDLED},
    {"ESC/Page", Nuls(3) + "\x1B\x01@EJL 1284.4\n", LANGUAGE_ESCPAGE, 0, PARSE_RESULT_HANDLED},
    {"ESC/Page after NULs", Nuls(100) + Nuls(3) + "\x1B\x01@EJL 1284.4\n", LANGUAGE_ESCPAGE, 100,
     PARSE_RESULT_HANDLED},
    {"ESC/P from Bonjour", std::string("\x1B@\x1B@\x1B(R\x08\x00\x00REMOTE1", 17), LANGUAGE_ESCP_BONJOUR, 0,
     PARSE_RESULT_HANDLED},
    // Epson drivers start with the initialisation ESC @ and no signature;
    // Ghostscript's ESC/Page lasers with EJL and no NULs, or the switch to
    // ESC/Page.
    {"ESC/P from its initialisation", "\x1B@\x1BP\x1BQT\r\n", LANGUAGE_ESCP2, 0, PARSE_RESULT_HANDLED},
    {"ESC/Page without NULs", "\x1B\x01@EJL \n@EJL EN LA=ESC/PAGE\n", LANGUAGE_ESCPAGE, 0, PARSE_RESULT_HANDLED},
    {"ESC/Page mode switch", std::string("\x1BS\x1B\x1BS\x1C\x1Bz\x00\x00\x1DrhE", 14), LANGUAGE_ESCPAGE, 0,
     PARSE_RESULT_HANDLED},
    {"Prescribe", "!R! RES; PAGE; EXIT;", LANGUAGE_PRESCRIBE, 0, PARSE_RESULT_HANDLED},
    {"PCL 5 after twenty NULs", Nuls(20) + "\x1B" "E\x1B&l1X", LANGUAGE_PCL5, 20, PARSE_RESULT_HANDLED},
    {"PostScript after NULs", Nuls(5) + "%!PS\n", LANGUAGE_POSTSCRIPT, 5, PARSE_RESULT_HANDLED},
    {"CalComp DCL skipped to its trailer", "&&&&plot data^^^^END OF FILE\r\n\r\n%!PS\n", LANGUAGE_POSTSCRIPT, 32,
     PARSE_RESULT_HANDLED},
    {"Oce job skipped to its trailer", "*OceJob header\n*OceJobData\n!R! PAGE;", LANGUAGE_PRESCRIBE, 27,
     PARSE_RESULT_HANDLED},
    {"CalComp data skipped to the end", "\x16\x16 IN;PU;%!PS\n", -1, 0, PARSE_RESULT_HANDLED},
    {"Oce job without its trailer", "*OceJob %!PS IN;", -1, 0, PARSE_RESULT_HANDLED},
    // Languages of Debian's drivers that are not read: passed over, no page.
    {"ZjStream passed over", std::string("JZJZ\x00\x00\x00\x34\x1B" "E\f", 11), -1, 0, PARSE_RESULT_HANDLED},
    {"LIDIL framing passed over", std::string("$\x01\x00\x00\x07\x00%!PS\n", 11), -1, 0, PARSE_RESULT_HANDLED},
    {"KonicaMinolta packets passed over", std::string("\x1B@\x00\x02\x00\xBF\x82\x10\xAE\f\x1B" "E", 12), -1, 0,
     PARSE_RESULT_HANDLED},
    {"CaPSL passed over", "\x1B;\x1B<\x1B[0&z\f\x1B" "E\f", -1, 0, PARSE_RESULT_HANDLED},
    // Text that begins no language fails once its first KiB holds no PDF.
    {"plain letters", Letters(1100), -1, 0, PARSE_RESULT_DETECTION_FAILED},
    {"NULs then letters", Nuls(30) + Letters(1100), -1, 0, PARSE_RESULT_DETECTION_FAILED},
    {"PDF after other bytes", "Hello\r\n%PDF-1.4\n%%EOF\n", LANGUAGE_PDF, 7, PARSE_RESULT_HANDLED},
    {"PDF at the end of the first KiB", Letters(1024) + "%PDF-1.4\n", LANGUAGE_PDF, 1024, PARSE_RESULT_HANDLED},
    {"PDF beyond the first KiB", Letters(1025) + "%PDF-1.4\n", -1, 0, PARSE_RESULT_DETECTION_FAILED},
    // PostScript without its header line: a bare "%!", a comment, a name.
    {"bare PostScript header", "%!Pxy", LANGUAGE_POSTSCRIPT, 0, PARSE_RESULT_HANDLED},
    {"PostScript starting with a comment", "% a program\nshowpage\n", LANGUAGE_POSTSCRIPT, 0, PARSE_RESULT_HANDLED},
    {"PostScript starting with a name", Nuls(4) + "/F { fill } def\n", LANGUAGE_POSTSCRIPT, 4,
     PARSE_RESULT_HANDLED},
    {"only NULs", Nuls(100), -1, 0, PARSE_RESULT_HANDLED},
    {"job ends inside the exit language", "\x1B%-12", -1, 0, PARSE_RESULT_HANDLED},
    {"job ends on an escape", Nuls(12) + "\x1B", -1, 0, PARSE_RESULT_HANDLED},
};

// Names a case in test listings.
void PrintTo(const DetectionCase& testCase, std::ostream* out)
{
    *out << testCase.mstrName;
}

class LanguageDetection : public testing::TestWithParam<DetectionCase> {};

}  // namespace

// Every job start reaches the right parser at the right byte, whatever the chunking.
TEST_P(LanguageDetection, ReachesTheLanguageParserAtItsSignature)
{
    const DetectionCase& testCase = GetParam();
    const ParseOutcome outcome = ExpectChunkInvariant(ToBytes(testCase.mstrJob), ProbeRegistry());

    EXPECT_EQ(outcome.mintFirstFailure, testCase.mintFailure);
    if (testCase.mintLanguage < 0) {
        EXPECT_TRUE(outcome.mvecPageSets.empty()) << outcome.Describe();
        return;
    }
    ASSERT_EQ(outcome.mvecPageSets.size(), 1u) << outcome.Describe();
    const std::string expected = ProbeParser::ProbeName(static_cast<RawLanguageType>(testCase.mintLanguage),
                                                        std::string_view(testCase.mstrJob).substr(testCase.mintStart));
    EXPECT_EQ(outcome.mvecPageSets[0].GetName(), expected);
}

INSTANTIATE_TEST_SUITE_P(Signatures, LanguageDetection, testing::ValuesIn(DETECTION_CASES),
                         [](const testing::TestParamInfo<DetectionCase>& info) {
                             std::string name;
                             for (const char* c = info.param.mstrName; *c != '\0'; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

// The results of single calls, as the hook sees them chunk by chunk.
TEST(LanguageDetectionResults, WaitsFailsOrSwitchesPerChunk)
{
    struct Step {
        std::string mstrChunk;
        ParseDataResultType mintResult;
        RawLanguageType mintLanguageAfter;
    };
    const std::vector<std::vector<Step>> jobs = {
        // A short unknown start is kept whole and looked at again; text
        // fails once its first KiB holds no PDF.
        {{"%!P", PARSE_RESULT_NEED_MORE_DATA, LANGUAGE_UNKNOWN}, {"xy", PARSE_RESULT_HANDLED, LANGUAGE_POSTSCRIPT}},
        {{"Hello", PARSE_RESULT_NEED_MORE_DATA, LANGUAGE_UNKNOWN},
         {Letters(1100), PARSE_RESULT_DETECTION_FAILED, LANGUAGE_UNKNOWN}},
        // The exit language cut after ESC "%" is not taken for PCL 5.
        {{"\x1B%-12", PARSE_RESULT_NEED_MORE_DATA, LANGUAGE_UNKNOWN},
         {"345X@PJL\n", PARSE_RESULT_HANDLED, LANGUAGE_PJL}},
        // A lone escape at the end of a chunk waits for its next byte.
        {{"\x1B", PARSE_RESULT_NEED_MORE_DATA, LANGUAGE_UNKNOWN}, {".(;", PARSE_RESULT_HANDLED, LANGUAGE_HPGL}},
        // Only NULs: wait; the NULs kept let ESC/Page be found across chunks.
        {{Nuls(100), PARSE_RESULT_NEED_MORE_DATA, LANGUAGE_UNKNOWN},
         {"\x1B\x01@EJL\n", PARSE_RESULT_HANDLED, LANGUAGE_ESCPAGE}},
        {{"Hello World", PARSE_RESULT_NEED_MORE_DATA, LANGUAGE_UNKNOWN}},
    };
    for (const auto& steps : jobs) {
        CRawDataHandler handler(LANGUAGE_UNKNOWN, ProbeRegistry());
        for (const Step& step : steps) {
            SCOPED_TRACE(testing::PrintToString(step.mstrChunk));
            const Bytes chunk = ToBytes(step.mstrChunk);
            EXPECT_EQ(handler.ParseData(chunk.data(), chunk.size()), step.mintResult);
            EXPECT_EQ(handler.GetCurrentLanguage(), step.mintLanguageAfter);
        }
    }
}

// Text shorter than a KiB that began no language fails when the job ends.
TEST(LanguageDetectionResults, ShortTextFailsAtTheJobsEnd)
{
    CRawDataHandler handler(LANGUAGE_UNKNOWN, ProbeRegistry());
    const Bytes chunk = ToBytes("Hello World");
    EXPECT_EQ(handler.ParseData(chunk.data(), chunk.size()), PARSE_RESULT_NEED_MORE_DATA);
    EXPECT_EQ(handler.ParseDone(), PARSE_RESULT_DETECTION_FAILED);
}
