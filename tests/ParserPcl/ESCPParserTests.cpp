#include "PrinterLanguageParser/Parser/escp/ESCPParser.h"
#include "tests/Parser/ChunkInvariance.h"
#include "tests/Parser/ExpectedPageSets.h"
#include "tests/Parser/ParseOutcome.h"
#include "tests/ParserPcl/ParserFeed.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RawPrintData;
using namespace ParserTestSupport;
using namespace std::string_literals;

namespace {

// An ESC/P job, parsed as ESC/P in every chunking.
ParseOutcome ParseEscp(const Bytes& job)
{
    return ExpectChunkInvariant(job, ParserRegistry::BuiltIn(), LANGUAGE_ESCP2);
}

// ESC i: a block of rows of an ink (its colour code), raw, one bit a dot,
// every dot set: bytesPerRow * 8 dots across, rows down, at 1/360 inch.
std::string SolidBlock(unsigned char ink, unsigned bytesPerRow, unsigned rows)
{
    std::string block = {'\x1B', 'i', static_cast<char>(ink), '\0', '\1', static_cast<char>(bytesPerRow), '\0',
                         static_cast<char>(rows), '\0'};
    return block + std::string(bytesPerRow * rows, '\xFF') + "\r";
}

// ESC ( v: moves down n units (1/360 inch until ESC ( U).
std::string MoveDown(unsigned n)
{
    return std::string(Raw("\x1B(v\x02\x00")) + static_cast<char>(n & 0xFF) + static_cast<char>(n >> 8);
}

std::string Repeat(std::string_view piece, unsigned times)
{
    std::string repeated;
    for (unsigned time = 0; time < times; ++time)
        repeated += piece;
    return repeated;
}

constexpr unsigned char CYAN = 2, MAGENTA = 1, YELLOW = 4, BLACK = 0, LIGHT_CYAN = 0x12, LIGHT_BLACK = 0x10;

struct PageColourCase {
    const char* mstrLabel;
    Bytes mbytJob;
    int mintMono;
    int mintColor;
};

class EscpPageColour : public testing::TestWithParam<PageColourCase> {};

}  // namespace

// Colour commands mark the page they are on; mono codes leave it mono, and
// the next page starts mono again.
TEST_P(EscpPageColour, MarksThePageItIsOn)
{
    const ParseOutcome outcome = ParseEscp(GetParam().mbytJob);
    EXPECT_EQ(outcome.mintMonoPages, GetParam().mintMono) << outcome.Describe();
    EXPECT_EQ(outcome.mintColorPages, GetParam().mintColor) << outcome.Describe();
    EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED);
    // ESC/P reports no job property.
    EXPECT_EQ(outcome.mintColorType, COLOR_TYPE_UNKNOWN);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, EscpPageColour,
    testing::Values(
        // Colour mode is the job's mode, not a mark on the page.
        PageColourCase{"colour_mode_mono", Join({Raw("\x1B(K\x02\x00\x00\x01\f")}), 1, 0},
        PageColourCase{"colour_mode_colour", Join({Raw("\x1B(K\x02\x00\x00\x02\f\f")}), 2, 0},
        PageColourCase{"select_colour_black", Join({Raw("\x1Br\x00\f")}), 1, 0},
        // A colour selected prints nothing by itself; text in it is colour.
        PageColourCase{"select_colour_magenta", Join({Raw("\x1Br\x01\r\n\f")}), 1, 0},
        PageColourCase{"magenta_text", Join({Raw("\x1Br\x01Text\f")}), 0, 1},
        // ESC r 5 and 6 are red and green; "0" is black, as 0 is.
        PageColourCase{"red_text", Join({Raw("\x1Br\x05x\f")}), 0, 1},
        PageColourCase{"digit_green_text", Join({Raw("\x1Br6x\f")}), 0, 1},
        PageColourCase{"black_text", Join({Raw("\x1Br0Text\x1Br\x40Text\f")}), 1, 0},
        PageColourCase{"select_colour_mono_codes",
                       Join({Raw("\x1Br\x00\x1Br0\x1Br\x10\x1Br\x40\x1Br\x80\x1Br\xC0\f")}), 1, 0},
        PageColourCase{"paren_r_colour", Join({Raw("\x1B(r\x02\x00\x00\x01x\f")}), 0, 1},
        PageColourCase{"paren_r_mono", Join({Raw("\x1B(r\x02\x00\x00\x40\f")}), 1, 0},
        // Raster is judged by the colour rule: 64 by 32 dots of 1/360 inch
        // (10 mm2) of cyan, or of its light ink, are colour; 16 by 8 dots
        // (0.6 mm2) are too small; black and light black are neutral.
        PageColourCase{"cyan_raster", Join({SolidBlock(CYAN, 8, 32), "\f"}), 0, 1},
        PageColourCase{"light_cyan_raster", Join({SolidBlock(LIGHT_CYAN, 8, 32), "\f"}), 0, 1},
        PageColourCase{"small_cyan_raster", Join({SolidBlock(CYAN, 2, 8), "\f"}), 1, 0},
        PageColourCase{"black_raster", Join({SolidBlock(BLACK, 8, 32), SolidBlock(LIGHT_BLACK, 8, 32), "\f"}), 1, 0},
        // Cyan, magenta and yellow in balance print grey.
        PageColourCase{"composite_grey_raster",
                       Join({SolidBlock(CYAN, 8, 32), SolidBlock(MAGENTA, 8, 32), SolidBlock(YELLOW, 8, 32), "\f"}), 1, 0},
        PageColourCase{"red_raster", Join({SolidBlock(MAGENTA, 8, 32), SolidBlock(YELLOW, 8, 32), "\f"}), 0, 1},
        // Inks on heads one above the other: each sent a block's height
        // away from where it lands, grey still.
        PageColourCase{"stacked_heads_grey",
                       Join({MoveDown(64), SolidBlock(CYAN, 8, 32), MoveDown(32), SolidBlock(MAGENTA, 8, 32), MoveDown(32),
                             SolidBlock(YELLOW, 8, 32), "\f"}),
                       1, 0},
        // Run-length encoded rows: a run of eight bytes each.
        PageColourCase{"run_length_cyan", Join({Raw("\x1Bi\x02\x01\x01\x08\x00\x20\x00"), Repeat(Raw("\xF9\xFF"), 32), "\f"}),
                       0, 1},
        // Data that cannot be judged counts as colour: another compression,
        // bits per dot other than one or two, a bit image in a colour ink of a
        // mode not read or after text (its place across the line not known).
        PageColourCase{"unknown_compression", Join({Raw("\x1Bi\x02\x02\x01\x01\x00\x01\x00\x00\x00"), "\f"}), 0, 1},
        PageColourCase{"unknown_bits_per_dot", Join({Raw("\x1Bi\x02\x00\x03\x01\x00\x01\x00\x00"), "\f"}), 0, 1},
        PageColourCase{"colour_bit_image_not_judged", Join({Raw("\x1Br\x02\x1B*\x48\x01\x00"), std::string(6, '\0'), "\f"}),
                       0, 1},
        PageColourCase{"colour_bit_image_after_text", Join({Raw("a\x1Br\x02\x1B*\x00\x01\x00\x00\f")}), 0, 1},
        // ESC . rows in the ink ESC r selects, a line feed apart.
        PageColourCase{"escp2_raster_in_selected_ink",
                       Join({Raw("\x1B+\x01\x1Br\x02"),
                             Repeat(std::string(Raw("\x1B.\x00\x0A\x0A\x01\x40\x00")) + std::string(8, '\xFF') + "\r\n", 32), "\f"}),
                       0, 1},
        PageColourCase{"unknown_command_chain_then_colour", Join({Raw("\x1Bo_;r\x02x\f")}), 0, 1},
        PageColourCase{"reset", Join({"\x1B@\f"}), 1, 0},
        // Bit images and raster graphics: their data, form feeds and escapes
        // included, is skipped by the length the header gives.
        PageColourCase{"bit_image_8_dot", Join({Raw("\x1B*\x00\x03\x00" "\f\x1B\f"), "\f"}), 1, 0},
        PageColourCase{"bit_image_24_dot", Join({Raw("\x1B*\x27\x02\x00"), std::string(6, '\f'), "\f"}), 1, 0},
        PageColourCase{"bit_image_48_dot", Join({Raw("\x1B*\x48\x01\x00"), std::string(6, '\f'), "\f"}), 1, 0},
        PageColourCase{"bit_image_K_L_Y_Z",
                       Join({Raw("\x1BK\x01\x00\f\x1BL\x02\x00\f\f\x1BY\x01\x00\x1B\x1BZ\x01\x00\f"), "\f"}), 1, 0},
        PageColourCase{"bit_image_9_pin", Join({Raw("\x1B^\x01\x02\x00"), std::string(4, '\f'), "\f"}), 1, 0},
        PageColourCase{"raster_graphics", Join({Raw("\x1B.\x00\x0A\x0A\x02\x0C\x00"), std::string(4, '\f'), "\f"}), 1, 0},
        PageColourCase{"raster_graphics_run_length",
                       Join({Raw("\x1B.\x01\x0A\x0A\x01\x20\x00" "\xFE\f" "\x00\f"), "\f"}), 1, 0},
        PageColourCase{"colour_bit_image", Join({Raw("\x1Br\x02\x1B*\x00\x02\x00\xFF\f\f\x1Br\x00\x1B*\x00\x01\x00\f\f")}),
                       1, 1},
        // Parameters are read by count, whatever their bytes.
        PageColourCase{"parameters_holding_form_feeds",
                       Join({Raw("\x1BJ\f\x1B" "3\f\x1B" "D\x02\f\x1B\x00\x1B" "C\x00\f\x1B" "b\x00\f\x00\x1BX\x00\f\x00\x1B" "E"), "\f"}),
                       1, 0}),
    [](const testing::TestParamInfo<PageColourCase>& info) { return info.param.mstrLabel; });

// A run-length encoded block ends once its decoded length is reached: with
// the carriage return after it or without, what follows is read again, and
// form feeds inside the block are not pages.
TEST(EscpParser, RunLengthBlockEndsAtItsDecodedLength)
{
    // Eight bytes: a run of four form feeds, then a literal of four.
    const std::string_view block = Raw("\x1Bi\x00\x01\x01\x04\x00\x02\x00" "\xFD\f" "\x03\f\x1B\f\f");
    EXPECT_EQ(ParseEscp(Join({block, "\r\f"})).mintMonoPages, 1);
    EXPECT_EQ(ParseEscp(Join({block, "\f\f"})).mintMonoPages, 2);
    // A unit that overshoots the length ends the block as well.
    const std::string_view overshoot = Raw("\x1Bi\x00\x01\x01\x03\x00\x01\x00" "\xF0\f");
    EXPECT_EQ(ParseEscp(Join({overshoot, "\f"})).mintMonoPages, 1);
    // Compression above 2 gives the length in four bytes of its own.
    const std::string_view counted = Raw("\x1Bi\x00\x03\x01\x00\x00\x00\x00\x00\x02\x00\x00\x00" "\x01\f\f");
    EXPECT_EQ(ParseEscp(Join({counted, "\f"})).mintMonoPages, 1);
}

// Raw raster data is skipped by its declared length.
TEST(EscpParser, RawBlockIsSkippedByCount)
{
    const std::string_view block = Raw("\x1Bi\x00\x00\x01\x03\x00\x02\x00");
    EXPECT_EQ(ParseEscp(Join({block, "\f\f\f\f\f\f", "\f"})).mintMonoPages, 1);
    const std::string_view counted = Raw("\x1Bi\x00\x05\x01\x00\x00\x00\x00\x00\x03\x00\x00\x00");
    EXPECT_EQ(ParseEscp(Join({counted, "\f\x1B\f", "\f"})).mintMonoPages, 1);
}

// Remote mode runs from ESC ( R to the marker ESC 00 00 00, however far
// away and however the chunks cut the marker; nothing inside it counts.
TEST(EscpParser, RemoteModeIsSkippedToItsMarker)
{
    const Bytes job = Join({Raw("\x1B@\x1B@\x1B(R\x08\x00\x00REMOTE1"), Raw("TI\f\f\f\x1B\x01\x1B\x00\x00"), std::string(5000, '\f'),
                            Raw("\x1B\x00\x00\x00"), "\f"});
    const ParseOutcome outcome = ParseEscp(job);
    EXPECT_EQ(outcome.mintMonoPages, 1);

    // Without its marker, remote mode lasts to the end of the job.
    EXPECT_EQ(ParseEscp(Join({Raw("\x1B(R\x01\x00\x00"), "\f\f\f"})).mintMonoPages, 0);
}

// ESC ( commands with parameters pass them over; an unknown one reads its
// parameters as ordinary data.
TEST(EscpParser, ParenCommandParameters)
{
    EXPECT_EQ(ParseEscp(Join({Raw("\x1B(e\x02\x00\f\f\f")})).mintMonoPages, 1);
    EXPECT_EQ(ParseEscp(Join({Raw("\x1B(Z\x02\x00\f\f")})).mintMonoPages, 2);
    EXPECT_EQ(ParseEscp(Join({Raw("\x1B$\f\x00\f")})).mintMonoPages, 1);
    EXPECT_EQ(ParseEscp(Join({Raw("\x1BU\f\f")})).mintMonoPages, 1);
}

// A chain of unknown command bytes longer than a chunk is consumed as it is
// read rather than kept whole for the next chunk.
TEST(EscpParser, LongCommandChainKeepsNoLongTail)
{
    ESCP::ESCPParser parser;
    RecordingListener listener;
    parser.AddListener(&listener);
    const Bytes job = Join({"\x1Bx", std::string(200000, 'A'), "\r\f"});
    const FeedResult result = FeedParser(parser, job, 4096);
    EXPECT_LE(result.mintLongestTail, 16u);
    EXPECT_EQ(listener.mvecPages.size(), 1u);
}

namespace {

struct PageSetCase {
    const char* mstrLabel;
    Bytes mbytJob;
    std::vector<ExpectedSet> mvecPageSets;
};

class EscpPageSets : public testing::TestWithParam<PageSetCase> {};

const std::vector<ExpectedSet> ONE_MONO_PAGE = {{"", 0, 0, 1, 0}};
const std::vector<ExpectedSet> ONE_A4_PAGE = {{"A4", 2100, 2970, 1, 0}};

}  // namespace

// ESC/Page's commands and data, compressed ESC/P 2 raster and the paper
// commands of both give the pages, their colour and their paper.
TEST_P(EscpPageSets, GiveThePagesTheirColourAndPaper)
{
    const ParseOutcome outcome = ParseEscp(GetParam().mbytJob);
    EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED);
    ExpectPageSets(outcome, GetParam().mvecPageSets);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, EscpPageSets,
    testing::Values(
        // GS commands ending in "{" carry as many data bytes as their first
        // parameter gives; form feeds, escapes and GS inside are skipped.
        PageSetCase{"escpage_image_data", Join({Raw("\x1D" "5;8;1;0bi{I\f\x1B\f\x1D\f"), "\f"}), ONE_MONO_PAGE},
        PageSetCase{"escpage_gs_in_text", Join({Raw("a\x1D\x1Dzz\f")}), ONE_MONO_PAGE},
        // A GS whose command runs longer than any is a byte of data.
        PageSetCase{"escpage_overlong_command", Join({"\x1D", std::string(200, '7'), "\f"}), ONE_MONO_PAGE},
        PageSetCase{"escpage_paper_code", Join({Raw("\x1D" "14psE\f")}), ONE_A4_PAGE},
        PageSetCase{"escpage_paper_size", Join({Raw("\x1D" "0;0.48muE\x1D-1;1754;2481psE\f")}), {{"A3", 2970, 4200, 1, 0}}},
        PageSetCase{"escpage_unknown_paper_code", Join({Raw("\x1D" "14psE\x1D" "99psE\f")}), ONE_MONO_PAGE},
        PageSetCase{"ejl_paper",
                    Join({Raw("\x1B\x01@EJL \n@EJL SET RS=FN PS=LT\r\n@EJL EN LA=ESC/PAGE\n\x1D" "rhE\f")}),
                    {{"Letter", 2159, 2794, 1, 0}}},
        PageSetCase{"escpage_paper_after_ejl",
                    Join({Raw("\x1B\x01@EJL \n@EJL SET PS=A4\n@EJL EN LA=ESC/PAGE\n\f\x1D" "30psE\f")}),
                    {{"A4", 2100, 2970, 1, 0}, {"Letter", 2159, 2794, 1, 0}}},
        PageSetCase{"ejl_paper_name", Join({Raw("\x1B\x01@EJL \n@EJL SET PAPER=A5\n\f")}), {{"A5", 1480, 2100, 1, 0}}},
        // Marks in colour count by their area, in the unit of muE (1/300
        // inch until set): a red box of 30 by 30 units (6.5 mm2) and a red
        // glyph of 20 by 20 are colour; a red box of 10 by 10 (0.7 mm2), a
        // grey one, or a colour chosen and not painted are not.
        PageSetCase{"escpage_fill_colour",
                    Join({Raw("\x1D" "1;2;3;255;0;0fpE\x1D" "0bgpG\x1D" "0;10;10;40;40;0;0rrpG\x1D" "enpG\x1D" "0;1drpG\f"),
                          Raw("\x1D" "1;2;3;255;0;0fpE\x1D" "0bgpG\x1D" "0;10;10;20;20;0;0rrpG\x1D" "enpG\x1D" "0;1drpG\f"),
                          Raw("\x1D" "1;2;3;9;9;9fpE\x1D" "0bgpG\x1D" "0;10;10;900;900;0;0rrpG\x1D" "enpG\x1D" "0;1drpG\f"),
                          Raw("\x1D" "1;2;3;255;0;0fpE\f")}),
                    {{"", 0, 0, 3, 1}}},
        PageSetCase{"escpage_colour_glyph",
                    Join({Raw("\x1D" "2;7;20;20;0db{F\x01\x02\x1D" "1;2;3;0;0;255fpE\x1D" "7dbF\f\x1D" "8dbF\f")}),
                    {{"", 0, 0, 0, 2}}},
        // Colour images of 100 by 8 pixels, each a unit: grey and red RGB
        // pixels, grey ones compressed (not read: the whole area counts),
        // grey pixels through a colour map of greys, and a grey image.
        PageSetCase{"escpage_colour_image",
                    Join({Raw("\x1D" "2;102;0;0;100;8;100;8;0scrI\x1D" "2400;8cu{I"), std::string(2400, '\x80'),
                          Raw("\x1D" "ecrI\f\x1D" "2;102;0;0;100;8;100;8;0scrI\x1D" "2400;8cu{I"),
                          [] {
                              std::string red;
                              for (int pixel = 0; pixel < 800; ++pixel)
                                  red += "\xFF\x00\x00"s;
                              return red;
                          }(),
                          Raw("\x1D" "ecrI\f\x1D" "2;102;0;1;100;8;100;8;0scrI\x1D" "3;1cu{I\x80\x80\x80\x1D" "ecrI\f"),
                          Raw("\x1D" "1024;4;2;256;256plr{E"),
                          [] {
                              std::string map;
                              for (int entry = 0; entry < 256; ++entry)
                                  map += std::string(4, static_cast<char>(entry));
                              return map;
                          }(),
                          Raw("\x1D" "2;204;4;0;100;8;100;8;0scrI\x1D" "800;8cu{I"), std::string(800, '\x10'),
                          Raw("\x1D" "ecrI\f\x1D" "1;1;1;0;10;100;8;100;8;0scrI\x1D" "800;8cu{I"),
                          std::string(800, '\x10'), Raw("\x1D" "ecrI\f")}),
                    {{"", 0, 0, 3, 2}}},
        // A reset ejects a page that image data was sent for, once.
        PageSetCase{"escpage_reset_ejects", Join({Raw("\x1D" "2;16;1;0bi{I\xFF\xFF\x1D" "rhE\x1D" "rhE\x1D" "1;1;1;0bi{I\x01\f\x1D" "rhE")}),
                    {{"", 0, 0, 2, 0}}},
        // ESC . 2 and 3: binary commands up to EXIT, XFER data skipped by
        // its count (in the command byte or the bytes after it).
        PageSetCase{"escp2_tiff_raster",
                    Join({Raw("\x1B.\x02\x0A\x0A\x01\x00\x00\x23\f\x1B\f\x31\x02\f\f\x41\x81\xF1\x8C\x0C\xE2\xE3"), "\f"}),
                    ONE_MONO_PAGE},
        PageSetCase{"escp2_delta_row_raster", Join({Raw("\x1B.\x03\x0A\x0A\x01\x00\x00\x22\f\f\xE3"), "\f"}), ONE_MONO_PAGE},
        PageSetCase{"escp2_raster_without_exit", Join({Raw("\x1B.\x02\x0A\x0A\x01\x00\x00\x21\f\x1B" "E\f")}),
                    ONE_MONO_PAGE},
        // ESC ( S and ESC ( C in the unit of ESC ( U (1/720 inch here): A4
        // with the margin inkjet drivers add to the length, or exact.
        PageSetCase{"escp2_paper_dimensions",
                    Join({Raw("\x1B(U\x05\x00\x04\x04\x04\x40\x0B\x1B(S\x08\x00\x3E\x17\x00\x00\xD4\x21\x00\x00\f")}),
                    ONE_A4_PAGE},
        PageSetCase{"escp2_page_length", Join({Raw("\x1B(U\x01\x00\x05\x1B(C\x02\x00\xE4\x20\f")}), ONE_A4_PAGE},
        PageSetCase{"escp2_length_of_no_paper", Join({Raw("\x1B(C\x02\x00\x00\x10\f")}), ONE_MONO_PAGE}),
    [](const testing::TestParamInfo<PageSetCase>& info) { return info.param.mstrLabel; });
