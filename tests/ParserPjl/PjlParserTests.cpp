#include "PrinterLanguageParser/Parser/CommandText.h"
#include "PrinterLanguageParser/Parser/pjl/PJLCommand.h"
#include "PrinterLanguageParser/Parser/pjl/PJLParser.h"
#include "tests/ParserPjl/RecordingListener.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RawPrintData;
using namespace ParserPjlTests;

namespace {

const std::string UEL = "\x1B%-12345X";

const std::vector<CommandCase> PJL_CASES = {
    {"settings then ENTER LANGUAGE=PCLXL", UEL + "@PJL SET COPIES=3\r\n@PJL SET DUPLEX=ON\r\n@PJL ENTER LANGUAGE=PCLXL\r\n) HP-PCL XL",
     PARSE_RESULT_SWITCH_LANGUAGE, {"copies 3", "duplex 1", "language 3"}},
    {"QTY=0 reports nothing", "@PJL SET QTY=0\n", PARSE_RESULT_HANDLED, {}},
    {"lower-case prefix is no PJL", "@pjl SET COPIES=2\n", PARSE_RESULT_FAILURE, {}},
    {"names and values ignore case", "@PJL set copies = 2\r\n@PJL SET Duplex=on\n", PARSE_RESULT_HANDLED,
     {"copies 2", "duplex 1"}},
    {"negative copies ignored", "@PJL SET COPIES=-1\n@PJL SET QTY=-18446744073709551615\n", PARSE_RESULT_HANDLED, {}},
    {"unreadable copies ignored", "@PJL SET COPIES=many\n", PARSE_RESULT_HANDLED, {}},
    {"huge copies clamped", "@PJL SET COPIES=123456789012345678901234567890\n", PARSE_RESULT_HANDLED, {"copies 9999"}},
    {"duplex off", "@PJL SET DUPLEX=OFF\n", PARSE_RESULT_HANDLED, {"duplex 0"}},
    {"orientation", "@PJL SET ORIENTATION=LANDSCAPE\n@PJL SET ORIENTATION=PORTRAIT\n", PARSE_RESULT_HANDLED,
     {"orientation 1", "orientation 0"}},
    {"paper name", "@PJL SET PAPER=A4\r\n", PARSE_RESULT_HANDLED, {"paper A4", "width 2100", "height 2970"}},
    {"known paper names get their size", "@PJL SET PAPER=letter\n@PJL SET PAPER=FANFOLD\n", PARSE_RESULT_HANDLED,
     {"paper letter", "width 2159", "height 2794", "paper FANFOLD"}},
    {"paper length and width in decipoints", "@PJL SET PAPERLENGTH=7920\n@PJL SET PAPERWIDTH=6120\n@PJL SET PAPERWIDTH=0\n",
     PARSE_RESULT_HANDLED, {"height 2794", "width 2159"}},
    {"huge paper length saturates", "@PJL SET PAPERLENGTH=99999999999999999999\n", PARSE_RESULT_HANDLED,
     {"height 2147483647"}},
    {"render modes", "@PJL SET RENDERMODE=GRAYSCALE\n@PJL SET KCOLORMODE=COLOR\n@PJL SET DATAMODE=MONO\n",
     PARSE_RESULT_HANDLED, {"color 3", "color 2", "color 3"}},
    {"planes in use", "@PJL SET PLANESINUSE=3\n@PJL SET PLANESINUSE=1\n@PJL SET PLANESINUSE=0\n", PARSE_RESULT_HANDLED,
     {"color 2", "color 3"}},
    {"XCPT copies", "@PJL XCPT <copies syntax=\"integer\">4</copies>\n", PARSE_RESULT_HANDLED, {"copies 4"}},
    {"XCPT colour effects", "@PJL XCPT <color-effects-type syntax=\"keyword\">color</color-effects-type>\n"
     "@PJL XCPT <color-effects-type>monochrome-grayscale</color-effects-type>\n",
     PARSE_RESULT_HANDLED, {"color 2", "color 3"}},
    {"XCPT without a closing element", "@PJL XCPT <copies>4\n", PARSE_RESULT_HANDLED, {}},
    {"ENTER LANGUAGE with blanks", "@PJL ENTER LANGUAGE = PCL\r\n\x1B" "E", PARSE_RESULT_SWITCH_LANGUAGE, {"language 2"}},
    {"ENTER POSTSCRIPT", "@PJL ENTER LANGUAGE=POSTSCRIPT\n%!PS", PARSE_RESULT_SWITCH_LANGUAGE, {"language 1"}},
    {"ENTER XL2HB", "@PJL ENTER LANGUAGE=XL2HB\n", PARSE_RESULT_SWITCH_LANGUAGE, {"language 3"}},
    {"ENTER HPGL2", "@PJL ENTER LANGUAGE=HPGL2\nIN;", PARSE_RESULT_SWITCH_LANGUAGE, {"language 5"}},
    {"ENTER PCL3GUI", "@PJL ENTER LANGUAGE=PCL3GUI\n\x1B*o0M", PARSE_RESULT_SWITCH_LANGUAGE, {"language 2"}},
    {"ENTER PCL5C", "@PJL ENTER LANGUAGE = pcl5c\n", PARSE_RESULT_SWITCH_LANGUAGE, {"language 2"}},
    {"ENTER RTL", "@PJL ENTER LANGUAGE=RTL\n", PARSE_RESULT_SWITCH_LANGUAGE, {"language 2"}},
    {"ENTER PCL6", "@PJL ENTER LANGUAGE=PCL6\n", PARSE_RESULT_SWITCH_LANGUAGE, {"language 3"}},
    {"an unknown language is passed over up to the exit",
     "@PJL ENTER LANGUAGE=ZJS\nJZJZ\x00\x01\n\f\x1B%-12\n" + UEL + "@PJL SET COPIES=2\n@PJL EOJ\n",
     PARSE_RESULT_HANDLED, {"copies 2"}},
    {"ENTER PDF", "@PJL ENTER LANGUAGE=PDF\n%PDF-1.7", PARSE_RESULT_SWITCH_LANGUAGE, {"language 16"}},
    {"PDF after PJL lines", "@PJL SET DUPLEX=ON\n%PDF-1.7", PARSE_RESULT_SWITCH_LANGUAGE,
     {"duplex 1", "language 16"}},
    {"ENTER an unknown language", "@PJL ENTER LANGUAGE=ZJS\n", PARSE_RESULT_HANDLED, {}},
    {"ENTER a language name that a reset ends", "@PJL ENTER LANGUAGE=PCL3\x1B" "E\n\x1B&l26A",
     PARSE_RESULT_SWITCH_LANGUAGE, {"language 2"}},
    {"ENTER PCL3E", "@PJL ENTER LANGUAGE=PCL3E\n", PARSE_RESULT_SWITCH_LANGUAGE, {"language 2"}},
    {"PCL XL under another name", "@PJL ENTER LANGUAGE = DPL\n) HP-PCL XL;1;1\n", PARSE_RESULT_SWITCH_LANGUAGE,
     {"language 3"}},
    {"PCL 5 after PJL lines", "@PJL SET COPIES=2\r\n\x1B" "E\x1B&l0O", PARSE_RESULT_SWITCH_LANGUAGE,
     {"copies 2", "language 2"}},
    {"NUL padding between jobs", UEL + std::string(40, '\0') + "@PJL SET DUPLEX=ON\n", PARSE_RESULT_HANDLED,
     {"duplex 1"}},
    {"an exit language ends a line", "@PJL SET COPIES=2" + std::string(1, '\0') + UEL + "@PJL SET DUPLEX=ON\n",
     PARSE_RESULT_HANDLED, {"copies 2", "duplex 1"}},
    {"ZjStream after PJL lines is passed over", "@PJL SET COPIES=2\n" + UEL + "JZJZ\n@PJL SET QTY=9\n" + UEL +
     "@PJL SET DUPLEX=ON\n", PARSE_RESULT_HANDLED, {"copies 2", "duplex 1"}},
    {"binary data after PJL lines is passed over", "@PJL SET COPIES=2\n\x01\x13`\n@PJL SET QTY=9\n" + UEL +
     "@PJL EOJ\n", PARSE_RESULT_HANDLED, {"copies 2"}},
    {"AUTOCOLOR is colour", "@PJL SET RENDERMODE=AUTOCOLOR\n", PARSE_RESULT_HANDLED, {"color 2"}},
    {"other commands pass", "@PJL JOB NAME=\"x\"\n@PJL ECHO hello = world\n@PJL\n@PJL EOJ\n", PARSE_RESULT_HANDLED, {}},
    {"blank lines pass", "\r\n\n \t\r\n", PARSE_RESULT_HANDLED, {}},
    {"job ends in the exit and CR LF", "@PJL EOJ\r\n" + UEL + "\r\n", PARSE_RESULT_HANDLED, {}},
    {"exits in a row", UEL + UEL + "@PJL SET COPIES=2\n", PARSE_RESULT_HANDLED, {"copies 2"}},
    {"incomplete line waits", "@PJL SET COPIES=2", PARSE_RESULT_NEED_MORE_DATA, {}},
    {"a line that is not PJL fails where it is met", "@PJL SET COPIES=2\nnot pjl\n@PJL SET DUPLEX=ON\n",
     PARSE_RESULT_FAILURE, {"copies 2"}},
    {"a comment without DSC passes", "@PJL COMMENT made by hand\n", PARSE_RESULT_HANDLED, {}},
    {"DSC requirements in a comment", "@PJL COMMENT %%Requirements: numcopies(2) duplex\r\n", PARSE_RESULT_HANDLED,
     {"copies 2", "duplex 1"}},
    {"DSC requirements with colour", "@PJL COMMENT %%Requirements: duplex(tumble) numcopies(3) color\n",
     PARSE_RESULT_HANDLED, {"copies 3", "duplex 1", "color 2"}},
    {"other DSC comments pass", "@PJL COMMENT %%Title: numcopies(2) duplex\n@PJL COMMENT %%Requirements: colour\n",
     PARSE_RESULT_HANDLED, {}},
    {"an overlong line is cut, not kept whole",
     "@PJL SET COPIES=7 " + std::string(3 * MAX_COMMAND_TEXT, 'x') + "\n@PJL SET DUPLEX=ON\n", PARSE_RESULT_HANDLED,
     {"copies 7", "duplex 1"}},
};

}  // namespace

// Each case's result and reports, and the same reports wherever the input is cut.
TEST(PjlParser, CommandTable)
{
    ExpectCommandTable<PJL::PJLParser>(PJL_CASES);
}

// ENTER LANGUAGE hands over right after its line feed, so the next language
// gets its first byte.
TEST(PjlParser, SwitchPointIsAfterTheEnterLine)
{
    const std::string head = UEL + "@PJL SET COPIES=3\r\n@PJL ENTER LANGUAGE=PCLXL\r\n";
    const FeedResult fed = Feed<PJL::PJLParser>(head + ") HP-PCL XL;1;1\n");
    EXPECT_EQ(fed.mintResult, PARSE_RESULT_SWITCH_LANGUAGE);
    EXPECT_EQ(fed.mintBytesProcessed, head.size());
}

// A universal exit cut by the end of the data is left unconsumed, so the next
// chunk sees it whole instead of taking it as the start of a line.
TEST(PjlParser, CutUniversalExitIsWaitedFor)
{
    const std::string line = "@PJL SET COPIES=2\n";
    for (size_t kept = 1; kept < UEL.size(); ++kept) {
        SCOPED_TRACE(kept);
        const FeedResult fed = Feed<PJL::PJLParser>(line + UEL.substr(0, kept));
        EXPECT_EQ(fed.mintResult, PARSE_RESULT_NEED_MORE_DATA);
        EXPECT_EQ(fed.mintBytesProcessed, line.size());
        // Completed by the next chunk, the line after it is PJL again.
        const FeedResult whole = Feed<PJL::PJLParser>(line + UEL + "@PJL ENTER LANGUAGE=PCL\n",
                                                      {line.size() + kept});
        EXPECT_EQ(whole.mintResult, PARSE_RESULT_SWITCH_LANGUAGE);
        EXPECT_EQ(whole.mvecEvents, (std::vector<std::string>{"copies 2", "language 2"}));
    }
}

// A line split over two chunks is handled once, when its line feed arrives.
TEST(PjlParser, SplitLineIsHandledOnce)
{
    const std::string text = "@PJL SET COPIES=2\n";
    const FeedResult first = Feed<PJL::PJLParser>(text.substr(0, 10));
    EXPECT_EQ(first.mintResult, PARSE_RESULT_NEED_MORE_DATA);
    EXPECT_EQ(first.mintBytesProcessed, 10u);
    EXPECT_TRUE(first.mvecEvents.empty());
    EXPECT_EQ(Feed<PJL::PJLParser>(text, {10}).mvecEvents, (std::vector<std::string>{"copies 2"}));
}

// How a line is split into command, option and text.
TEST(PjlCommand, Splitting)
{
    const PJL::PJLCommand set("@PJL SET  PAPER = LETTER \r");
    EXPECT_TRUE(set.IsPJL());
    EXPECT_EQ(set.GetCommandName(), "SET");
    EXPECT_EQ(set.GetOptionName(), "PAPER");
    EXPECT_EQ(set.GetOptionValue(), "LETTER");

    const PJL::PJLCommand comment("@PJL COMMENT %%Requirements: duplex\r");
    EXPECT_EQ(comment.GetText(), "%%Requirements: duplex");

    const PJL::PJLCommand xcpt("@PJL XCPT <copies syntax=\"integer\">12</copies>");
    EXPECT_EQ(xcpt.GetOptionName(), "copies");
    EXPECT_EQ(xcpt.OptionValueAsUnsigned(), 12u);

    const PJL::PJLCommand bare("@PJL");
    EXPECT_TRUE(bare.IsPJL());
    EXPECT_TRUE(bare.GetCommandName().empty());

    EXPECT_FALSE(PJL::PJLCommand(" @PJL SET COPIES=2").IsPJL());
    EXPECT_EQ(PJL::PJLCommand("@PJL SET COPIES=+5x").OptionValueAsUnsigned(), 5u);
    EXPECT_EQ(PJL::PJLCommand("@PJL SET COPIES=-5").OptionValueAsUnsigned(), 0u);
}

// Decipoints to tenths of a millimetre.
TEST(PjlParser, SizeConversion)
{
    EXPECT_EQ(PJL::PJLParser::mintConvertPJLSizeToRawSize(7920), 2794);
    EXPECT_EQ(PJL::PJLParser::mintConvertPJLSizeToRawSize(8419), 2970);
    EXPECT_EQ(PJL::PJLParser::mintConvertPJLSizeToRawSize(UINT64_MAX), INT32_MAX);
}
