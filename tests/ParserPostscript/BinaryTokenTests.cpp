#include "TokenRecorder.h"

#include <gtest/gtest.h>

using namespace RawPrintData;
using namespace RawPrintData::Postscript;
using PostscriptTestSupport::TokenizeInChunks;
using PostscriptTestSupport::TokenRecorder;

namespace {

struct BinaryCase {
    const char* name;
    std::string job;
    PostscriptTokenType type;
    std::string text;
    double number;
};

class BinaryTokens : public ::testing::TestWithParam<BinaryCase> {};

TEST_P(BinaryTokens, AreReadInEitherByteOrderAndChunking)
{
    const BinaryCase& sample = GetParam();
    for (const size_t chunk : {sample.job.size(), size_t{1}, size_t{2}, size_t{3}}) {
        TokenRecorder recorder;
        PostscriptTokenizer tokenizer(&recorder);
        ASSERT_EQ(TokenizeInChunks(tokenizer, sample.job + " x", chunk), PARSE_RESULT_HANDLED);
        ASSERT_EQ(recorder.mvecTokens.size(), 2u) << "chunk " << chunk;
        const PostscriptToken& token = recorder.mvecTokens[0];
        EXPECT_EQ(token.Type(), sample.type);
        EXPECT_EQ(token.Data(), sample.text);
        EXPECT_DOUBLE_EQ(token.DataAsPostscriptReal().GetValue(), sample.number);
        EXPECT_EQ(recorder.mvecTokens[1].Data(), "x");
    }
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (const int value : values)
        bytes.push_back(static_cast<char>(value));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Encoding, BinaryTokens,
    ::testing::Values(
        BinaryCase{"Int32Big", Bytes({132, 0, 0, 1, 2}), TOKEN_BINARY_NUMBER, "", 258},
        BinaryCase{"Int32Little", Bytes({133, 2, 1, 0, 0}), TOKEN_BINARY_NUMBER, "", 258},
        BinaryCase{"Int32LittleNegative", Bytes({133, 0xFE, 0xFF, 0xFF, 0xFF}), TOKEN_BINARY_NUMBER, "", -2},
        BinaryCase{"Int16Big", Bytes({134, 0xFF, 0xFE}), TOKEN_BINARY_NUMBER, "", -2},
        BinaryCase{"Int16Little", Bytes({135, 0x10, 0x00}), TOKEN_BINARY_NUMBER, "", 16},
        BinaryCase{"Int8", Bytes({136, 0xFF}), TOKEN_BINARY_NUMBER, "", -1},
        BinaryCase{"RealBig", Bytes({138, 0x3F, 0x00, 0x00, 0x00}), TOKEN_BINARY_NUMBER, "", 0.5},
        BinaryCase{"RealLittle", Bytes({139, 0x00, 0x00, 0x80, 0x3F}), TOKEN_BINARY_NUMBER, "", 1.0},
        BinaryCase{"Boolean", Bytes({141, 1}), TOKEN_BINARY_NUMBER, "", 1},
        BinaryCase{"Fixed", Bytes({137, 32, 0x01, 0x02}), TOKEN_BINARY, "\x01\x02", 0},
        BinaryCase{"String8", Bytes({142, 3}) + "a b", TOKEN_BINARY, "a b", 0},
        BinaryCase{"String16Big", Bytes({143, 0, 2}) + "ab", TOKEN_BINARY, "ab", 0},
        BinaryCase{"String16Little", Bytes({144, 2, 0}) + "ab", TOKEN_BINARY, "ab", 0},
        BinaryCase{"EmptyString", Bytes({142, 0}), TOKEN_BINARY, "", 0},
        BinaryCase{"SystemNameExecutable", Bytes({146, 161}), TOKEN_NAME, "showpage", 0},
        BinaryCase{"SystemNameLiteral", Bytes({145, 224}), TOKEN_NAME, "/setpagedevice", 0},
        BinaryCase{"SystemNameOutOfTable", Bytes({146, 226}), TOKEN_NAME, "", 0},
        BinaryCase{"UserName", Bytes({148, 7}), TOKEN_BINARY, "\x07", 0},
        BinaryCase{"NumberArrayBig", Bytes({149, 32, 0, 2, 1, 2, 3, 4}), TOKEN_BINARY, "\x01\x02\x03\x04", 0},
        BinaryCase{"NumberArrayLittle", Bytes({149, 128 + 32, 1, 0, 9, 9}), TOKEN_BINARY, "\x09\x09", 0},
        BinaryCase{"SequenceBig", Bytes({128, 1, 0, 6, 'a', 'b'}), TOKEN_BINARY, "ab", 0},
        BinaryCase{"SequenceLittle", Bytes({129, 1, 6, 0, 'a', 'b'}), TOKEN_BINARY, "ab", 0},
        BinaryCase{"SequenceExtended", Bytes({128, 0, 0, 1, 0, 0, 0, 9, 'z'}), TOKEN_BINARY, "z", 0}),
    [](const ::testing::TestParamInfo<BinaryCase>& info) { return std::string(info.param.name); });

TEST(BinaryTokens, MalformedHeadersFailInsteadOfWrapping)
{
    const std::string jobs[] = {
        Bytes({150}),                         // no such token type
        Bytes({128, 1, 0, 3}),                // overall length shorter than its own header
        Bytes({129, 0, 1, 0, 7, 0, 0, 0}),    // extended header claiming 7 bytes in all
        Bytes({137, 60, 0, 0}),               // unknown fixed-point representation
        Bytes({149, 60, 0, 1}),               // unknown array representation
    };
    for (const std::string& job : jobs) {
        PostscriptTokenizer tokenizer;
        EXPECT_EQ(tokenizer.Tokenize(std::string_view(job)), PARSE_RESULT_FAILURE)
            << static_cast<int>(static_cast<unsigned char>(job[0]));
    }
}

TEST(BinaryTokens, HugeDeclaredLengthsAreNotTakenOnTrust)
{
    // A sequence declaring 4 GB: the body is consumed as it comes without
    // being stored beyond the token limit, and PostScript after it is not
    // reached until the declared length is used up.
    TokenRecorder recorder;
    PostscriptTokenizer tokenizer(&recorder);
    const std::string job = Bytes({128, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF}) + std::string(1 << 20, 'q');
    EXPECT_EQ(TokenizeInChunks(tokenizer, job, 65536, false), PARSE_RESULT_NEED_MORE_DATA);
    EXPECT_TRUE(recorder.mvecTokens.empty());
    EXPECT_EQ(tokenizer.Flush(), PARSE_RESULT_UNFINISHED_TOKEN);
}

}  // namespace
