#include "PrinterLanguageParser/Parser/cgm/ApplicationDataEntry.h"
#include "PrinterLanguageParser/Parser/cgm/CGMParser.h"
#include "PrinterLanguageParser/Parser/cgm/OceRCFPaperType.h"
#include "PrinterLanguageParser/Parser/cpca/CPCAParser.h"
#include "PrinterLanguageParser/Parser/prescribe/PrescribeParser.h"
#include "tests/ParserPjl/RecordingListener.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace RawPrintData;
using namespace ParserPjlTests;

namespace {

const std::string OCE = "MFDESC 'Oce Graphics Configuration Format 1.0';\n";

const std::vector<CommandCase> CGM_CASES = {
    {"Oce settings", OCE + "APPLDATA 21 'PF=4';\nAPPLDATA 2 'CO=3, DU=1';\nAPPLDATA 15 'CM=0';\n", PARSE_RESULT_NEED_MORE_DATA,
     {"paper A4", "width 2100", "height 2970", "copies 3", "duplex 1", "color 3"}},
    {"colour mode colour, other modes nothing", OCE + "APPLDATA 15 'CM=1';APPLDATA 15 'CM=2';APPLDATA 15 'X=0';",
     PARSE_RESULT_HANDLED, {"color 2"}},
    {"paper type past the table is Letter", "MFDESC 'made for OCE RCF';APPLDATA 21 'PF=40';", PARSE_RESULT_HANDLED,
     {"paper Letter", "width 2159", "height 2794"}},
    {"roll paper", OCE + "APPLDATA 21 'PF=19';", PARSE_RESULT_HANDLED, {"paper 30 inch", "width 6069", "height 7620"}},
    {"slot 2 defaults", OCE + "APPLDATA 2 'XX=1';", PARSE_RESULT_HANDLED, {"copies 1", "duplex 0"}},
    {"application data before the description", "APPLDATA 2 'CO=3';" + OCE, PARSE_RESULT_NEED_MORE_DATA, {}},
    {"another format ignores application data", "MFDESC 'GNU libplot';APPLDATA 2 'CO=3';", PARSE_RESULT_HANDLED, {}},
    {"';' in a string or a comment ends nothing",
     OCE + "% page; notes; ENDMF; %APPLDATA 2 'CO=2;DU=1';BEGPIC 'a;b\"c';", PARSE_RESULT_HANDLED,
     {"copies 2", "duplex 0"}},
    {"doubled quotes", OCE + "TEXT 'it''s; fine';APPLDATA 2 'CO=4';", PARSE_RESULT_HANDLED, {"copies 4", "duplex 0"}},
    {"application data shorter than its quotes", OCE + "APPLDATA 2 x;APPLDATA 21 ;APPLDATA 21;APPLDATA 2 '';",
     PARSE_RESULT_HANDLED, {"copies 1", "duplex 0", "copies 1", "duplex 0"}},
    {"'/' ends a command", OCE + "APPLDATA 2 'CO=5'/ENDMF/", PARSE_RESULT_SWITCH_LANGUAGE,
     {"copies 5", "duplex 0", "language 0"}},
    {"ENDMF returns to the previous language", "BEGMF 'x';ENDMF;IN;", PARSE_RESULT_SWITCH_LANGUAGE, {"language 0"}},
    {"huge numbers saturate", OCE + "APPLDATA 21 'PF=99999999999';", PARSE_RESULT_HANDLED,
     {"paper Letter", "width 2159", "height 2794"}},
};

// A CPCA operation header: signature, code, data length.
std::string CpcaHeader(uint16_t code, uint16_t length)
{
    std::string header("\xCD\xCA\x10\x00", 4);
    header += static_cast<char>(code >> 8);
    header += static_cast<char>(code & 0xFF);
    header += std::string(2, '\0');
    header += static_cast<char>(length >> 8);
    header += static_cast<char>(length & 0xFF);
    header += std::string(10, '\0');
    return header;
}

const std::vector<CommandCase> PRESCRIBE_CASES = {
    {"EXIT returns", "!R! RES; UNIT C; EXIT;\x1B" "E", PARSE_RESULT_SWITCH_LANGUAGE, {"language 0"}},
    {"exit in lower case is ignored", "!R! RES; exit;", PARSE_RESULT_HANDLED, {}},
    {"commands on lines of their own", "!R! RES;\r\nUNIT C;\r\nEXIT;", PARSE_RESULT_SWITCH_LANGUAGE, {"language 0"}},
    {"several starts", "!R! RES;\n!R! FRPO P1,8; EXIT;", PARSE_RESULT_SWITCH_LANGUAGE, {"language 0"}},
    {"EXIT inside another command", "!R! TEXT EXIT; EXITS;", PARSE_RESULT_HANDLED, {}},
    {"command waits for its ';'", "!R! RES; EXI", PARSE_RESULT_NEED_MORE_DATA, {}},
};

}  // namespace

// Each CGM case's result and reports, and the same reports wherever the input is cut.
TEST(CgmParser, CommandTable)
{
    ExpectCommandTable<CGM::CGMParser>(CGM_CASES);
}

// ENDMF hands over after its separator.
TEST(CgmParser, SwitchPointIsAfterEndmf)
{
    EXPECT_EQ(Feed<CGM::CGMParser>("BEGMF 'x'; ENDMF;IN;").mintBytesProcessed, 17u);
}

// Application-data entries: slot, quoted parameters, first value of a name kept.
TEST(CgmParser, ApplicationDataEntry)
{
    const CGM::ApplicationDataEntry entry("21 'PF=4,, CO=2  PF=7 junk'");
    EXPECT_EQ(entry.GetSlotNumber(), 21u);
    EXPECT_EQ(entry.GetParamValue("PF", 0), 4u);
    EXPECT_EQ(entry.GetParamValue("CO", 0), 2u);
    EXPECT_EQ(entry.GetParamValue("junk", 9), 9u);
    EXPECT_EQ(CGM::ApplicationDataEntry("'").GetSlotNumber(), 0u);
    EXPECT_FALSE(CGM::ApplicationDataEntry("2 '").HasParam("CO"));
}

// The paper table: first, last and past the end.
TEST(CgmParser, PaperTable)
{
    EXPECT_EQ(CGM::OceRCFPaperType(0).mstrName, "A0");
    EXPECT_EQ(CGM::OceRCFPaperType(30).mintWidth, 1905);
    EXPECT_EQ(CGM::OceRCFPaperType(31).mstrName, "Letter");
}

// Each Prescribe case's result and reports, and the same reports wherever the input is cut.
TEST(PrescribeParser, CommandTable)
{
    ExpectCommandTable<Prescribe::PrescribeParser>(PRESCRIBE_CASES);
}

// EXIT hands over after its ";"; a cut "!R!" is waited for.
TEST(PrescribeParser, SwitchAndWaitPoints)
{
    EXPECT_EQ(Feed<Prescribe::PrescribeParser>("!R! RES; UNIT C; EXIT;\x1B" "E").mintBytesProcessed, 22u);
    const FeedResult cut = Feed<Prescribe::PrescribeParser>("!R! RES;\n!R");
    EXPECT_EQ(cut.mintResult, PARSE_RESULT_NEED_MORE_DATA);
    EXPECT_EQ(cut.mintBytesProcessed, 9u);
}

// Operations are passed over with their data, also across chunks; the print
// data operation hands over 21 bytes after its start.
TEST(CpcaParser, OperationsAndHandOver)
{
    const std::string job = CpcaHeader(0x0001, 100) + std::string(100, 'D') + CpcaHeader(0x0002, 0) +
                            CpcaHeader(0x001A, 7) + "?" + "IN;PG;";
    const size_t handOver = 20 + 100 + 20 + 21;
    const FeedResult whole = Feed<CPCA::CPCAParser>(job);
    EXPECT_EQ(whole.mintResult, PARSE_RESULT_SWITCH_LANGUAGE);
    EXPECT_EQ(whole.mintBytesProcessed, handOver);
    EXPECT_EQ(whole.mvecEvents, (std::vector<std::string>{"language 0"}));
    ExpectSameEventsWhereverCut<CPCA::CPCAParser>(job);

    // Cut inside the first operation's data: the rest is skipped with the next chunk.
    const FeedResult cut = Feed<CPCA::CPCAParser>(job, {60});
    EXPECT_EQ(cut.mintResult, PARSE_RESULT_SWITCH_LANGUAGE);
    EXPECT_EQ(cut.mintBytesProcessed, handOver - 60);
}

// A print-data header with nothing after it, or a cut header, waits.
TEST(CpcaParser, IncompleteHeadersWait)
{
    const FeedResult bare = Feed<CPCA::CPCAParser>(CpcaHeader(0x001A, 0));
    EXPECT_EQ(bare.mintResult, PARSE_RESULT_NEED_MORE_DATA);
    EXPECT_EQ(bare.mintBytesProcessed, 0u);
    const FeedResult cut = Feed<CPCA::CPCAParser>(CpcaHeader(0x0003, 2) + "ab" + CpcaHeader(0x0004, 0).substr(0, 12));
    EXPECT_EQ(cut.mintResult, PARSE_RESULT_NEED_MORE_DATA);
    EXPECT_EQ(cut.mintBytesProcessed, 22u);
    EXPECT_TRUE(cut.mvecEvents.empty());
}
