#include "PrinterLanguageParser/Parser/CommandText.h"
#include "PrinterLanguageParser/Parser/DataBuffer.h"

#include <gtest/gtest.h>

#include <string>

using RawPrintData::DataBuffer;

namespace {

// The logical content of a buffer, read through its index.
std::string Content(const DataBuffer& buffer)
{
    std::string text;
    for (uint64_t index = 0; index < buffer.Length(); ++index)
        text.push_back(static_cast<char>(buffer[index]));
    return text;
}

// A chunk the buffer can point into.
const unsigned char* Bytes(const std::string& text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

// A buffer holding "abc" kept from before and "defg" as the current chunk.
class TwoPartBuffer : public testing::Test {
protected:
    void SetUp() override
    {
        mBuffer = DataBuffer();
        mBuffer.SetMainBuffer(Bytes(mstrFirst), mstrFirst.size());
        ASSERT_TRUE(mBuffer.CopyFromMainIntoPrebuffer(3));
        mBuffer.SetMainBuffer(Bytes(mstrMain), mstrMain.size());
    }

    const std::string mstrFirst = "xyzabc";
    const std::string mstrMain = "defg";
    DataBuffer mBuffer;
};

}  // namespace

// One index runs over both parts; past the end it reads 0.
TEST_F(TwoPartBuffer, IndexesOverBothParts)
{
    EXPECT_EQ(mBuffer.PreBufferLength(), 3u);
    EXPECT_EQ(mBuffer.MainBufferLength(), 4u);
    EXPECT_EQ(Content(mBuffer), "abcdefg");
    EXPECT_EQ(mBuffer[7], 0);
    EXPECT_EQ(mBuffer[UINT64_MAX], 0);
    std::string flat = "old";
    mBuffer.CopyFullBufferInto(flat);
    EXPECT_EQ(flat, "abcdefg");
}

// Re-basing moves the start inside either part; a start beyond the data fails
// and changes nothing.
TEST_F(TwoPartBuffer, AdjustToStartAt)
{
    const std::pair<uint64_t, const char*> cases[] = {{0, "abcdefg"}, {2, "cdefg"}, {3, "defg"},
                                                      {5, "fg"},      {7, ""},      {8, "abcdefg"}};
    for (const auto& [start, expected] : cases) {
        SCOPED_TRACE(start);
        SetUp();
        EXPECT_EQ(mBuffer.AdjustToStartAt(start), start <= 7);
        EXPECT_EQ(Content(mBuffer), expected);
    }
}

// Keeping a tail drops the chunk; the tail stays in front of the next chunk.
TEST_F(TwoPartBuffer, CopyFromMainIntoPrebuffer)
{
    const std::pair<uint64_t, const char*> cases[] = {{0, "abcdefg"}, {2, "cdefg"}, {5, "fg"}, {7, ""}};
    const std::string next = "hi";
    for (const auto& [start, expected] : cases) {
        SCOPED_TRACE(start);
        SetUp();
        ASSERT_TRUE(mBuffer.CopyFromMainIntoPrebuffer(start));
        EXPECT_EQ(mBuffer.MainBufferLength(), 0u);
        EXPECT_EQ(Content(mBuffer), expected);
        mBuffer.SetMainBuffer(Bytes(next), next.size());
        EXPECT_EQ(Content(mBuffer), std::string(expected) + "hi");
    }
    SetUp();
    EXPECT_FALSE(mBuffer.CopyFromMainIntoPrebuffer(8));
    EXPECT_EQ(Content(mBuffer), "abcdefg");
}

// A tail that is consumed a little and grown a little on every call keeps
// exactly the right bytes through many calls.
TEST(DataBuffer, LongRunOfSmallKeeps)
{
    DataBuffer buffer;
    std::string expected;
    std::string chunk;
    for (int call = 0; call < 5000; ++call) {
        chunk = std::to_string(call) + ",";
        buffer.SetMainBuffer(Bytes(chunk), chunk.size());
        expected += chunk;
        const uint64_t consumed = call % 3 == 0 ? 2 : 0;
        ASSERT_TRUE(buffer.CopyFromMainIntoPrebuffer(consumed));
        expected.erase(0, consumed);
        ASSERT_EQ(buffer.PreBufferLength(), expected.size());
    }
    EXPECT_EQ(Content(buffer), expected);
}

// Searches find bytes in either part and across the seam between them.
TEST_F(TwoPartBuffer, Find)
{
    const std::tuple<std::string, uint64_t, uint64_t> cases[] = {
        {"cd", 0, 2}, {"bc", 0, 1}, {"fg", 0, 5}, {"abcdefg", 0, 0}, {"abcdefgh", 0, DataBuffer::npos},
        {"cd", 3, DataBuffer::npos}, {"e", 2, 4}, {"x", 0, DataBuffer::npos}, {"", 3, 3}, {"g", 8, DataBuffer::npos},
    };
    for (const auto& [needle, from, expected] : cases) {
        SCOPED_TRACE(needle + " from " + std::to_string(from));
        EXPECT_EQ(mBuffer.Find(needle, from), expected);
    }
}

// A marker is compared across the seam; one that runs past the data with
// every byte at hand agreeing is a prefix, to be decided with more data.
TEST_F(TwoPartBuffer, MatchAt)
{
    using RawPrintData::TextMatch;
    const std::tuple<uint64_t, std::string, TextMatch> cases[] = {
        {2, "cde", TextMatch::Full},    {0, "abcdefg", TextMatch::Full}, {6, "g", TextMatch::Full},
        {5, "fgh", TextMatch::Prefix},  {2, "cdX", TextMatch::None},     {1, "bX", TextMatch::None},
        {5, "fX", TextMatch::None},
    };
    for (const auto& [index, marker, expected] : cases) {
        SCOPED_TRACE(marker + " at " + std::to_string(index));
        EXPECT_EQ(RawPrintData::MatchAt(mBuffer, index, marker), expected);
    }
}

// A copy owns its pre-buffer and shares the chunk; a limited copy is flat.
TEST_F(TwoPartBuffer, Copies)
{
    const DataBuffer copy(mBuffer);
    EXPECT_EQ(Content(copy), "abcdefg");
    EXPECT_EQ(copy.MainBuffer().data(), mBuffer.MainBuffer().data());
    EXPECT_NE(copy.PreBuffer().data(), mBuffer.PreBuffer().data());

    const DataBuffer limited(mBuffer, 5);
    EXPECT_EQ(Content(limited), "abcde");
    EXPECT_EQ(limited.MainBufferLength(), 0u);
    EXPECT_EQ(Content(DataBuffer(mBuffer, 100)), "abcdefg");

    DataBuffer assigned;
    assigned = mBuffer;
    mBuffer.ClearPreBuffer();
    EXPECT_EQ(Content(assigned), "abcdefg");
    EXPECT_EQ(Content(mBuffer), "defg");
}
