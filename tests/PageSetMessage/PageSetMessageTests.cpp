#include "Core/CVClientCommunication/RawDataJobProperties.h"
#include "tests/Parser/ScriptParser.h"
#include "tests/Parser/ParseOutcome.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

constexpr size_t RECORD = CRawPageSet::WIRE_SIZE;

// A finished handler for a script job (see ScriptParser).
std::unique_ptr<CRawDataHandler> ParsedHandler(const std::string& lines, bool succeeded)
{
    auto handler = std::make_unique<CRawDataHandler>(LANGUAGE_UNKNOWN, ScriptRegistryForAllLanguages());
    const Bytes job = ToBytes("!R!\n" + lines);
    handler->ParseData(job.data(), job.size());
    handler->ParseDone();
    handler->SetParseSucceeded(succeeded);
    return handler;
}

// A page-set message content from its numbers and records.
ByteString Payload(std::initializer_list<uint32_t> numbers, size_t recordBytes = 0)
{
    ByteString content;
    for (uint32_t number : numbers) {
        unsigned char bytes[4];
        std::memcpy(bytes, &number, 4);
        content.insert(content.end(), bytes, bytes + 4);
    }
    content.resize(content.size() + recordBytes, 'r');
    return content;
}

ClientMessage PageSetMessage(ByteString content)
{
    ClientMessage message(ClientMessageType::Notify, ClientMessageSubType::PageSets);
    message.SetMessageContent(std::move(content));
    return message;
}

// The decoded fields in one line, for comparisons.
std::string Fields(const RawDataJobProperties& properties)
{
    return std::to_string(properties.GetJobId()) + " " + std::to_string(properties.GetCopies()) + " " +
           std::to_string(properties.GetColorSpace()) + " " + std::to_string(properties.IsDuplex()) + " " +
           std::to_string(properties.GetPageSets().size());
}

class PageSetMessageTest : public testing::Test {
protected:
    TestSupport::TempRoot mRoot;  // the codec logs
};

}  // namespace

// The hook's message decodes to the same job properties and records, a paper
// name that fills all 256 characters included.
TEST_F(PageSetMessageTest, RoundTrip)
{
    const std::string longName(PAPER_NAME_LENGTH, 'L');
    const auto handler = ParsedHandler("C 3\nD 1\nK 2\nP A4 2100 2970\nP " + longName + " 1000 2000 c\nN\n", true);
    const RawDataJobProperties sent(4711, *handler);
    const ClientMessage message = sent.GetMessage();

    EXPECT_EQ(message.GetType(), 'N');
    EXPECT_EQ(message.GetSubType(), 'P');
    ASSERT_EQ(message.GetMessageContent().size(), 24 + 3 * RECORD);
    EXPECT_EQ(message.GetMessageContentParam1(), 20 + 3 * RECORD);

    const RawDataJobProperties received(message);
    EXPECT_EQ(Fields(received), "4711 3 2 1 3");
    EXPECT_EQ(received.GetPageSets(), handler->GetPageSets());
    EXPECT_EQ(received.GetPageSets()[1].GetName(), longName);
    EXPECT_EQ(received.GetPageSets()[1].mintColorPages, 1);
}

// After a failed parse the message carries copies, colour and duplex only.
TEST_F(PageSetMessageTest, FailedParseSendsNoPageSets)
{
    const auto handler = ParsedHandler("C 2\nK 1\nP A4 2100 2970\n", false);
    const ClientMessage message = RawDataJobProperties(9, *handler).GetMessage();
    EXPECT_EQ(message.GetMessageContent(), Payload({20, 9, 2, 1, 0, 0}));
    EXPECT_EQ(Fields(RawDataJobProperties(message)), "9 2 1 0 0");
}

// A fallback count keeps the records' layout, so a receiver that does not
// know the flag reads it as ever; the flag rides in the orientation word,
// which no receiver used, and the decoder takes it off again.
TEST_F(PageSetMessageTest, FallbackCountIsFlaggedInTheOrientationWordOnly)
{
    const auto handler = ParsedHandler("C 2\nK 1\nP A4 2100 2970\n", false);
    RawDataJobProperties sent(9, *handler);
    sent.SetFallbackCount(handler->GetPageSets(), 4);
    const ClientMessage message = sent.GetMessage();
    const ByteString& content = message.GetMessageContent();
    ASSERT_EQ(content, [&] {
        ByteString expected = Payload({20 + RECORD, 9, 2, 1, 0, 1});
        expected.resize(expected.size() + RECORD);
        CRawPageSet record = handler->GetPageSets()[0];
        record.mintMonoPages += 3;  // up to 4 pages, of a black-and-white job
        record.mintOrientation = static_cast<RawPaperOrientation>(RawDataJobProperties::FALLBACK_COUNT_FLAG);
        record.WriteTo(std::span<unsigned char>(expected).subspan(24).first<RECORD>());
        return expected;
    }());
    const RawDataJobProperties received(message);
    EXPECT_TRUE(received.IsFallbackCount());
    EXPECT_EQ(received.GetPageSets()[0].mintOrientation, ORIENTATION_PORTRAIT);
    EXPECT_FALSE(RawDataJobProperties(RawDataJobProperties(9, *handler).GetMessage()).IsFallbackCount());
}

// Malformed contents: bad lengths refuse everything, a record count that
// disagrees with the length keeps the numbers but no records.
TEST_F(PageSetMessageTest, MalformedContents)
{
    struct Case {
        const char* mstrName;
        ByteString mContent;
        const char* mstrFields;
    };
    const Case cases[] = {
        {"no page sets", Payload({20, 5, 1, 2, 7, 0}), "5 1 2 1 0"},
        {"one record", Payload({20 + RECORD, 5, 1, 2, 0, 1}, RECORD), "5 1 2 0 1"},
        {"empty content", ByteString(), "0 0 0 0 0"},
        {"shorter than the length field", ByteString{20, 0}, "0 0 0 0 0"},
        {"length below the fixed part", Payload({19, 5, 1, 2, 0}, 3), "0 0 0 0 0"},
        {"length longer than the content", Payload({21, 5, 1, 2, 0, 0}), "0 0 0 0 0"},
        {"length shorter than the content", Payload({20, 5, 1, 2, 0, 0}, 1), "0 0 0 0 0"},
        {"record count above the records", Payload({20 + RECORD, 5, 1, 2, 0, 2}, RECORD), "5 1 2 0 0"},
        {"records without a count", Payload({20 + RECORD, 5, 1, 2, 0, 0}, RECORD), "5 1 2 0 0"},
        // 276 * (2^30 + 1) wraps to 276 in 32 bits.
        {"record count that wraps", Payload({20 + RECORD, 5, 1, 2, 0, (1u << 30) + 1}, RECORD), "5 1 2 0 0"},
        {"largest record count", Payload({20 + RECORD, 5, 1, 2, 0, UINT32_MAX}, RECORD), "5 1 2 0 0"},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.mstrName);
        EXPECT_EQ(Fields(RawDataJobProperties(PageSetMessage(testCase.mContent))), testCase.mstrFields);
    }
}

// Only an 'N','P' message is decoded.
TEST_F(PageSetMessageTest, OtherMessagesGiveNothing)
{
    ClientMessage failure(ClientMessageType::Error, ClientMessageSubType::CommunicationFailure);
    failure.SetMessageContent(Payload({20, 5, 1, 2, 1, 0}));
    EXPECT_EQ(Fields(RawDataJobProperties(failure)), "0 0 0 0 0");
}
