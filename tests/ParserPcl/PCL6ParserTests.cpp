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
using namespace std::string_literals;

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

namespace {

// A page at 600 units an inch, where 1 mm2 is about 558 square units.
Pxl Page()
{
    Pxl writer;
    writer.Session(600).BeginPage(2);
    return writer;
}

// Rows of four RGB pixels of one colour.
std::string Rows(std::string_view pixel, int rows)
{
    std::string data;
    for (int count = 0; count < rows * 4; ++count)
        data += pixel;
    return data;
}
const std::string RED = "\xFF\x00\x00"s, GREY = "\x80\x82\x80"s;

// An image of 4 x 4 pixels drawn over side x side units, up to the ReadImage
// of its one block.
Pxl& ImageBlock(Pxl& writer, uint16_t side, uint8_t compression, uint8_t depth = 2, uint8_t mapping = 0)
{
    writer.UByte(depth).Attribute(98).UByte(mapping).Attribute(100).UInt16(4).Attribute(108).UInt16(4).Attribute(107);
    writer.UInt16Pair(side, side).Attribute(103).Operator(0xB0);
    return writer.UInt16(0).Attribute(109).UInt16(4).Attribute(99).UByte(compression).Attribute(101).Operator(0xB1);
}

// The image with its data in one block.
Pxl& Image(Pxl& writer, uint16_t side, uint8_t compression, std::string_view data, uint8_t depth = 2,
           uint8_t mapping = 0)
{
    return ImageBlock(writer, side, compression, depth, mapping).Embedded(data).Operator(0xB2);
}

Pxl& Brush(Pxl& writer, std::string_view rgb)
{
    return writer.UByteArray(rgb).Attribute(11).Operator(0x63);
}

Pxl& Rectangle(Pxl& writer, uint16_t side)
{
    return writer.UInt16Box(100, 100, 100 + side, 100 + side).Attribute(66).Operator(0xA0);
}

// A palette of 256 greys but for a red last entry.
std::string GreysAndRed()
{
    std::string palette;
    for (int entry = 0; entry < 255; ++entry)
        palette += std::string(3, static_cast<char>(entry));
    return palette + RED;
}

// A raster pattern of 4 x 4 pixels with id 1, then a rectangle of 2 mm
// painted with it.
Pxl& PatternRectangle(Pxl& writer, std::string_view data)
{
    writer.UByte(2).Attribute(98).UByte(0).Attribute(100).UInt16(4).Attribute(108).UInt16(4).Attribute(107);
    writer.UInt16Pair(4, 4).Attribute(103).UInt16(1).Attribute(105).Operator(0xB3);
    writer.UInt16(0).Attribute(109).UInt16(4).Attribute(99).UByte(0).Attribute(101).Operator(0xB4);
    writer.Embedded(data).Operator(0xB5).UInt16(1).Attribute(8).Operator(0x63);
    return Rectangle(writer, 47);
}

// A path from (100, 100): NewPath, SetCursor, then the segments' operator.
Pxl& Path(Pxl& writer)
{
    return writer.Operator(0x85).UInt16Pair(100, 100).Attribute(76).Operator(0x6B);
}

// LinePath (or LineRelPath) with two points as embedded data of a point
// type (1 signed bytes, 3 signed 16-bit numbers).
Pxl& EmbeddedLines(Pxl& writer, uint8_t operatorTag, uint8_t type, std::string_view points)
{
    return writer.UByte(2).Attribute(77).UByte(type).Attribute(80).Operator(operatorTag).Embedded(points);
}

// SetFont with a name and a size in units.
Pxl& Font(Pxl& writer, std::string_view name, uint16_t size)
{
    return writer.UByteArray(name).Attribute(168).UInt16(size).Attribute(166).UInt16(0).Attribute(170).Operator(0x6F);
}

// A bitmap font "B" of 600 dots an inch (a BR segment) whose glyph 'a' is a
// cell of side dots, made the current font.
Pxl& BitmapFont(Pxl& writer, uint8_t side)
{
    const std::string header = "\x00\x00\x00\x02\xFE\x00\x00\x01"s + "BR\x00\x00\x00\x04\x02\x58\x02\x58"s +
                               "\xFF\xFF\x00\x00\x00\x00"s;
    const std::string glyph = "\x00\x00\x00\x00\x00"s + static_cast<char>(side) + "\x00"s + static_cast<char>(side) +
                              "\x00"s + static_cast<char>(side) + std::string(side, '\xFF');
    writer.UByteArray("B").Attribute(168).UByte(0).Attribute(169).Operator(0x4F);
    writer.UInt16(static_cast<uint16_t>(header.size())).Attribute(167).Operator(0x50).Embedded(header).Operator(0x51);
    writer.UByteArray("B").Attribute(168).Operator(0x52);
    writer.UInt16('a').Attribute(162).UInt16(static_cast<uint16_t>(glyph.size())).Attribute(163).Operator(0x53);
    writer.Embedded(glyph).Operator(0x54);
    return Font(writer, "B", 1);
}

// Text of the characters given.
Pxl& Text(Pxl& writer, std::string_view characters)
{
    return writer.UByteArray(characters).Attribute(171).Operator(0xA8);
}

// SetPageScale by a factor across and down.
Pxl& Scale(Pxl& writer, float factor)
{
    return writer.Real32Pair(factor, factor).Attribute(43).Operator(0x77);
}

}  // namespace

// Each page holds one mark, judged by the colour rule at the session's units:
// images in every compression and colour mapping, masks painted with the
// brush, figures by their box, text, patterns; what cannot be judged is colour.
TEST(Pcl6Parser, PagesAreColourByTheirNonNeutralArea)
{
    struct Case {
        const char* mstrName;
        Pxl mPage;
        bool mblnColour;
    };
    Pxl p[40];
    for (Pxl& page : p)
        page = Page();
    // Delta rows: the first row written with two commands, the others repeat it.
    const std::string redDelta = "\x0E\x00\xE0"s + Rows(RED, 1).substr(0, 8) + "\x60" + Rows(RED, 1).substr(8) +
                                 std::string(6, '\0');
    const std::string redPalette = GreysAndRed();
    const Case cases[] = {
        {"red picture", Image(p[0].ColorSpace(2), 94, 0, Rows(RED, 4)), true},
        {"grey picture in RGB", Image(p[1].ColorSpace(2), 94, 0, Rows(GREY, 4)), false},
        {"red picture under 1 mm2", Image(p[2].ColorSpace(2), 20, 0, Rows(RED, 4)), false},
        {"red run-length", Image(p[3].ColorSpace(2), 94, 1, "\x2F"s + Rows(RED, 4)), true},
        {"grey run-length", Image(p[4].ColorSpace(2), 94, 1, "\xD1\x80"s), false},
        {"red delta rows", Image(p[5].ColorSpace(2), 94, 3, redDelta), true},
        {"black delta rows", Image(p[6].ColorSpace(2), 94, 3, std::string(8, '\0')), false},
        {"red JPEG", Image(p[7].ColorSpace(2), 94, 2, Pxl::Jpeg(4, 4, Rows(RED, 4))), true},
        {"grey JPEG", Image(p[8].ColorSpace(2), 94, 2, Pxl::Jpeg(4, 4, Rows(GREY, 4))), false},
        {"red palette entry",
         Image(p[9].UByte(2).Attribute(3).UByte(2).Attribute(2).UByteArray(redPalette).Attribute(6).Operator(0x6A), 94, 0,
               std::string(16, '\xFF'), 2, 1),
         true},
        {"grey palette entries",
         Image(p[10].UByte(2).Attribute(3).UByte(2).Attribute(2).UByteArray(redPalette).Attribute(6).Operator(0x6A), 94,
               0, std::string(16, '\x10'), 2, 1),
         false},
        {"mask painted red",
         Image(Brush(p[11].ColorSpace(2), RED)
                   .UByte(1).Attribute(3).UByte(2).Attribute(2).UByteArray("\xFF\x00"s).Attribute(6).Operator(0x6A),
               94, 0, std::string(16, '\xF0'), 0, 1),
         true},
        {"mask copied without the brush",
         Image(Brush(p[12].ColorSpace(2), RED)
                   .UByte(204).Attribute(44).Operator(0x7B)
                   .UByte(1).Attribute(3).UByte(2).Attribute(2).UByteArray("\xFF\x00"s).Attribute(6).Operator(0x6A),
               94, 0, std::string(16, '\xF0'), 0, 1),
         false},
        {"red 2 mm square", Rectangle(Brush(p[13].ColorSpace(2), RED), 47), true},
        {"red 0.5 mm square", Rectangle(Brush(p[14].ColorSpace(2), RED), 12), false},
        {"red text", Brush(p[15].ColorSpace(2), RED).Operator(0xA8), true},
        {"grey text in RGB", Brush(p[16].ColorSpace(2), GREY).Operator(0xA8), false},
        {"red brush restored to black", Brush(p[17].ColorSpace(2).Operator(0x61), RED).Operator(0x60).Operator(0xA8), false},
        {"unknown compression", Image(p[18].ColorSpace(2), 94, 9, Rows(GREY, 4)), true},
        {"cut picture", Image(p[19].ColorSpace(2), 94, 0, Rows(GREY, 2)), true},
        {"vendor data in sRGB", p[20].ColorSpace(6).UInt16(4).Attribute(146).Operator(0x46).Bytes("\x01\x02\x03\x04"), true},
        {"vendor data in a mono laser's space",
         p[21].ColorSpace(7).UInt16(4).Attribute(146).Operator(0x46).Bytes("\x01\x02\x03\x04"), false},
        {"red pattern", PatternRectangle(p[22].ColorSpace(2), Rows(RED, 4)), true},
        {"grey pattern", PatternRectangle(p[23].ColorSpace(2), Rows(GREY, 4)), false},
        {"red data after another operator than ReadImage",
         ImageBlock(p[39].ColorSpace(2), 94, 0).Operator(0x85).UInt16Pair(1, 2).Attribute(Pxl::POINT)
             .UInt16Pair(1, 2).Attribute(Pxl::POINT).UInt16Pair(1, 2).Attribute(Pxl::POINT)
             .Embedded(Rows(RED, 1).substr(0, 8)).Operator(0xB2),
         false},
        // Paths by the box of their points (at 600 units an inch 1 mm is
        // 23.6 units), text by its characters' cells.
        {"red 2 mm path", Path(Brush(p[24].ColorSpace(2), RED)).UInt16Pair(147, 147).Attribute(69).Operator(0x9B)
                              .Operator(0x86),
         true},
        {"red 0.5 mm path of embedded points",
         EmbeddedLines(Path(Brush(p[25].ColorSpace(2), RED)), 0x9B, 3, "\x70\x00\x64\x00\x70\x00\x70\x00"s).Operator(0x86),
         false},
        {"red 2 mm path of relative points",
         EmbeddedLines(Path(Brush(p[26].ColorSpace(2), RED)), 0x9D, 1, "\x2F\x00\x00\x2F"s).Operator(0x86), true},
        {"red 0.5 mm curve", Path(Brush(p[27].ColorSpace(2), RED)).UInt16Pair(112, 100).Attribute(81)
                                 .UInt16Pair(112, 112).Attribute(82).UInt16Pair(100, 112).Attribute(69)
                                 .Operator(0x93).Operator(0x86),
         false},
        {"red path from no cursor", Brush(p[28].ColorSpace(2), RED).Operator(0x85).UInt16Pair(101, 101).Attribute(69)
                                        .Operator(0x9B).Operator(0x86),
         true},
        {"red 2 mm ellipse path", Brush(p[29].ColorSpace(2), RED).Operator(0x85).UInt16Box(0, 0, 47, 47).Attribute(66)
                                      .Operator(0x99).Operator(0x86),
         true},
        {"red text of two 0.5 mm characters", Text(Font(Brush(p[30].ColorSpace(2), RED), "Courier", 12), "ab"), false},
        {"red text of ten 1 mm characters", Text(Font(Brush(p[31].ColorSpace(2), RED), "Courier", 24), "abcdefghij"),
         true},
        {"red bitmap glyphs of 1.7 mm", Text(BitmapFont(Brush(p[32].ColorSpace(2), RED), 40), "a"), true},
        {"red bitmap glyphs of 0.4 mm", Text(BitmapFont(Brush(p[33].ColorSpace(2), RED), 10), "aa"), false},
        {"red glyph not downloaded", Text(BitmapFont(Brush(p[34].ColorSpace(2), RED), 10), "b"), false},
        // The page scale: a mark under 1 mm2 in user units drawn four times
        // as large, and a scale back down.
        {"red 0.5 mm square scaled by 4", Rectangle(Scale(Brush(p[35].ColorSpace(2), RED), 4), 12), true},
        {"red picture scaled by 4", Image(Scale(p[36].ColorSpace(2), 4), 20, 0, Rows(RED, 4)), true},
        {"red 2 mm square scaled by 0.25", Rectangle(Scale(Brush(p[37].ColorSpace(2), RED), 0.25f), 47), false},
        // A path built in black is not followed: painted red, its size is
        // not known.
        {"small path built before the brush turns red",
         Brush(Path(p[38].ColorSpace(2)).UInt16Pair(101, 101).Attribute(69).Operator(0x9B), RED).Operator(0x86), true},
    };
    for (const Case& test : cases) {
        Pxl job = test.mPage;
        const ParseOutcome outcome = ParsePxl(job.EndPage());
        EXPECT_EQ(outcome.mintColorPages, test.mblnColour ? 1 : 0) << test.mstrName << ": " << outcome.Describe();
        EXPECT_EQ(outcome.mintMonoPages + outcome.mintColorPages, 1) << test.mstrName;
        // Fed whole to the parser alone, the job lies in one chunk of its own.
        LonePcl6Parser lone;
        lone.Feed(job.Data());
        ASSERT_EQ(lone.mListener.mvecPages.size(), 1u) << test.mstrName;
        EXPECT_EQ(lone.mListener.mvecPages[0].mblnColor, test.mblnColour) << test.mstrName << ", fed whole";
    }
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
        bool mblnRgbSpace;  // SetColorSpace RGB seen: the job in colour
        ParseDataResultType mintFailure;
    };
    Case cases[] = {
        {Pxl().Drawing(3).UByte(2).Attribute(PxlWriter::MEDIA_SIZE).UInt16Pair(1, 2).Attribute(PxlWriter::POINT)
             .UByteArray("abc").Attribute(PxlWriter::POINT).Operator(PxlWriter::BEGIN_PAGE),
         2100, false, PARSE_RESULT_HANDLED},
        {Pxl().Drawing(3).UByte(2).Bytes(operators).Attribute(PxlWriter::MEDIA_SIZE).Operator(PxlWriter::BEGIN_PAGE),
         2100, false, PARSE_RESULT_HANDLED},
        {Pxl().Drawing(3).UByte(2).Attribute(PxlWriter::MEDIA_SIZE).Bytes(operators).Operator(PxlWriter::BEGIN_PAGE),
         0, false, PARSE_RESULT_HANDLED},
        {Pxl().Drawing(3).UByte(2).Attribute(0).Bytes(operators).Attribute(PxlWriter::MEDIA_SIZE)
             .Operator(PxlWriter::BEGIN_PAGE),
         2100, false, PARSE_RESULT_HANDLED},
        {Pxl().Drawing(3).UByte(2).Attribute16(PxlWriter::MEDIA_SIZE).Operator(PxlWriter::BEGIN_PAGE).Drawing(3)
             .ColorSpace(2).Drawing(3),
         2100, true, PARSE_RESULT_HANDLED},
        {Pxl().Drawing(3).BeginPage(2).Operator(PxlWriter::READ_CHAR).Embedded(glyph).Operator(PxlWriter::READ_CHAR)
             .Bytes("\xFB\x03\x44\x1B\x44"),
         2100, false, PARSE_RESULT_HANDLED},
        {Pxl().Drawing(3).UByte(2).Drawing(1).Attribute(PxlWriter::MEDIA_SIZE).Operator(PxlWriter::BEGIN_PAGE), 0, false,
         PARSE_RESULT_FAILURE},
        {Pxl().Drawing(3).UByte(2).UByteArray("abc").Attribute(PxlWriter::POINT).Attribute(PxlWriter::MEDIA_SIZE)
             .Operator(PxlWriter::BEGIN_PAGE),
         0, false, PARSE_RESULT_FAILURE},
    };
    for (Case& test : cases) {
        const ParseOutcome outcome = ParsePxl(test.mWriter.Drawing(3).EndPage());
        EXPECT_EQ(outcome.mintFirstFailure, test.mintFailure) << outcome.Describe();
        if (test.mintFailure != PARSE_RESULT_HANDLED)
            continue;
        ASSERT_EQ(outcome.mvecPageSets.size(), 1u) << outcome.Describe();
        EXPECT_EQ(outcome.mintMonoPages + outcome.mintColorPages, 1) << outcome.Describe();
        EXPECT_EQ(outcome.mvecPageSets[0].mintWidth, test.mintWidth) << outcome.Describe();
        EXPECT_EQ(outcome.mintColorType == COLOR_TYPE_COLOR, test.mblnRgbSpace) << outcome.Describe();
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
