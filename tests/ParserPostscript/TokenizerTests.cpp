#include "PrinterLanguageParser/Parser/postscript/PostscriptNumberText.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenList.h"
#include "TokenRecorder.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>

using namespace RawPrintData;
using namespace RawPrintData::Postscript;
using PostscriptTestSupport::TokenizeInChunks;
using PostscriptTestSupport::TokenRecorder;
using Tokens = std::vector<std::pair<PostscriptTokenType, std::string>>;

namespace {

// Tokenizes a job in one piece.
Tokens TokensOf(std::string_view job)
{
    TokenRecorder recorder;
    PostscriptTokenizer tokenizer(&recorder);
    TokenizeInChunks(tokenizer, job, job.size() + 1);
    return recorder.Summary();
}

struct TokenCase {
    const char* name;
    std::string job;
    Tokens expected;
};

class TokenizerCases : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenizerCases, GivesTheTokensAtEveryChunkBoundary)
{
    const TokenCase& sample = GetParam();
    EXPECT_EQ(TokensOf(sample.job), sample.expected);
    // Cut at every byte boundary into two parts, and fed byte by byte.
    for (size_t cut = 1; cut < sample.job.size(); ++cut) {
        TokenRecorder recorder;
        PostscriptTokenizer tokenizer(&recorder);
        DataBuffer buffer;
        const std::string first = sample.job.substr(0, cut);
        const std::string second = sample.job.substr(cut);
        buffer.SetMainBuffer(reinterpret_cast<const unsigned char*>(first.data()), first.size());
        ASSERT_GE(tokenizer.Tokenize(buffer), 0);
        ASSERT_TRUE(buffer.CopyFromMainIntoPrebuffer(tokenizer.BytesProcessed()));
        buffer.SetMainBuffer(reinterpret_cast<const unsigned char*>(second.data()), second.size());
        ASSERT_GE(tokenizer.Tokenize(buffer), 0);
        tokenizer.Flush();
        EXPECT_EQ(recorder.Summary(), sample.expected) << "cut at " << cut;
    }
    TokenRecorder recorder;
    PostscriptTokenizer tokenizer(&recorder);
    TokenizeInChunks(tokenizer, sample.job, 1);
    EXPECT_EQ(recorder.Summary(), sample.expected) << "byte by byte";
}

INSTANTIATE_TEST_SUITE_P(
    Lexical, TokenizerCases,
    ::testing::Values(
        TokenCase{"AllKinds",
                  "/Name 12 (a(b)c) <48656C> <~9jqo~> {x} [1 2] << >>",
                  {{TOKEN_NAME, "/Name"},
                   {TOKEN_NUMBER, "12"},
                   {TOKEN_STRING, "a(b)c"},
                   {TOKEN_HEX_STRING, "48656C"},
                   {TOKEN_BASE85_STRING, "9jqo"},
                   {TOKEN_PROCEDURE, "{"},
                   {TOKEN_NAME, "x"},
                   {TOKEN_PROCEDURE, "}"},
                   {TOKEN_ARRAY, "["},
                   {TOKEN_NUMBER, "1"},
                   {TOKEN_NUMBER, "2"},
                   {TOKEN_ARRAY, "]"},
                   {TOKEN_DICTIONARY, "<<"},
                   {TOKEN_DICTIONARY, ">>"}}},
        TokenCase{"CommentAfterName", "moveto%comment\n", {{TOKEN_NAME, "moveto"}, {TOKEN_COMMENT, "%comment"}}},
        TokenCase{"DataBlockSkipped",
                  "%%BeginData: 3 Binary Bytes\nfirst second ( <<\n%%EndData\nshow\n",
                  {{TOKEN_DSC_COMMENT, "%%BeginData: 3 Binary Bytes"},
                   {TOKEN_NAME, "first"},
                   {TOKEN_DSC_COMMENT, "%%EndData"},
                   {TOKEN_NAME, "show"}}},
        TokenCase{"BinaryBlockSkipped",
                  "%%BeginBinary: 5\r\nab\x90\xff) cd\r\n%%EndBinary\r\nx",
                  {{TOKEN_DSC_COMMENT, "%%BeginBinary: 5"},
                   {TOKEN_NAME, "ab\x90\xff)"},
                   {TOKEN_DSC_COMMENT, "%%EndBinary"},
                   {TOKEN_NAME, "x"}}},
        TokenCase{"PrologueAndComments",
                  "%!PS-Adobe-3.0\n%!FontType1\n%!\n%%Pages: 1\n",
                  {{TOKEN_PROLOGUE, "%!PS-Adobe-3.0"},
                   {TOKEN_COMMENT, "%!FontType1"},
                   {TOKEN_PROLOGUE, "%!"},
                   {TOKEN_DSC_COMMENT, "%%Pages: 1"}}},
        TokenCase{"StringEscapes",
                  "(a\\)b) (a\\101) (x\\\ny) (x\\\r\ny) (\\n\\t\\\\\\q) (\\7a) (\\0123)",
                  {{TOKEN_STRING, "a)b"},
                   {TOKEN_STRING, "aA"},
                   {TOKEN_STRING, "xy"},
                   {TOKEN_STRING, "xy"},
                   {TOKEN_STRING, "\n\t\\"},
                   {TOKEN_STRING, "\x07"
                                  "a"},
                   {TOKEN_STRING, "\n3"}}},
        TokenCase{"DelimitersEndNames",
                  "a/b//c d{e}f[g]h(i)j<6A>k>>",
                  {{TOKEN_NAME, "a"},
                   {TOKEN_NAME, "/b"},
                   {TOKEN_NAME, "//c"},
                   {TOKEN_NAME, "d"},
                   {TOKEN_PROCEDURE, "{"},
                   {TOKEN_NAME, "e"},
                   {TOKEN_PROCEDURE, "}"},
                   {TOKEN_NAME, "f"},
                   {TOKEN_ARRAY, "["},
                   {TOKEN_NAME, "g"},
                   {TOKEN_ARRAY, "]"},
                   {TOKEN_NAME, "h"},
                   {TOKEN_STRING, "i"},
                   {TOKEN_NAME, "j"},
                   {TOKEN_HEX_STRING, "6A"},
                   {TOKEN_NAME, "k"},
                   {TOKEN_DICTIONARY, ">>"}}},
        TokenCase{"LiteralNameAfterNumberIsAName",
                  "2/Duplex 1//x",
                  {{TOKEN_NUMBER, "2"}, {TOKEN_NAME, "/Duplex"}, {TOKEN_NUMBER, "1"}, {TOKEN_NAME, "//x"}}},
        TokenCase{"LoneGreaterIsPassedOver", "s8U\":~>\nx>>y>z", {{TOKEN_NAME, "s8U\":~"}, {TOKEN_NAME, "x"},
                                                                  {TOKEN_DICTIONARY, ">>"}, {TOKEN_NAME, "y"},
                                                                  {TOKEN_NAME, "z"}}},
        TokenCase{"NumbersAndBase85WithTilde",
                  "-1.5 +3 <~a~b>~>",
                  {{TOKEN_NUMBER, "-1.5"}, {TOKEN_NUMBER, "+3"}, {TOKEN_BASE85_STRING, "ab"}}},
        TokenCase{"ExitLanguageStaysOneName",
                  "showpage\x1B%-12345X@PJL",
                  {{TOKEN_NAME, "showpage"}, {TOKEN_NAME, "\x1B%-12345X"}, {TOKEN_NAME, "@PJL"}}},
        // A line that begins a part of the document ends whatever was being
        // read; other "%%" lines inside data stay data.
        TokenCase{"StructuringCommentsEndUnclosedData",
                  "(never closed\n%%PageBoundingBox: 1\n%%Page: 2 2\n<4142\r\n%%EndProlog\r\n"
                  "<~ab\n%%EOF\n%%BeginBinary: 9\n\x81 \xff\n%%Trailer x\n\x80\x01\n%%EndResource\nf",
                  {{TOKEN_DSC_COMMENT, "%%Page: 2 2"},
                   {TOKEN_DSC_COMMENT, "%%EndProlog"},
                   {TOKEN_DSC_COMMENT, "%%EOF"},
                   {TOKEN_DSC_COMMENT, "%%BeginBinary: 9"},
                   {TOKEN_NAME, "\x81"},
                   {TOKEN_DSC_COMMENT, "%%Trailer x"},
                   {TOKEN_DSC_COMMENT, "%%EndResource"},
                   {TOKEN_NAME, "f"}}},
        TokenCase{"NamesEndedByEveryDelimiter",
                  "a[b]c{d}e(f)g<68>h<<i>>j%k\nl/m//n//o/ 1(2",
                  {{TOKEN_NAME, "a"},   {TOKEN_ARRAY, "["},       {TOKEN_NAME, "b"},    {TOKEN_ARRAY, "]"},
                   {TOKEN_NAME, "c"},   {TOKEN_PROCEDURE, "{"},   {TOKEN_NAME, "d"},    {TOKEN_PROCEDURE, "}"},
                   {TOKEN_NAME, "e"},   {TOKEN_STRING, "f"},      {TOKEN_NAME, "g"},    {TOKEN_HEX_STRING, "68"},
                   {TOKEN_NAME, "h"},   {TOKEN_DICTIONARY, "<<"}, {TOKEN_NAME, "i"},    {TOKEN_DICTIONARY, ">>"},
                   {TOKEN_NAME, "j"},   {TOKEN_COMMENT, "%k"},    {TOKEN_NAME, "l"},    {TOKEN_NAME, "/m"},
                   {TOKEN_NAME, "//n"}, {TOKEN_NAME, "//o"},      {TOKEN_NAME, "/"},    {TOKEN_NUMBER, "1"}}},
        // Lines inside data are read in bulk unless they may begin a comment.
        TokenCase{"DataRunsOverLines",
                  "(a\nb(\nc)\r\nd) <41\r\n\n42\n> <~ab\ncd\n%e\n>~> (f\n~g\n\\\n(h)) x",
                  {{TOKEN_STRING, "a\nb(\nc)\r\nd"},
                   {TOKEN_HEX_STRING, "41\r\n\n42\n"},
                   {TOKEN_BASE85_STRING, "ab\ncd\n%e\n"},
                   {TOKEN_STRING, "f\n~g\n(h)"},
                   {TOKEN_NAME, "x"}}},
        TokenCase{"PageCommentsInsideALineStayData",
                  "(a %%Page: 1 1\n%%page: 2 2\n%%Pages: 3\n) <~%%Page: 4 4~>",
                  {{TOKEN_STRING, "a %%Page: 1 1\n%%page: 2 2\n%%Pages: 3\n"}, {TOKEN_BASE85_STRING, "%%Page: 4 4"}}}),
    [](const ::testing::TestParamInfo<TokenCase>& info) { return std::string(info.param.name); });

TEST(PostscriptTokenizer, SplitNameIsSignalledOnce)
{
    TokenRecorder recorder;
    PostscriptTokenizer tokenizer(&recorder);
    EXPECT_EQ(tokenizer.Tokenize(std::string_view("sh")), PARSE_RESULT_NEED_MORE_DATA);
    EXPECT_TRUE(recorder.mvecTokens.empty());
    tokenizer.Tokenize(std::string_view("ow "));
    EXPECT_EQ(recorder.Summary(), (Tokens{{TOKEN_NAME, "show"}}));
}

TEST(PostscriptTokenizer, StopsAfterTheCpcaSignature)
{
    TokenRecorder recorder;
    PostscriptTokenizer tokenizer(&recorder);
    const std::string job = "1 2 add \xCD\xCA\x10rest";
    EXPECT_EQ(tokenizer.Tokenize(std::string_view(job)), PARSE_RESULT_SWITCH_LANGUAGE);
    EXPECT_EQ(tokenizer.BytesProcessed(), 11u);
    EXPECT_EQ(tokenizer.GetSwitchToLanguage(), LANGUAGE_CPCA);
    EXPECT_TRUE(tokenizer.MoveBack(3));
    EXPECT_EQ(tokenizer.BytesProcessed(), 8u);
}

TEST(PostscriptTokenizer, LeavesAPartlySeenSignatureUnconsumed)
{
    // Whatever the cut, the signature is always whole in the buffer that
    // completes it, so moving back over it stays inside that buffer.
    const std::string jobs[] = {std::string("abc \xCD\xCA\x10xyz"), std::string("abc \x1B%-12345X@PJL")};
    for (const std::string& job : jobs) {
        for (size_t cut = 1; cut < job.size(); ++cut) {
            TokenRecorder recorder;
            recorder.mstrStopAt = "\x1B%-12345X";
            PostscriptTokenizer tokenizer(&recorder);
            DataBuffer buffer;
            const std::string first = job.substr(0, cut);
            const std::string second = job.substr(cut);
            buffer.SetMainBuffer(reinterpret_cast<const unsigned char*>(first.data()), first.size());
            ParseDataResultType result = tokenizer.Tokenize(buffer);
            size_t fed = first.size();
            if (result != PARSE_RESULT_SWITCH_LANGUAGE) {
                fed = job.size();
                ASSERT_TRUE(buffer.CopyFromMainIntoPrebuffer(tokenizer.BytesProcessed()));
                buffer.SetMainBuffer(reinterpret_cast<const unsigned char*>(second.data()), second.size());
                result = tokenizer.Tokenize(buffer);
            }
            ASSERT_EQ(result, PARSE_RESULT_SWITCH_LANGUAGE) << cut;
            const uint64_t signature = job.find('@') != std::string::npos ? 9 : 3;
            ASSERT_TRUE(tokenizer.MoveBack(signature)) << cut;
            EXPECT_EQ(buffer[tokenizer.BytesProcessed()], static_cast<unsigned char>(job[4])) << cut;
            // The position, counted from the job's start, is the signature's.
            EXPECT_EQ(fed - buffer.Length() + tokenizer.BytesProcessed(), 4u) << cut;
        }
    }
}

TEST(PostscriptTokenizer, MoveBackNeverPassesTheStart)
{
    PostscriptTokenizer tokenizer;
    tokenizer.Tokenize(std::string_view("ab"));
    EXPECT_FALSE(tokenizer.MoveBack(3));
    EXPECT_EQ(tokenizer.BytesProcessed(), 2u);
    tokenizer.SaveBufferState();
    EXPECT_TRUE(tokenizer.MoveBack(2));
    tokenizer.RestoreBufferState();
    EXPECT_EQ(tokenizer.BytesProcessed(), 2u);
}

TEST(PostscriptTokenizer, ReadsOnAfterAFailureFromTheNextPartOfTheDocument)
{
    TokenRecorder recorder;
    PostscriptTokenizer tokenizer(&recorder);
    const std::string job = "\x9Fx ( <<\n%%Page: 1 1\nshow";
    DataBuffer buffer;
    buffer.SetMainBuffer(reinterpret_cast<const unsigned char*>(job.data()), job.size());
    ASSERT_EQ(tokenizer.Tokenize(buffer), PARSE_RESULT_FAILURE);
    tokenizer.SkipToDscComment();
    EXPECT_GE(tokenizer.Tokenize(buffer, tokenizer.BytesProcessed()), 0);
    tokenizer.Flush();
    EXPECT_EQ(recorder.Summary(), (Tokens{{TOKEN_DSC_COMMENT, "%%Page: 1 1"}, {TOKEN_NAME, "show"}}));
}

TEST(PostscriptTokenizer, FlushReportsUnfinishedStrings)
{
    for (const char* job : {"(never closed", "<414243", "<~abc"}) {
        PostscriptTokenizer tokenizer;
        tokenizer.Tokenize(std::string_view(job));
        EXPECT_EQ(tokenizer.Flush(), PARSE_RESULT_UNFINISHED_TOKEN) << job;
        EXPECT_TRUE(tokenizer.IsBetweenTokens());
    }
    TokenRecorder recorder;
    PostscriptTokenizer tokenizer(&recorder);
    tokenizer.Tokenize(std::string_view("%%EOF"));
    EXPECT_EQ(tokenizer.Flush(), PARSE_RESULT_HANDLED);
    EXPECT_EQ(recorder.Summary(), (Tokens{{TOKEN_DSC_COMMENT, "%%EOF"}}));
}

TEST(PostscriptTokenizer, TokenTextIsBounded)
{
    // Unterminated strings, hex, base-85 and comments of a few megabytes keep
    // at most the limit; the closed ones are signalled cut to it.
    const size_t size = 3 * PostscriptTokenizer::mintMAX_TOKEN_TEXT;
    for (const auto& [open, close] : std::vector<std::pair<std::string, std::string>>{
             {"(", ")"}, {"<", ">"}, {"<~", "~>"}, {"%", "\n"}, {"name", " "}}) {
        TokenRecorder recorder;
        PostscriptTokenizer tokenizer(&recorder);
        const std::string job = open + std::string(size, 'a') + close;
        TokenizeInChunks(tokenizer, job, 4096);
        ASSERT_EQ(recorder.mvecTokens.size(), 1u) << open;
        EXPECT_EQ(recorder.mvecTokens[0].Data().size(), PostscriptTokenizer::mintMAX_TOKEN_TEXT) << open;
    }
}

TEST(PostscriptTokenizer, ForcedStatesReadImageData)
{
    TokenRecorder recorder;
    PostscriptTokenizer tokenizer(&recorder);
    tokenizer.ForceIntoHexState();
    tokenizer.Tokenize(std::string_view("00FF>"));
    tokenizer.ForceIntoBase85State();
    tokenizer.Tokenize(std::string_view("z!!~> fill"));
    tokenizer.Flush();
    EXPECT_EQ(recorder.Summary(),
              (Tokens{{TOKEN_HEX_STRING, "00FF"}, {TOKEN_BASE85_STRING, "z!!"}, {TOKEN_NAME, "fill"}}));
}

TEST(PostscriptTokenList, IsARingOfTheNewestTokens)
{
    PostscriptTokenList list;
    EXPECT_EQ(list.BufferSize(), 100u);
    for (int index = 0; index < 150; ++index)
        list.Add(PostscriptToken(std::to_string(index), TOKEN_NUMBER));
    ASSERT_EQ(list.Length(), 100u);
    EXPECT_EQ(list.MostRecent().Data(), "149");
    EXPECT_EQ(list[1].Data(), "148");
    EXPECT_EQ(list.LeastRecent().Data(), "50");
    EXPECT_EQ(list.Find(100), nullptr);
    list.EraseRecent(2);
    EXPECT_EQ(list.Length(), 98u);
    EXPECT_EQ(list.MostRecent().Data(), "147");
    list.Add(PostscriptToken("new", TOKEN_NAME));
    EXPECT_EQ(list[0].Data(), "new");
    EXPECT_EQ(list[1].Data(), "147");
    list.EraseRecent(500);
    EXPECT_EQ(list.Length(), 0u);
    list.EraseAll();
    EXPECT_EQ(list.Find(0), nullptr);
}

TEST(PostscriptNumberText, ConvertsLikeTheCLibraryWithoutOverflow)
{
    EXPECT_EQ(ReadLeadingInteger("  42abc"), 42);
    EXPECT_EQ(ReadLeadingInteger("-7"), -7);
    EXPECT_EQ(ReadLeadingInteger("612.5"), 612);
    EXPECT_EQ(ReadLeadingInteger("x1"), 0);
    EXPECT_EQ(ReadLeadingInteger("99999999999999999999999"), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(ReadLeadingInteger("-99999999999999999999999"), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(ReadLeadingCount("-3"), 0u);
    EXPECT_EQ(ReadLeadingCount("3"), 3u);
    EXPECT_DOUBLE_EQ(ReadLeadingReal("0.5"), 0.5);
    EXPECT_DOUBLE_EQ(ReadLeadingReal(" -.25x"), -0.25);
    EXPECT_DOUBLE_EQ(ReadLeadingReal("+2"), 2.0);
    EXPECT_DOUBLE_EQ(ReadLeadingReal("1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(ReadLeadingReal("show"), 0.0);
    EXPECT_DOUBLE_EQ(ReadLeadingReal("+-1"), 0.0);
    EXPECT_TRUE(std::isinf(ReadLeadingReal("1e999")));
    EXPECT_DOUBLE_EQ(ReadLeadingReal("1e-999"), 0.0);
    // Short decimals are read without the general conversion, to the same
    // bits; longer ones and exponents still go through it.
    for (const char* text : {"0.2", "-0.1", "123.456", "5.", ".5", "0.30000000000000004", "999999999999999.9",
                             "1234567890.12345", "0000000000000001.5", "2.5e1", "-0"}) {
        double expected = 0.0;
        const std::string_view digits = std::string_view(text).substr(text[0] == '-' ? 1 : 0);
        std::from_chars(digits.data(), digits.data() + digits.size(), expected);
        if (text[0] == '-')
            expected = -expected;
        EXPECT_EQ(std::bit_cast<uint64_t>(ReadLeadingReal(text)), std::bit_cast<uint64_t>(expected)) << text;
    }
}

TEST(PostscriptNumberText, IgnoresTheProcessLocale)
{
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (german == nullptr)
        german = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    if (german == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    const double value = ReadLeadingReal("0.75");
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_DOUBLE_EQ(value, 0.75);
}

}  // namespace
