#include "PrinterLanguageParser/Parser/hpgl/HPGLParser.h"
#include "tests/ParserPjl/RecordingListener.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RawPrintData;
using namespace ParserPjlTests;

namespace {

const std::vector<CommandCase> HPGL_CASES = {
    {"plot size and two pages", "IN;PS40000,30000;PG;PG;", PARSE_RESULT_HANDLED,
     {"width 7500", "height 10000", "page 7500x10000 mono", "page 7500x10000 mono"}},
    {"PS with one parameter sets nothing", "PS10668;PG0;", PARSE_RESULT_HANDLED, {"page 0x0 mono"}},
    {"PS sizes that are not positive are ignored", "PS-40000,30000;PS0,5;PG;", PARSE_RESULT_HANDLED, {"page 0x0 mono"}},
    {"BP copies", "BP2,3;", PARSE_RESULT_HANDLED, {"copies 3"}},
    {"BP title with a comma and letters", "BP1,\"My, Plot;PG\",2,4;PG;", PARSE_RESULT_HANDLED,
     {"copies 4", "page 0x0 mono"}},
    {"BP with too few parameters", "BP;BP2;BP2,-3;", PARSE_RESULT_HANDLED, {}},
    {"RP adds copies", "BP2,2;RP;RP3;RP-1;", PARSE_RESULT_HANDLED, {"copies 2", "copies 3", "copies 6"}},
    {"RO", "RO90;RO;RO270;RO180;", PARSE_RESULT_HANDLED,
     {"orientation 1", "orientation 0", "orientation 1", "orientation 0"}},
    {"label with letters and ';' is one command", "LBtext;PG\x03PG;", PARSE_RESULT_HANDLED, {"page 0x0 mono"}},
    {"DT changes the label terminator", "DT*,1;LBa;PG*PG;IN;LBb*PG\x03PG;", PARSE_RESULT_HANDLED,
     {"page 0x0 mono", "page 0x0 mono"}},
    {"quoted comment", "CO\"PG; not a page\";PG;", PARSE_RESULT_HANDLED, {"page 0x0 mono"}},
    {"comment without text", "CO;PG;", PARSE_RESULT_HANDLED, {"page 0x0 mono"}},
    {"white space between commands", "IN;\r\nPS4000,2000;\r\n PG;\n", PARSE_RESULT_HANDLED,
     {"width 500", "height 1000", "page 500x1000 mono"}},
    {"lower-case mnemonics", "in;pg;", PARSE_RESULT_HANDLED, {"page 0x0 mono"}},
    {"device control", "\x1B.(;\x1B.I81;;17:\x1B.N;19:IN;PG;\x1B.)", PARSE_RESULT_HANDLED, {"page 0x0 mono"}},
    {"polyline encoded data holds letters", "PEabcPGdef;PG;", PARSE_RESULT_HANDLED, {"page 0x0 mono"}},
    {"ESC % 1 A returns to PCL 5", "PG;\x1B%1APG;", PARSE_RESULT_SWITCH_LANGUAGE, {"page 0x0 mono", "language 2"}},
    {"ESC % 1 B is passed over", "\x1B%1BPG;", PARSE_RESULT_HANDLED, {"page 0x0 mono"}},
    {"universal exit leaves for PJL", "PG;\x1B%-12345X@PJL EOJ\n", PARSE_RESULT_SWITCH_LANGUAGE,
     {"page 0x0 mono", "language 4"}},
    {"universal exit inside a label", "LBab\x1B%-12345X@PJL\n", PARSE_RESULT_SWITCH_LANGUAGE, {"language 4"}},
    {"CalComp", "PG;&&&&data", PARSE_RESULT_SWITCH_LANGUAGE, {"page 0x0 mono", "language 6"}},
    {"a final PG without ';' still ends its page", "IN;PG", PARSE_RESULT_NEED_MORE_DATA, {"page 0x0 mono"}},
    {"overlong parameters are passed over", "PA" + std::string(100000, '1') + ";PG;", PARSE_RESULT_HANDLED,
     {"page 0x0 mono"}},
};

}  // namespace

// Each case's result and reports, and the same reports wherever the input is cut.
TEST(HpglParser, CommandTable)
{
    ExpectCommandTable<HPGL::HPGLParser>(HPGL_CASES);
}

// Where each switch hands over: after ESC % # A, at the universal exit (PJL
// reads it), at the first "&".
TEST(HpglParser, SwitchPoints)
{
    EXPECT_EQ(Feed<HPGL::HPGLParser>("PG;\x1B%1A\x1B" "E").mintBytesProcessed, 7u);
    EXPECT_EQ(Feed<HPGL::HPGLParser>("PG;\x1B%-12345X@PJL").mintBytesProcessed, 3u);
    EXPECT_EQ(Feed<HPGL::HPGLParser>("IN;&&&&").mintBytesProcessed, 3u);
}

// A universal exit or ESC % sequence cut by the end of the data is left
// unconsumed for the next chunk.
TEST(HpglParser, CutEscapeSequencesWait)
{
    for (const std::string tail : {"\x1B", "\x1B%", "\x1B%-123", "\x1B%1"}) {
        SCOPED_TRACE(tail.size());
        const FeedResult fed = Feed<HPGL::HPGLParser>("PG;" + tail);
        EXPECT_GE(fed.mintResult, 0);
        EXPECT_EQ(fed.mintBytesProcessed, 3u);
    }
}

// IN and DF bring the label terminator back to ETX.
TEST(HpglParser, ResetRestoresLabelTerminator)
{
    HPGL::HPGLParser parser;
    parser.SetLabelTerminator('*');
    parser.Reset();
    EXPECT_EQ(parser.GetLabelTerminator(), HPGL::HPGLParser::mbytDEFAULT_LABEL_TERMINATOR);
}
