#include "PrinterLanguageParser/Parser/DataBuffer.h"
#include "PrinterLanguageParser/Parser/pcl6/PCL6Parser.h"
#include "tests/Parser/ChunkInvariance.h"
#include "tests/Parser/ParseOutcome.h"
#include "tests/Parser/ScriptParser.h"
#include "tests/ParserPcl/ParserFeed.h"
#include "tests/ParserPcl/PxlWriter.h"

#include <gtest/gtest.h>

#include <string>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

using Pxl = PxlWriter;

// A PCL XL job, detected from its header and parsed in every chunking.
ParseOutcome ParsePxl(const PxlWriter& writer)
{
    return ExpectChunkInvariant(writer.Data());
}

// A PCL XL parser fed on its own, with what it reported.
struct LonePcl6Parser {
    LonePcl6Parser() { mParser.AddListener(&mListener); }
    FeedResult Feed(const Bytes& job, size_t chunk = SIZE_MAX) { return FeedParser(mParser, job, std::min(chunk, job.size())); }

    PCL6::PCL6Parser mParser;
    RecordingListener mListener;
};

}  // namespace

// A little-endian stream with an A4 page: one mono page, A4 reported as the
// default size.
TEST(Pcl6Parser, PageWithMediaSize)
{
    const ParseOutcome outcome = ParsePxl(Pxl().BeginPage(2).EndPage());
    ASSERT_EQ(outcome.mvecPageSets.size(), 1u) << outcome.Describe();
    EXPECT_EQ(outcome.mvecPageSets[0].mintWidth, 2100);
    EXPECT_EQ(outcome.mvecPageSets[0].mintHeight, 2970);
    EXPECT_EQ(outcome.mintMonoPages, 1);
    EXPECT_EQ(outcome.mintColorPages, 0);
}

// A big-endian stream: a two-byte attribute id 00 25 is MediaSize, and a
// four-byte data length is read high byte first; EndPage bytes inside the
// data are not pages.
TEST(Pcl6Parser, BigEndianBinding)
{
    Pxl writer(true);
    writer.UByte(2).Attribute16(PxlWriter::MEDIA_SIZE).Operator(PxlWriter::BEGIN_PAGE);
    writer.Embedded("\x44\x44\x1B\x44\x44").EndPage();
    EXPECT_EQ(writer.Data()[writer.Data().size() - 10], 0x00);  // the length's high byte comes first
    const ParseOutcome outcome = ParsePxl(writer);
    EXPECT_EQ(outcome.mintMonoPages, 1);
    ASSERT_EQ(outcome.mvecPageSets.size(), 1u);
    EXPECT_EQ(outcome.mvecPageSets[0].mintWidth, 2100);
}

// A header cut before its line feed is read again, whole, with more data.
TEST(Pcl6Parser, CutHeaderWaitsForItsLineFeed)
{
    const Bytes job = Pxl().BeginPage(0).EndPage().Data();
    PCL6::PCL6Parser parser;
    RecordingListener listener;
    parser.AddListener(&listener);
    DataBuffer buffer;
    buffer.SetMainBuffer(job.data(), 8);
    EXPECT_EQ(parser.ParseData(buffer), PARSE_RESULT_NEED_MORE_DATA);
    EXPECT_EQ(parser.BytesProcessed(), 0u);
    ASSERT_TRUE(buffer.CopyFromMainIntoPrebuffer(0));
    buffer.SetMainBuffer(job.data() + 8, job.size() - 8);
    EXPECT_EQ(parser.ParseData(buffer), PARSE_RESULT_HANDLED);
    EXPECT_EQ(listener.mvecPages.size(), 1u);
}

// Image data longer than a 64 KiB chunk is skipped whole: escapes and
// EndPage bytes inside it are not acted on.
TEST(Pcl6Parser, EmbeddedDataAcrossChunks)
{
    std::string data(100000, '\x44');
    for (size_t index = 0; index < data.size(); index += 7)
        data[index] = '\x1B';
    Pxl writer;
    writer.BeginPage(2).Operator(PxlWriter::READ_IMAGE).Embedded(data).EndPage();
    const size_t chunks[] = {65536};
    const ParseOutcome outcome = ParseInChunks(writer.Data(), chunks);
    EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED);
    EXPECT_EQ(outcome.mintMonoPages, 1);
    EXPECT_EQ(ParsePxl(writer), outcome);
}

// VendorUnique data (JetReady) follows the operator as raw bytes, counted by
// VUDataLength: EndPage, escape and tag bytes inside it are not read.
TEST(Pcl6Parser, VendorUniqueDataIsSkipped)
{
    constexpr uint8_t VU_DATA_LENGTH = 146, VENDOR_UNIQUE = 0x46;
    const std::string data("\x44\x1B\xF8\x44\xC0\x44\x44", 7);
    Pxl writer;
    for (int page = 0; page < 3; ++page) {
        writer.BeginPage(2).UInt16(static_cast<uint16_t>(data.size())).Attribute(VU_DATA_LENGTH);
        writer.Operator(VENDOR_UNIQUE).Bytes(data).EndPage();
    }
    const ParseOutcome outcome = ParsePxl(writer);
    EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED);
    EXPECT_EQ(outcome.mintMonoPages, 3) << outcome.Describe();
}

// An escape between operators hands over to PJL at the escape.
TEST(Pcl6Parser, EscapeHandsOverToPjl)
{
    LonePcl6Parser lone;
    Pxl writer;
    writer.BeginPage(2).EndPage();
    const size_t escape = writer.Data().size();
    writer.Bytes("\x1B%-12345X@PJL EOJ\n");
    const FeedResult result = lone.Feed(writer.Data());
    EXPECT_EQ(result.mintLastResult, PARSE_RESULT_SWITCH_LANGUAGE);
    EXPECT_EQ(result.mintConsumed, escape);
    EXPECT_EQ(lone.mListener.mvecLanguages, std::vector<RawLanguageType>{LANGUAGE_PJL});
    EXPECT_EQ(lone.mListener.mvecPages.size(), 1u);
}

// Images and raster patterns colour their page only when drawn in RGB; a
// page starts in grey, and its colour flag starts cleared.
TEST(Pcl6Parser, ImagesColourOnlyInRgb)
{
    Pxl writer;
    writer.BeginPage(2).ColorSpace(1).Operator(PxlWriter::BEGIN_IMAGE).EndPage();
    writer.BeginPage(2).ColorSpace(2).Operator(PxlWriter::BEGIN_IMAGE).EndPage();
    writer.BeginPage(2).Operator(PxlWriter::BEGIN_IMAGE).Operator(PxlWriter::BEGIN_RAST_PATTERN).EndPage();
    writer.BeginPage(2).EndPage();
    const ParseOutcome outcome = ParsePxl(writer);
    EXPECT_EQ(outcome.mintMonoPages, 3) << outcome.Describe();
    EXPECT_EQ(outcome.mintColorPages, 1);
    EXPECT_EQ(outcome.mintColorType, COLOR_TYPE_COLOR);
}

// The values and operators the parser acts on, among the many it drops: a
// kept attribute survives dropped values up to the next operator, a value
// waiting for its id survives operators, a dropped value takes the place of
// one still waiting, raw data is passed over unread, and the result is the
// same however the job is cut.
TEST(Pcl6Parser, ActedOnTagsAmongDrawing)
{
    const std::string operators(24, '\x85');
    const std::string glyph = std::string(30, '\x44') + "\x1B";  // EndPage and escape bytes
    struct Case {
        Pxl mWriter;
        int32_t mintWidth;
        int mintColorPages;
        ParseDataResultType mintFailure;
    };
    Case cases[] = {
        {Pxl().Drawing(3).UByte(2).Attribute(PxlWriter::MEDIA_SIZE).UInt16Pair(1, 2).Attribute(PxlWriter::POINT)
             .UByteArray("abc").Attribute(PxlWriter::POINT).Operator(PxlWriter::BEGIN_PAGE),
         2100, 0, PARSE_RESULT_HANDLED},
        {Pxl().Drawing(3).UByte(2).Bytes(operators).Attribute(PxlWriter::MEDIA_SIZE).Operator(PxlWriter::BEGIN_PAGE),
         2100, 0, PARSE_RESULT_HANDLED},
        {Pxl().Drawing(3).UByte(2).Attribute(PxlWriter::MEDIA_SIZE).Bytes(operators).Operator(PxlWriter::BEGIN_PAGE),
         0, 0, PARSE_RESULT_HANDLED},
        {Pxl().Drawing(3).UByte(2).Attribute(0).Bytes(operators).Attribute(PxlWriter::MEDIA_SIZE)
             .Operator(PxlWriter::BEGIN_PAGE),
         2100, 0, PARSE_RESULT_HANDLED},
        {Pxl().Drawing(3).UByte(2).Attribute16(PxlWriter::MEDIA_SIZE).Operator(PxlWriter::BEGIN_PAGE).Drawing(3)
             .ColorSpace(2).Drawing(3),
         2100, 1, PARSE_RESULT_HANDLED},
        {Pxl().Drawing(3).BeginPage(2).Operator(PxlWriter::READ_CHAR).Embedded(glyph).Operator(PxlWriter::READ_CHAR)
             .Bytes("\xFB\x03\x44\x1B\x44"),
         2100, 0, PARSE_RESULT_HANDLED},
        {Pxl().Drawing(3).UByte(2).Drawing(1).Attribute(PxlWriter::MEDIA_SIZE).Operator(PxlWriter::BEGIN_PAGE), 0, 0,
         PARSE_RESULT_FAILURE},
        {Pxl().Drawing(3).UByte(2).UByteArray("abc").Attribute(PxlWriter::POINT).Attribute(PxlWriter::MEDIA_SIZE)
             .Operator(PxlWriter::BEGIN_PAGE),
         0, 0, PARSE_RESULT_FAILURE},
    };
    for (Case& test : cases) {
        const ParseOutcome outcome = ParsePxl(test.mWriter.Drawing(3).EndPage());
        EXPECT_EQ(outcome.mintFirstFailure, test.mintFailure) << outcome.Describe();
        if (test.mintFailure != PARSE_RESULT_HANDLED)
            continue;
        ASSERT_EQ(outcome.mvecPageSets.size(), 1u) << outcome.Describe();
        EXPECT_EQ(outcome.mintMonoPages + outcome.mintColorPages, 1) << outcome.Describe();
        EXPECT_EQ(outcome.mvecPageSets[0].mintWidth, test.mintWidth) << outcome.Describe();
        EXPECT_EQ(outcome.mintColorPages, test.mintColorPages) << outcome.Describe();
    }
}

// SetColorSpace reports the job's colour type only when it rises.
TEST(Pcl6Parser, ColourTypeReportedWhenItRises)
{
    LonePcl6Parser lone;
    lone.Feed(Pxl().ColorSpace(1).ColorSpace(2).ColorSpace(1).ColorSpace(2).Data());
    EXPECT_EQ(lone.mListener.Reports(PROPERTY_COLOR_TYPE), (std::vector<int64_t>{COLOR_TYPE_MONO, COLOR_TYPE_COLOR}));
}

// Paper sizes: table values, values without a size, and custom sizes in
// inches (real32 pair), millimetres (uint16 pair) and unknown units.
TEST(Pcl6Parser, PaperSizes)
{
    struct Case {
        Pxl mWriter;
        int64_t mintWidth;
        int64_t mintHeight;
    };
    Case cases[] = {
        {Pxl().BeginPage(17), 1050, 1480},
        {Pxl().BeginPage(13), 0, 0},
        {Pxl().BeginPage(40), 0, 0},
        {Pxl()
             .UByte(0).Attribute(PxlWriter::CUSTOM_MEDIA_SIZE_UNITS)
             .Real32Pair(8.5f, 11.0f).Attribute(PxlWriter::CUSTOM_MEDIA_SIZE)
             .Operator(PxlWriter::BEGIN_PAGE),
         2159, 2794},
        {Pxl()
             .UByte(1).Attribute(PxlWriter::CUSTOM_MEDIA_SIZE_UNITS)
             .UInt16Pair(210, 297).Attribute(PxlWriter::CUSTOM_MEDIA_SIZE)
             .Operator(PxlWriter::BEGIN_PAGE),
         2100, 2970},
        {Pxl()
             .UByte(7).Attribute(PxlWriter::CUSTOM_MEDIA_SIZE_UNITS)
             .UInt16Pair(210, 297).Attribute(PxlWriter::CUSTOM_MEDIA_SIZE)
             .Operator(PxlWriter::BEGIN_PAGE),
         0, 0},
        {Pxl()
             .UByte(0).Attribute(PxlWriter::CUSTOM_MEDIA_SIZE_UNITS)
             .Real32Pair(1e30f, -1e30f).Attribute(PxlWriter::CUSTOM_MEDIA_SIZE)
             .Operator(PxlWriter::BEGIN_PAGE),
         0, 0},
    };
    for (const Case& sizeCase : cases) {
        LonePcl6Parser lone;
        lone.Feed(sizeCase.mWriter.Data());
        EXPECT_EQ(lone.mListener.Reports(PROPERTY_DEFAULT_PAGE_WIDTH), std::vector<int64_t>{sizeCase.mintWidth});
        EXPECT_EQ(lone.mListener.Reports(PROPERTY_DEFAULT_PAGE_HEIGHT), std::vector<int64_t>{sizeCase.mintHeight});
    }

    // A MediaSize given by name (a ubyte array) is a known paper's, in any
    // case; an unknown name, or one too long for a paper's, gives no size, and
    // its bytes are never read as tags.
    struct NameCase {
        std::string_view mstrName;
        int64_t mintWidth;
    };
    const NameCase names[] = {{"LEDGER", 2794}, {"a4", 2100}, {"JPOSTD", 2000}, {"NOSUCHPAPER", 0},
                              {"LETTERLETTERLETTER\xF9\x00\x25", 0}};
    for (const NameCase& name : names) {
        SCOPED_TRACE(name.mstrName);
        for (const size_t chunk : {size_t{1}, size_t{4096}}) {
            LonePcl6Parser named;
            named.Feed(Pxl().UByteArray(name.mstrName).Attribute(PxlWriter::MEDIA_SIZE).Operator(PxlWriter::BEGIN_PAGE)
                           .Data(), chunk);
            const std::vector<int64_t> widths = named.mListener.Reports(PROPERTY_DEFAULT_PAGE_WIDTH);
            EXPECT_EQ(widths, name.mintWidth == 0 ? std::vector<int64_t>{} : std::vector<int64_t>{name.mintWidth});
            EXPECT_TRUE(named.mListener.mvecPages.empty());
        }
    }

    // Elements that look like a two-byte attribute id are not read as one:
    // the EndPage after the array's own id still counts.
    LonePcl6Parser lookalike;
    lookalike.Feed(Pxl().UByteArray(Raw("\xF9\x00\x25")).Attribute(PxlWriter::MEDIA_SIZE).EndPage().Data());
    EXPECT_EQ(lookalike.mListener.mvecPages.size(), 1u);
}

// Duplex, simplex and orientation come with BeginPage.
TEST(Pcl6Parser, DuplexAndOrientation)
{
    Pxl duplex;
    for (int page = 0; page < 3; ++page)
        duplex.UByte(2).Attribute(PxlWriter::MEDIA_SIZE).UByte(0).Attribute(PxlWriter::DUPLEX_PAGE_MODE)
            .Operator(PxlWriter::BEGIN_PAGE).EndPage();
    const ParseOutcome outcome = ParsePxl(duplex);
    EXPECT_TRUE(outcome.mblnDuplex);
    EXPECT_EQ(outcome.mintMonoPages, 3);

    Pxl simplex;
    simplex.UByte(0).Attribute(PxlWriter::DUPLEX_PAGE_MODE).Operator(PxlWriter::BEGIN_PAGE).EndPage();
    simplex.UByte(0).Attribute(PxlWriter::SIMPLEX_PAGE_MODE).UByte(1).Attribute(PxlWriter::ORIENTATION)
        .Operator(PxlWriter::BEGIN_PAGE).EndPage();
    const ParseOutcome last = ParsePxl(simplex);
    EXPECT_FALSE(last.mblnDuplex);
    ASSERT_EQ(last.mvecPageSets.size(), 1u);
    EXPECT_EQ(last.mvecPageSets[0].mintOrientation, ORIENTATION_LANDSCAPE);
}

// Unreadable input fails: an unsupported data type, an attribute id with no
// value before it. An unknown binding goes back to the previous language.
TEST(Pcl6Parser, UnreadableInput)
{
    EXPECT_EQ(ParsePxl(Pxl().Bytes("\xC7\x01\x02").BeginPage(2).EndPage()).mintFirstFailure, PARSE_RESULT_FAILURE);
    EXPECT_EQ(ParsePxl(Pxl().Attribute(PxlWriter::MEDIA_SIZE)).mintFirstFailure, PARSE_RESULT_FAILURE);

    LonePcl6Parser lone;
    const FeedResult result = lone.Feed(ToBytes("X HP-PCL XL;2;0\n"));
    EXPECT_EQ(result.mintLastResult, PARSE_RESULT_SWITCH_LANGUAGE);
    EXPECT_EQ(result.mintConsumed, 0u);
    EXPECT_EQ(lone.mListener.mvecLanguages, std::vector<RawLanguageType>{LANGUAGE_UNKNOWN});
}

// A stream header of another stream than PCL XL (Ricoh's SAG-GDI): the stream
// is passed over, up to the universal exit that hands the job back to PJL.
TEST(Pcl6Parser, PassesOverAnotherStream)
{
    const std::string job = ") SAG-GDI RL;0;0;Comment\r\n" + std::string("\x10\x00\x02\xC0\x41\x44", 6) +
                            "\x1B%-12345X@PJL EOJ\r\n";
    const ParseOutcome outcome = ExpectChunkInvariant(ToBytes(job));
    EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED) << outcome.Describe();
    EXPECT_TRUE(outcome.mvecPageSets.empty()) << outcome.Describe();
}

// An attribute id 0 names nothing: the value waits for a real id, and the
// rest of the data is read in the same call (nothing is lost at the end of
// the job, wherever it is cut).
TEST(Pcl6Parser, AttributeIdZeroKeepsTheValuePending)
{
    Pxl writer;
    writer.UByte(2).Attribute(0).Attribute(PxlWriter::MEDIA_SIZE).Operator(PxlWriter::BEGIN_PAGE).EndPage();
    const ParseOutcome outcome = ParsePxl(writer);
    EXPECT_EQ(outcome.mintMonoPages, 1);
    ASSERT_EQ(outcome.mvecPageSets.size(), 1u);
    EXPECT_EQ(outcome.mvecPageSets[0].mintWidth, 2100);
}

// A second session after the exit language starts with its own header: its
// header text ("DDDD" holds EndPage tags) is never read as operators.
TEST(Pcl6Parser, SecondSessionReadsItsOwnHeader)
{
    Bytes job = Pxl(false, "Comment DDDD").BeginPage(2).EndPage().Data();
    const Bytes pjl = ToBytes("\x1B%-12345X@PJL\nL 3\n");
    job.insert(job.end(), pjl.begin(), pjl.end());
    const Bytes second = Pxl(true, "Comment DDDD").BeginPage(0).EndPage().Data();
    job.insert(job.end(), second.begin(), second.end());

    const ParseOutcome outcome = ExpectChunkInvariant(job, ScriptRegistry({LANGUAGE_PJL}));
    EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED);
    EXPECT_EQ(outcome.mintMonoPages, 2) << outcome.Describe();
}
