#include "PrinterLanguageParser/Parser/ParserLimits.h"
#include "PrinterLanguageParser/Parser/pcl5/PCL5Parser.h"
#include "tests/Parser/ChunkInvariance.h"
#include "tests/Parser/ParseOutcome.h"
#include "tests/ParserPcl/ParserFeed.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace RawPrintData;
using namespace ParserTestSupport;

namespace {

// A PCL 5 job, parsed as PCL 5 in every chunking.
ParseOutcome ParsePcl5(const Bytes& job)
{
    return ExpectChunkInvariant(job, ParserRegistry::BuiltIn(), LANGUAGE_PCL5);
}

// A PCL 5 parser fed on its own, with what it reported.
struct LonePcl5Parser {
    LonePcl5Parser() { mParser.AddListener(&mListener); }
    FeedResult Feed(const Bytes& job, size_t chunkSize) { return FeedParser(mParser, job, chunkSize); }

    PCL5::PCL5Parser mParser;
    RecordingListener mListener;
};

struct PageCountCase {
    const char* mstrLabel;
    Bytes mbytJob;
    int mintPages;
};

class Pcl5PageCount : public testing::TestWithParam<PageCountCase> {};

}  // namespace

// ESC & l 26 a 1 o 2 X and a form feed: an A4 page in landscape, two copies.
TEST(Pcl5Parser, CombinedPageSettings)
{
    const ParseOutcome outcome = ParsePcl5(Join({"\x1B&l26a1o2X", "\f"}));
    ASSERT_EQ(outcome.mvecPageSets.size(), 1u) << outcome.Describe();
    EXPECT_EQ(outcome.mvecPageSets[0].GetName(), "A4");
    EXPECT_EQ(outcome.mvecPageSets[0].mintWidth, 2100);
    EXPECT_EQ(outcome.mvecPageSets[0].mintHeight, 2970);
    EXPECT_EQ(outcome.mvecPageSets[0].mintMonoPages, 1);
    EXPECT_EQ(outcome.mvecPageSets[0].mintOrientation, ORIENTATION_LANDSCAPE);
    EXPECT_EQ(outcome.mintCopies, 2u);
}

// The paper stays for the following pages until the next size; unknown
// codes change nothing, and pages before any size count in the default set.
TEST(Pcl5Parser, PaperSizesPerPage)
{
    const ParseOutcome outcome =
        ParsePcl5(Join({"\f", "\x1B&l2A\f\f", "\x1B&l999A\f", "\x1B&l3A\f", "\x1B&l80A\f"}));
    ASSERT_EQ(outcome.mvecPageSets.size(), 4u) << outcome.Describe();
    EXPECT_EQ(outcome.mvecPageSets[0].GetName(), "Letter");
    EXPECT_EQ(outcome.mvecPageSets[0].mintMonoPages, 3);
    EXPECT_EQ(outcome.mvecPageSets[1].GetName(), "Legal");
    EXPECT_EQ(outcome.mvecPageSets[1].mintHeight, 3556);
    EXPECT_EQ(outcome.mvecPageSets[2].GetName(), "Monarch Envelope");
    EXPECT_EQ(outcome.mvecPageSets[2].mintWidth, 984);
    EXPECT_EQ(outcome.mvecPageSets[3].GetName(), "");
    EXPECT_EQ(outcome.mvecPageSets[3].mintMonoPages, 1);
}

// Duplex follows the last ESC & l # S; job colour ESC * r # U and ESC * v # W.
TEST(Pcl5Parser, DuplexAndJobColour)
{
    EXPECT_FALSE(ParsePcl5(Join({"\x1B&l0S\f"})).mblnDuplex);
    EXPECT_TRUE(ParsePcl5(Join({"\x1B&l2S\f"})).mblnDuplex);
    EXPECT_FALSE(ParsePcl5(Join({"\x1B&l1S\x1B&l0S\f"})).mblnDuplex);
    EXPECT_EQ(ParsePcl5(Join({"\x1B*r1U\f"})).mintColorType, COLOR_TYPE_MONO);
    EXPECT_EQ(ParsePcl5(Join({"\x1B*r-3U\f"})).mintColorType, COLOR_TYPE_COLOR);
    const ParseOutcome palette = ParsePcl5(Join({"\x1B*v6W", "\f\x1B\f\x1B\f\f", "\f"}));
    EXPECT_EQ(palette.mintColorType, COLOR_TYPE_COLOR);
    EXPECT_EQ(palette.mintMonoPages, 1);
    // A page is mono in PCL 5: colour is the job's.
    EXPECT_EQ(palette.mintColorPages, 0);
}

// Announced data is skipped unread, and form feeds and escapes inside it are
// not acted on, wherever the chunks cut it.
TEST_P(Pcl5PageCount, CountsOnlyFormFeedsOutsideData)
{
    const ParseOutcome outcome = ParsePcl5(GetParam().mbytJob);
    EXPECT_EQ(outcome.mintMonoPages + outcome.mintColorPages, GetParam().mintPages) << outcome.Describe();
    EXPECT_EQ(outcome.mintFirstFailure, PARSE_RESULT_HANDLED);
}

INSTANTIATE_TEST_SUITE_P(
    Data, Pcl5PageCount,
    testing::Values(
        // A row is drawn: its page prints at the end of the job.
        PageCountCase{"raster_row", Join({"\x1B*b5W", "\f\x1B\f\x1B\f"}), 1},
        PageCountCase{"raster_row_then_page", Join({"\x1B*b5W", "\f\x1B\f\x1B\f", "\f"}), 1},
        PageCountCase{"data_inside_combined_sequence", Join({"\x1B*b5w", "\f\x1B\f\x1B\f", "0Y\f"}), 1},
        PageCountCase{"two_data_blocks_in_one_sequence", Join({"\x1B*b3w", "\f\f\f", "2w", "\x1B\f", "1Y\f"}), 1},
        // Row forms that raster drivers send, with values of every form.
        PageCountCase{"raster_rows_of_many_forms",
                      Join({"\x1B*r1A\x1B*b2M\x1B*b3W", "\f\x1B\f", "\x1B*b0W\x1B*b+2W", "\f\f", "\x1B*b1y2v", "\f\f",
                            "w0W\x1B*b4Y\x1B*b1.5W", "\f", "\x1B*b0000000012W", "\f\f\f\f\f\f\f\f\f\f\f\f",
                            "\x1B*rB\f"}),
                      1},
        // A part of a combined sequence longer than any real one is given up
        // and read as data, the row it would announce included.
        PageCountCase{"overlong_combined_sequence",
                      [] {
                          Bytes job = Join({"\x1B*b2v", "ab"});
                          for (int pair = 0; pair < 2100; ++pair)
                              job.insert(job.end(), {'0', 'w'});
                          const Bytes rest = Join({"5W", "\f\f\f\f\f", "\f"});
                          job.insert(job.end(), rest.begin(), rest.end());
                          return job;
                      }(),
                      6},
        PageCountCase{"plane_data", Join({"\x1B*b2V", "\f\f", "\x1B*b2W", "\f\f", "\f"}), 1},
        // Bytes before the group sign are passed over: the rows are read all the same.
        PageCountCase{"rows_after_other_bytes", Join({"\x1B!*b3W", "\f\x1B\f", "\x1B!*b1v", "\f", "1W", "\f\f"}), 1},
        PageCountCase{"font_header_and_character", Join({"\x1B)s4W", "\f\f\f\f", "\x1B(s3W", "\f\f\f", "\f"}), 1},
        PageCountCase{"transparent_print_data", Join({"\x1B&p2X", "\f\f", "\f"}), 1},
        PageCountCase{"pattern_and_configuration", Join({"\x1B*c2W", "\f\f", "\x1B*o1W", "\f", "\f\f"}), 2},
        PageCountCase{"large_skip_across_chunks",
                      [] {
                          Bytes job(65530, 'x');
                          const Bytes raster = Join({"\x1B*b1000W"});
                          job.insert(job.end(), raster.begin(), raster.end());
                          job.insert(job.end(), 1000, '\f');
                          job.push_back('\f');
                          return job;
                      }(),
                      1},
        PageCountCase{"text_without_form_feed", Join({"\x1B" "E\x1B&l26A text"}), 1},
        PageCountCase{"blank_page_without_form_feed", Join({"\x1B" "E\x1B&l26A \r\n\x1B*p300Y"}), 0},
        PageCountCase{"lone_escapes", Join({"\x1B\x01\f\x1B \f"}), 2},
        // A page with something drawn on it is printed by a reset or the
        // paper source command too, and the form feed that may follow finds
        // it already out; a reset or eject of a blank page prints nothing.
        PageCountCase{"raster_then_reset", Join({"\x1B*r1A\x1B*b2W", "\f\f", "\x1B*rB\x1B" "E\x1B" "E"}), 1},
        PageCountCase{"raster_then_eject_then_form_feed", Join({"\x1B*b2W", "ab", "\x1B&l0H\f\f"}), 2},
        PageCountCase{"text_ejected_by_paper_source", Join({"one\x1B&l1Htwo\x1B&l4H\f"}), 2},
        PageCountCase{"blank_resets_and_ejects", Join({"\x1B" "E\x1B&l0H \r\n\t\x0E\x0F\x7F\x1B" "E\x1B&l0H"}), 0},
        PageCountCase{"transparent_data_prints", Join({"\x1B&p2X", "ab", "\x1B" "E"}), 1},
        PageCountCase{"empty_rows_draw_nothing", Join({"\x1B*b0W\x1B*b0w0V\x1B" "E"}), 0},
        PageCountCase{"filled_rectangle", Join({"\x1B*c30a30b0P\x1B" "E\x1B*c30a30b1P\x1B" "E"}), 1},
        PageCountCase{"plane_rows_in_one_sequence", Join({"\x1B*b2v", "\f\f", "0w\x1B&l0H"}), 1},
        PageCountCase{"universal_exit_prints_the_page", Join({"text\x1B%-12345X"}), 1},
        // DeskJets read rows on in the group after its terminating pair.
        PageCountCase{"rows_after_upper_case_terminator",
                      Join({"\x1B*b9m4Y0V2v", "\f\f", "2w", "\f\f", "0v3W", "\f\f\f", "\x1B*rC\x1B&l0H"}), 1},
        PageCountCase{"empty_plane_after_terminator", Join({"\x1B*b9m4Yv2v", "\f\f", "2w", "\f\f", "\x1B*rC\x1B&l0H"}), 1},
        PageCountCase{"digits_after_rows_are_text", Join({"\x1B*b2W", "ab", "12 apples\f"}), 1},
        // An ESC starts a sequence, also inside one (DEC's ESC % 8 before PCL).
        PageCountCase{"escape_ends_a_sequence", Join({"\x1B%8\x1B*b2W", "ab", "\x1B" "E"}), 1},
        // Selecting a side prints the page drawn before it.
        PageCountCase{"side_selection_ejects",
                      Join({"\x1B*b2W", "ab", "\x1B&a2G\f", "\x1B*b2W", "cd", "\x1B&a1G\x1B&a1G\x1B" "E"}), 2}),
    [](const testing::TestParamInfo<PageCountCase>& info) { return info.param.mstrLabel; });

// The universal exit language hands over to PJL right after its X; other
// values of ESC % # X are ignored.
TEST(Pcl5Parser, UniversalExitLanguageSwitchesToPjl)
{
    LonePcl5Parser exit;
    const Bytes job = Join({"\x1B&l2X\f\x1B%-12345X@PJL"});
    const FeedResult result = exit.Feed(job, job.size());
    EXPECT_EQ(result.mintLastResult, PARSE_RESULT_SWITCH_LANGUAGE);
    EXPECT_EQ(result.mintConsumed, 15u);
    EXPECT_EQ(exit.mListener.mvecLanguages, std::vector<RawLanguageType>{LANGUAGE_PJL});
    EXPECT_EQ(exit.mListener.mvecPages.size(), 1u);

    LonePcl5Parser ignored;
    const Bytes other = Join({"\x1B%-1X\f"});
    EXPECT_EQ(ignored.Feed(other, other.size()).mintLastResult, PARSE_RESULT_HANDLED);
    EXPECT_TRUE(ignored.mListener.mvecLanguages.empty());
    EXPECT_EQ(ignored.mListener.mvecPages.size(), 1u);

    LonePcl5Parser hpgl;
    const Bytes toHpgl = Join({"\x1B%1BIN;"});
    const FeedResult hpglResult = hpgl.Feed(toHpgl, toHpgl.size());
    EXPECT_EQ(hpglResult.mintLastResult, PARSE_RESULT_SWITCH_LANGUAGE);
    EXPECT_EQ(hpglResult.mintConsumed, 4u);
    EXPECT_EQ(hpgl.mListener.mvecLanguages, std::vector<RawLanguageType>{LANGUAGE_HPGL});
}

// A sequence cut by the end of the data is left from its ESC for the next chunk.
TEST(Pcl5Parser, CutSequenceWaitsAtItsEscape)
{
    for (const std::string_view text : {std::string_view("ab\x1B"), std::string_view("ab\x1B&l2")}) {
        LonePcl5Parser cut;
        const Bytes job = Join({text});
        const FeedResult result = cut.Feed(job, job.size());
        EXPECT_EQ(result.mintLastResult, PARSE_RESULT_NEED_MORE_DATA);
        EXPECT_EQ(result.mintConsumed, 2u);
    }
}

// Negative and overlong counts: a negative count skips nothing and never moves
// backwards; digits beyond the 32-bit range saturate instead of wrapping (a
// wrapped 4294967301 would skip only five bytes).
TEST(Pcl5Parser, CountsFromTheDataAreBounded)
{
    EXPECT_EQ(ParsePcl5(Join({"\x1B*b-5W\f"})).mintMonoPages, 1);
    EXPECT_EQ(ParsePcl5(Join({"\x1B*b-100w\f0Y\f"})).mintMonoPages, 1);
    // The row's page prints at the end of the job; a count cut short would
    // let the two form feeds through as two pages.
    EXPECT_EQ(ParsePcl5(Join({"\x1B*b4294967301W", "12345", "\f\f"})).mintMonoPages, 1);
    EXPECT_EQ(ParsePcl5(Join({"\x1B*b", std::string(100, '9'), "W\f\f"})).mintMonoPages, 1);
    EXPECT_EQ(ParsePcl5(Join({"\x1B&l-3X\f"})).mintCopies, 1u);
    EXPECT_EQ(ParsePcl5(Join({"\x1B&l4294967298X\f"})).mintCopies, MAX_COPIES);
    // strtoul reading: leading white space and a sign, digits up to another byte.
    EXPECT_EQ(ParsePcl5(Join({"\x1B&l 3.7X\f"})).mintCopies, 3u);
    EXPECT_EQ(ParsePcl5(Join({"\x1B&l+4X\f"})).mintCopies, 4u);
    // The same bounds hold for value text that is more than a sign and digits.
    EXPECT_EQ(ParsePcl5(Join({"\x1B&l 4294967298X\f"})).mintCopies, MAX_COPIES);
    EXPECT_EQ(ParsePcl5(Join({"\x1B*b -2147483649.0W\f"})).mintMonoPages, 1);
}

// A run of value bytes longer than any real sequence is no sequence: the ESC
// is passed over and what follows is read as data, so the tail kept for a
// cut sequence stays short.
TEST(Pcl5Parser, OverlongSequenceIsGivenUp)
{
    const std::string digits(PCL5::ParameterizedEscapeSequence::mintMAX_SEQUENCE_LENGTH, '7');
    const ParseOutcome outcome = ParsePcl5(Join({"\x1B&l", digits, "X\f", "\x1B&l2X\f"}));
    EXPECT_EQ(outcome.mintMonoPages, 2);
    EXPECT_EQ(outcome.mintCopies, 2u);

    LonePcl5Parser endless;
    const Bytes job = Join({"\x1B&l", std::string(100000, '1')});
    const FeedResult result = endless.Feed(job, 1000);
    EXPECT_LE(result.mintLongestTail, PCL5::ParameterizedEscapeSequence::mintMAX_SEQUENCE_LENGTH);
}

// A printer reset, ESC E, reaches the parser's reset step and counts no page.
TEST(Pcl5Parser, ResetIsNoPage)
{
    const ParseOutcome outcome = ParsePcl5(Join({"\x1B" "E\x1B&l26A\f\x1B" "E"}));
    EXPECT_EQ(outcome.mintMonoPages, 1);
}

// Colour reaches a page through black, cyan, magenta, yellow raster where the
// cyan, magenta and yellow rows part once decompressed, and through RGB
// pixels that are not neutral, over at least a square millimetre in dots of
// the raster's resolution (75 dpi until ESC * t # R: 9 dots); black ink,
// empty colour planes and alike ones leave the page mono.
TEST(Pcl5Parser, ColourPagesFromColourPlanes)
{
    struct Case {
        const char* mstrLabel;
        std::string mstrCompression;
        std::string mstrCyanRow;
        int mintColourPages;
    };
    const Case cases[] = {
        {"unencoded, empty", "0", std::string("\0\0", 2), 0},
        {"unencoded, ink", "0", std::string("\0\xFF", 2), 1},
        {"run-length, empty", "1", std::string("\x05\0", 2), 0},
        {"run-length, ink", "1", std::string("\0\xFF", 2), 1},
        {"TIFF, empty literal and run", "2", std::string("\x01\0\0\xFE\0\x80", 6), 0},
        {"TIFF, ink in a run", "2", std::string("\x80\xFF\xFF", 3), 1},
        {"delta row, empty", "3", std::string("\x20\0\0\x1F\xFF\x05\0", 7), 0},
        {"delta row, ink after an offset", "3", std::string("\x1F\x05\xFF", 3), 1},
        {"replacement delta row, empty", "9", std::string("\x01\0\0\x80\0\x07\0\0\0\0\0\0\0\0", 14), 0},
        {"replacement delta row, ink in a run", "9", std::string("\x01\0\0\x80\xFF", 5), 1},
        // Eight and two more literal bytes: ink in the last.
        {"replacement delta row, extended count", "9", std::string("\x07\x02\0\0\0\0\0\0\0\0\0\xFF", 12), 1},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.mstrLabel);
        const std::string cyan = row.mstrCyanRow;
        const std::string black("\xFF\xFF", 2);
        const std::string size = std::to_string(cyan.size());
        // A page of 130 such rows, then a page of black only, in the combined
        // form.
        std::string job = "\x1B*r-4U\x1B*r1A\x1B*b" + row.mstrCompression + "M";
        for (int count = 0; count < 130; ++count)
            job += "\x1B*b2V" + black + "\x1B*b" + size + "V" + cyan + "\x1B*b0V\x1B*b0W";
        job += "\x1B*rC\f\x1B*r1A\x1B*b2v" + black + "0v0v0W\x1B*rC\f";
        const ParseOutcome outcome = ParsePcl5(ToBytes(job));
        EXPECT_EQ(outcome.mintColorPages, row.mintColourPages) << outcome.Describe();
        EXPECT_EQ(outcome.mintMonoPages + outcome.mintColorPages, 2) << outcome.Describe();
    }
    // Cyan, magenta and yellow alike make black or grey.
    const ParseOutcome composite =
        ParsePcl5(ToBytes("\x1B*r-4U\x1B*r1A\x1B*b0M\x1B*b0V\x1B*b1V\x10\x1B*b1V\x10\x1B*b1W\x10\x1B*rC\f"));
    EXPECT_EQ(composite.mintColorPages, 0) << composite.Describe();
    // Delta rows build on the row before, which rows moved over (# Y) blank:
    // an empty magenta and yellow repeat the row before unless they were.
    const std::string equalRow = "\x1B*b0V\x1B*b2V" + std::string("\0\xFF", 2) + "\x1B*b2V" + std::string("\0\xFF", 2) +
                                 "\x1B*b2W" + std::string("\0\xFF", 2);
    std::string cyanOnly;
    for (int count = 0; count < 130; ++count)
        cyanOnly += "\x1B*b0V\x1B*b2v" + std::string("\0\xFF", 2) + "0v0W";
    for (const bool movedOver : {false, true}) {
        const std::string job = "\x1B*r-4U\x1B*r1A\x1B*b3M" + equalRow + (movedOver ? "\x1B*b1Y" : "") + cyanOnly +
                                "\x1B*rC\f";
        const ParseOutcome delta = ParsePcl5(ToBytes(job));
        EXPECT_EQ(delta.mintColorPages, movedOver ? 1 : 0) << delta.Describe();
    }
    // A row that ends before its last planes repeats them in the delta modes.
    const ParseOutcome cutShort = ParsePcl5(ToBytes("\x1B*r-4U\x1B*r1A\x1B*b3M" + equalRow + "\x1B*b0v0W\x1B*rC\f"));
    EXPECT_EQ(cutShort.mintColorPages, 0) << cutShort.Describe();
    // Settings inside a row's sequence act where they stand: a compression
    // that is read starts the watch at the plane after it (here cyan), and
    // rows moved over start again from the first plane (here black).
    const ParseOutcome laterCompression = ParsePcl5(ToBytes(
        "\x1B*r-4U\x1B*b5M\x1B*r1A\x1B*b0m2v\xFF\xFF" + std::string("3v\xFF\xFF\xFF", 5) + "0v0W\x1B*rC\f"));
    EXPECT_EQ(laterCompression.mintColorPages, 1) << laterCompression.Describe();
    // Rows in a compression that is not read cannot be judged: with colour
    // planes configured the page counts as colour, with black alone not.
    for (const auto& [planes, colourPages] : {std::pair{"-4", 1}, std::pair{"1", 0}}) {
        const ParseOutcome unread = ParsePcl5(ToBytes("\x1B*r" + std::string(planes) +
                                                      "U\x1B*r1A\x1B*b5M\x1B*b2V\0\x01\x1B*b0W\x1B*rC\f"));
        EXPECT_EQ(unread.mintColorPages, colourPages) << planes << ": " << unread.Describe();
    }
    const ParseOutcome movedOverInRow =
        ParsePcl5(ToBytes("\x1B*r-4U\x1B*r1A\x1B*b0M\x1B*b0vy" + std::string("2v\0\xFF", 4) + "0v0v0W\x1B*rC\f"));
    EXPECT_EQ(movedOverInRow.mintColorPages, 0) << movedOverInRow.Describe();
    // Rows that send no plane (a bare w each) repeat a row of 8 cyan dots
    // in a delta-row mode, to colour, and are blank in the others.
    for (const auto& [compression, row, colourPages] :
         {std::tuple{"0", std::string(1, '\xFF'), 0}, std::tuple{"3", std::string("\0\xFF", 2), 1}}) {
        const std::string& cyanRow = row;
        const ParseOutcome repeated =
            ParsePcl5(ToBytes("\x1B*r-3U\x1B*r1A\x1B*b" + std::string(compression) + "M\x1B*b" +
                              std::to_string(cyanRow.size()) + "v" + cyanRow + "wwwwwwwwww\x1B*rC\f"));
        EXPECT_EQ(repeated.mintColorPages, colourPages) << compression << ": " << repeated.Describe();
    }
    // Planes set again within a page keep the colour counted so far: 8 dots
    // of cyan in each layout make a square millimetre together.
    for (const bool second : {false, true}) {
        const ParseOutcome replanned =
            ParsePcl5(ToBytes("\x1B*r-3U\x1B*r1A\x1B*b0M\x1B*b1W\xFF\x1B*r-4U" +
                              std::string(second ? "\x1B*b0V\x1B*b1V\xFF\x1B*b0V\x1B*b0W" : "") + "\x1B*rC\f"));
        EXPECT_EQ(replanned.mintColorPages, second ? 1 : 0) << replanned.Describe();
    }
    // The pairs of a sequence act once it is read to its end: a row ended
    // inside one that the job cuts off is never counted.
    const ParseOutcome cutOff = ParsePcl5(ToBytes("\x1B*r-4U\x1B*r1A\x1B*b0M\x1B*b2v\xFF\xFF" +
                                                  std::string("2v\0\xFFw\xFF\xFF\xFF", 7)));
    EXPECT_EQ(cutOff.mintColorPages, 0) << cutOff.Describe();
    // RGB pixels (configure image data: RGB, direct by pixel, 8 bits each) are
    // colour where red, green and blue part by more than 8: a square
    // millimetre is 9 of them at 75 dpi, 140 at 300 dpi.
    for (const auto& [pixel, count, resolution, colourPages] :
         {std::tuple{"\x10\x18\x10", 200, "", 0}, std::tuple{"\xFF\x10\x10", 8, "", 0},
          std::tuple{"\xFF\x10\x10", 9, "", 1}, std::tuple{"\xFF\x10\x10", 9, "\x1B*t300R", 0}}) {
        std::string row;
        for (int index = 0; index < count; ++index)
            row += pixel;
        const ParseOutcome rgb = ParsePcl5(ToBytes(std::string(resolution) + std::string("\x1B*v6W\0\x03\0\x08\x08\x08", 11) +
                                                   "\x1B*r1A\x1B*b0M\x1B*b" + std::to_string(row.size()) + "W" + row +
                                                   "\x1B*rC\f"));
        EXPECT_EQ(rgb.mintColorPages, colourPages) << count << " " << rgb.Describe();
    }
    // A row as wide as A3 at 600 dpi is read to its end; a row longer than
    // the watch reads may hold colour beyond, and the page counts as colour.
    const auto wideRow = [](size_t greyPixels, const std::string& last) {
        const std::string row = std::string(greyPixels * 3, '\x40') + last;
        return ToBytes(std::string("\x1B*v6W\0\x03\0\x08\x08\x08", 11) + "\x1B*r1A\x1B*b0M\x1B*b" +
                       std::to_string(row.size()) + "W" + row + "\x1B*rC\f");
    };
    std::string red;
    for (int pixel = 0; pixel < 9; ++pixel)
        red += std::string("\xFF\0\0", 3);
    EXPECT_EQ(ParsePcl5(wideRow(7007, red)).mintColorPages, 1);
    EXPECT_EQ(ParsePcl5(wideRow(7016, "")).mintColorPages, 0);
    EXPECT_EQ(ParsePcl5(wideRow(22000, "")).mintColorPages, 1);
    // Cyan, magenta and yellow alone (ESC * r -3 U) print black with all
    // three: a page is colour from a square millimetre of dots where their
    // ink parts, however much black is beside it.
    struct CmyCase {
        const char* mstrLabel;
        int mintBlackRows;  // 32 bytes of all three planes
        int mintCyanRows;   // one byte of cyan only
        char mbytCyan;      // each of them
        const char* mstrResolution;
        int mintColourPages;
    };
    const CmyCase cmyCases[] = {
        {"composite black and a stray dot", 4, 0, '\xFF', "", 0},
        {"eight dots of cyan", 0, 1, '\xFF', "", 0},
        {"sixteen dots of cyan", 0, 2, '\xFF', "", 1},
        {"sixteen dots of cyan among much black", 1100, 2, '\xFF', "", 1},
        {"sixteen dots of cyan at 300 dpi", 0, 2, '\xFF', "\x1B*t300R", 0},
        {"pale cyan among black", 4, 11, '\x07', "", 1},
    };
    for (const CmyCase& row : cmyCases) {
        SCOPED_TRACE(row.mstrLabel);
        const std::string ink(32, '\xFF'), stray = std::string(31, '\0') + (row.mintCyanRows == 0 ? '\x01' : '\0');
        std::string job = std::string(row.mstrResolution) + "\x1B*r-3U\x1B*r1A\x1B*b0M";
        for (int count = 0; count < row.mintBlackRows; ++count)
            job += "\x1B*b32V" + ink + "\x1B*b32V" + ink + "\x1B*b32W" + ink;
        for (int count = 0; count < row.mintCyanRows; ++count)
            job += "\x1B*b1V" + std::string(1, row.mbytCyan) + "\x1B*b0V\x1B*b0W";
        job += "\x1B*b32V" + stray + "\x1B*b0V\x1B*b0W\x1B*rC\f";
        const ParseOutcome cmy = ParsePcl5(ToBytes(job));
        EXPECT_EQ(cmy.mintColorPages, row.mintColourPages) << cmy.Describe();
    }
    // Grey dithered plane by plane with patterns of their own: the planes
    // differ in every pixel but hold as much ink each over any cell, to the
    // row's edge (80 quarter cells at 75 dpi).
    std::string dithered = "\x1B*r-3U\x1B*r1A\x1B*b0M";
    for (int count = 0; count < 100; ++count)
        dithered += "\x1B*b30V" + std::string(30, '\xAA') + "\x1B*b30V" + std::string(30, '\x55') + "\x1B*b30W" +
                    std::string(30, '\x99');
    const ParseOutcome ditheredGrey = ParsePcl5(ToBytes(dithered + "\x1B*rC\f"));
    EXPECT_EQ(ditheredGrey.mintColorPages, 0) << ditheredGrey.Describe();
    // Marks judged by the ink that reaches the paper: a hairline one row of
    // dots high with an ink missing; planes of light (ESC * r 3 U), whose ink
    // lies where their bits are clear; a move down (ESC & a + # V) that takes
    // a row away from the composite black above it.
    const std::string full(32, '\xFF'), none(32, '\0');
    const auto planes = [](const std::string& first, const std::string& second, const std::string& third, int rows) {
        std::string job;
        for (int count = 0; count < rows; ++count)
            job += "\x1B*b32V" + first + "\x1B*b32V" + second + "\x1B*b32W" + third;
        return job;
    };
    const std::string white = planes(full, full, full, 11), black = planes(full, full, full, 7);
    const std::tuple<const char*, std::string, int> markCases[] = {
        {"blue hairline at 150 dpi", "\x1B*t150R\x1B*r-3U\x1B*r1A\x1B*b0M" + planes(full, full, none, 1), 1},
        {"red hairline in light", "\x1B*r3U\x1B*r1A\x1B*b0M" + white + planes(full, none, none, 1) + white, 1},
        {"black line in light", "\x1B*r3U\x1B*r1A\x1B*b0M" + white + planes(none, none, none, 1) + white, 0},
        {"blue under black", "\x1B*r-3U\x1B*r1A\x1B*b0M" + black + planes(full, full, none, 1), 0},
        {"blue an inch below black",
         "\x1B*r-3U\x1B*r1A\x1B*b0M" + black + "\x1B&a+720V" + planes(full, full, none, 1), 1},
    };
    for (const auto& [label, mark, colourPages] : markCases) {
        const ParseOutcome marked = ParsePcl5(ToBytes(mark + "\x1B*rC\f"));
        EXPECT_EQ(marked.mintColorPages, colourPages) << label << ": " << marked.Describe();
    }
    // Rows moved over (ESC * b # Y), however many, keep the rows after them in
    // the cells of their place: a column of nine cyan dots is colour when it
    // starts at a quarter cell's edge (every third row at 75 dpi), and one dot
    // short of a square millimetre a row lower.
    std::string column;
    for (int count = 0; count < 9; ++count)
        column += std::string("\x1B*b2V\0\x80", 7) + "\x1B*b0V\x1B*b0W";
    for (const auto& [skipped, colourPages] : {std::pair{6, 1}, std::pair{7, 0}, std::pair{99, 1}, std::pair{100, 0}}) {
        const ParseOutcome moved =
            ParsePcl5(ToBytes("\x1B*r-3U\x1B*r1A\x1B*b0M\x1B*b" + std::to_string(skipped) + "Y" + column + "\x1B*rC\f"));
        EXPECT_EQ(moved.mintColorPages, colourPages) << skipped << ": " << moved.Describe();
    }
    // Configured raster (ESC * g # W, format 2): black at 600 dpi sends two
    // planes a row, then cyan, magenta and yellow at 300 dpi one each.
    const std::string configured = std::string("\x1B*g26W\x02\x04\x02\x58\x02\x58\0\x02", 14) +
                                   std::string("\x01\x2C\x01\x2C\0\x02", 6) + std::string("\x01\x2C\x01\x2C\0\x02", 6) +
                                   std::string("\x01\x2C\x01\x2C\0\x02", 6) + "\x1B*r1A\x1B*b0M";
    const std::string ink(32, '\xFF');
    for (const bool cyan : {false, true}) {
        std::string job = configured;
        for (int count = 0; count < 8; ++count)
            job += "\x1B*b32V" + ink + "\x1B*b32V" + ink + (cyan ? "\x1B*b32V" + ink : "\x1B*b0V") + "\x1B*b0V\x1B*b0W";
        const ParseOutcome outcome = ParsePcl5(ToBytes(job + "\x1B*rC\f"));
        EXPECT_EQ(outcome.mintColorPages, cyan ? 1 : 0) << outcome.Describe();
    }
    // PCL 3 GUI (format 6): black in mode 9, then RGB pixels in mode 10, new
    // (3 bytes, shifted right by one) or deltas to the pixel above; a job
    // printed in grey (configure driver: colour mode 11, grey 2) stays mono.
    // At the configured 600 dpi a square millimetre is 558 dots: rows of a
    // pixel or two, each row's above blank (white) after ESC * b 1 Y.
    struct PixelCase {
        const char* mstrLabel;
        std::string mstrDriver;
        std::string mstrPixels;
        int mintRows;
        int mintColourPages;
    };
    const std::string printInGrey = std::string("\x1B*o5W\x0B\x01\0\0\x02", 10);
    const PixelCase pixelCases[] = {
        {"grey pixels", "", std::string("\0\x40\x40\x40", 4), 600, 0},
        {"runs of red", "", std::string("\x80\x7F\x80\0", 4), 300, 1},
        {"a run of red", "", std::string("\x80\x7F\x80\0", 4), 1, 0},
        {"less green and blue than the white above", "", std::string("\0\x82\x10", 3), 600, 1},
        {"red printed in grey", printInGrey, std::string("\x80\x7F\x80\0", 4), 600, 0},
    };
    const std::string pcl3Gui = std::string("\x1B*g20W\x06\x1F\0\x02\x02\x58\x02\x58\x09\0\x01\x01", 18) +
                                std::string("\x02\x58\x02\x58\x0A\x01\x20\x01", 8);
    for (const PixelCase& row : pixelCases) {
        SCOPED_TRACE(row.mstrLabel);
        std::string job = row.mstrDriver + pcl3Gui + "\x1B*r1A";
        for (int count = 0; count < row.mintRows; ++count)
            job += "\x1B*b1Y\x1B*b0V\x1B*b" + std::to_string(row.mstrPixels.size()) + "W" + row.mstrPixels;
        job += "\x1B*rC\f";
        const ParseOutcome outcome = ParsePcl5(ToBytes(job));
        EXPECT_EQ(outcome.mintColorPages, row.mintColourPages) << outcome.Describe();
    }
}
