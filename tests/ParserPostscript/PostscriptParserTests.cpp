#include "JobRunner.h"
#include "PrinterLanguageParser/Parser/postscript/BasicPostscriptParser.h"
#include "PrinterLanguageParser/Parser/postscript/EncapsulatedPostscriptParser.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptParser.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptStrategyInstances.h"
#include "tests/Parser/ChunkInvariance.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace RawPrintData;
using namespace RawPrintData::Postscript;
using PostscriptTestSupport::JobResult;
using PostscriptTestSupport::RunJob;

namespace {

// Records what a parser reports.
class ReportRecorder : public IRawDataParserListener {
public:
    void LogMessage(LogLevel, const char*) override {}
    void OnPageCompleted(const CRawPage& page) override
    {
        mstrPages += std::string(page.mblnColor ? "C" : "M");
        mvecPages.push_back(page);
    }
    void OnJobPropertyChanged(RawDataJobProperty property, const void* value) override
    {
        if (property == PROPERTY_DUPLEX)
            mstrProperties += "duplex=" + std::to_string(*static_cast<const bool*>(value)) + " ";
        else if (property == PROPERTY_COPIES)
            mstrProperties += "copies=" + std::to_string(*static_cast<const unsigned long*>(value)) + " ";
        else if (property == PROPERTY_COLOR_TYPE)
            mstrProperties += "colour=" + std::to_string(*static_cast<const RawColorType*>(value)) + " ";
    }
    void OnNextLanguage(RawLanguageType language, bool literal) override
    {
        mstrProperties += "language=" + std::to_string(language) + (literal ? "!" : "") + " ";
    }
    void OnPageCountOverride(unsigned long pages) override { mstrProperties += "override=" + std::to_string(pages) + " "; }
    unsigned long GetCopies() const override { return 1; }

    std::string mstrPages;
    std::string mstrProperties;
    std::vector<CRawPage> mvecPages;
};

// Runs a job through one PostScript parser in one chunk.
ParseDataResultType Parse(PostscriptParser& parser, ReportRecorder& recorder, std::string_view job)
{
    parser.AddListener(&recorder);
    DataBuffer buffer;
    buffer.SetMainBuffer(reinterpret_cast<const unsigned char*>(job.data()), job.size());
    const ParseDataResultType result = parser.ParseData(buffer);
    if (result == PARSE_RESULT_SWITCH_LANGUAGE)
        return result;
    const ParseDataResultType done = parser.ParseDone();
    return result < 0 ? result : done;
}

struct PageCase {
    const char* job;
    const char* pages;  // M or C per page
};

TEST(PostscriptParser, TellsColourFromMonoPages)
{
    const PageCase cases[] = {
        {"0.2 0.5 0.8 setrgbcolor 0 0 moveto 10 10 lineto stroke showpage", "C"},
        {"0.5 0.5 0.5 setrgbcolor 0 0 10 10 rectfill showpage", "M"},
        {"0 0 0 1 setcmykcolor fill showpage 0 0 0 0.5 setcmykcolor fill showpage", "MM"},
        {"1 0 0 0 setcmykcolor fill showpage", "C"},
        {"1 0 0 setrgbcolor gsave 0 setgray fill grestore showpage", "M"},
        {"1 0 0 setrgbcolor gsave 0 setgray fill grestore fill showpage", "C"},
        {"0.3 1 1 sethsbcolor fill showpage 0.3 0 1 sethsbcolor fill showpage", "CM"},
        {"[/Indexed /DeviceRGB 255 <00FF00>] setcolorspace 5 setcolor fill showpage", "C"},
        {"/DeviceCMYK setcolorspace 0 0 0 1 setcolor fill showpage", "M"},
        {"/CIEBasedABC dup setcolorspace 0.1 0.2 0.3 setcolor (x) show showpage", "C"},
        {"/CIEBasedA setcolorspace 0.4 setcolor fill showpage", "M"},
        {"100 100 8 [1 0 0 1 0 0] {currentfile} image showpage", "M"},
        {"1 0 0 setrgbcolor << /ImageType 1 >> image showpage", "C"},
        {"0 setgray << /ImageType 1 >> image showpage", "M"},
        {"10 10 8 [1 0 0 1 0 0] {<00>} false 3 colorimage showpage", "C"},
        {"1 0 0 setrgbcolor fill copypage showpage showpage", "CCM"},
        {"1 0 0 setrgbcolor fill erasepage showpage", "M"},
        {"1 0 0 setrgbcolor save 0 setgray restore grestoreall fill showpage", "C"},
        // restore returns to the colour of its save (pages wrapped in save
        // and restore, as pstops writes them).
        {"save 0 1 0 setrgbcolor fill showpage restore fill showpage", "CM"},
        {"0 setgray save 0 1 0 setrgbcolor restore fill showpage", "M"},
        {"(1 0 0 setrgbcolor) cvx exec fill showpage", "C"},
        {"setrgbcolor fill showpage setcmykcolor fill showpage sethsbcolor fill showpage setcolorspace", "MCC"},
    };
    for (const PageCase& sample : cases) {
        PostscriptParser parser;
        ReportRecorder recorder;
        EXPECT_EQ(Parse(parser, recorder, sample.job), PARSE_RESULT_HANDLED) << sample.job;
        EXPECT_EQ(recorder.mstrPages, sample.pages) << sample.job;
    }
}

TEST(PostscriptParser, TellsColourFromMonoPagesOfPdfProcedureSets)
{
    const std::string ps2write = "%!PS-Adobe-3.0\n%%Creator: GPL Ghostscript 10000 (ps2write)\n%%EndComments\n%%Page: 1 1\n";
    const std::string cairo = "%!PS-Adobe-3.0\n%%Creator: cairo 1.16.0 (https://cairographics.org)\n%%EndComments\n";
    const std::string xpdf = "%!PS-Adobe-3.0\n%%EndComments\n%%BeginResource: procset xpdf 3.00 0\n%%EndResource\n";
    const std::string cases[][2] = {
        // ps2write's pages end inside its procedure set: one page each.
        {ps2write + "q 0 G 0.5 g 0 0 9 9 re f Q 1 0 0 RG q 0 g (x)Tj Q", "M"},
        {ps2write + "0 1 1 0 k f", "C"},
        {ps2write + "/DeviceRGB cs 0.2 0.2 0.2 sc f /DeviceCMYK CS 0 0 0 1 SC S", "M"},
        {ps2write + "/DeviceRGB cs 0.2 0.4 0.2 scn f", "C"},
        {ps2write + "q BI /CS/G /W 2 /H 2 /BPC 8 /F[/A85 /LZW] ID\nz(>~>\nEI Q", "M"},
        {ps2write + "q BI /CS/RGB /W 2 /H 2 /BPC 8 /F/A85 ID\nz(>~>\nEI Q", "C"},
        {ps2write + "BI /ColorSpace [/I /G 1 <00FF>] /Filter /ASCIIHexDecode ID\n00(01>\nEI", "M"},
        {ps2write + "BI /CS [/Indexed /RGB 1 <00FF00>] /F /AHx ID 0001> EI", "C"},
        {ps2write + "1 0 0 rg BI /IM true /W 8 /H 1 /F/A85 ID\n!!~> EI", "C"},
        {ps2write + "0 g BI /IM true /W 8 /H 1 /F/A85 ID\n!!~> EI", "M"},
        {ps2write + "1 0 0 rg ID f", "C"},
        // The data starts right after "ID", even where a string would open.
        {ps2write + "0 g BI /CS/G /F/A85 ID(a)b>~> 1 0 0 rg f", "C"},
        // cairo's pages end with showpage.
        {cairo + "0 g 0 0 9 9 re f showpage 1 0 0 rg f showpage 0.5 g (x)Tj showpage", "MCM"},
        {cairo + "/DeviceGray setcolorspace << /ImageType 1 >> cairo_image\n ab(c>~>\nshowpage", "M"},
        {cairo + "q /DeviceRGB setcolorspace << >> cairo_image\n a>b~>\nQ 0 g f showpage 0 g f showpage", "CM"},
        {cairo + "1 0 0 rg << >> cairo_imagemask\n x~>\nshowpage 0 g << >> cairo_imagemask x~> showpage", "CM"},
        // Poppler's colour spaces come with a transfer procedure, colours as arrays.
        {xpdf + "/DeviceRGB {} cs [1 0 0] sc 0 0 9 9 re f showpage", "C"},
        {xpdf + "/DeviceGray {} cs [0.5] sc f /DeviceRGB {} CS [0.5 0.5 0.5] SC S showpage", "M"},
        {xpdf + "/DeviceCMYK {0 exch {1 sub} if} cs [0 0 0 1] sc f showpage [0 1 0 0] sc f showpage", "MC"},
        {xpdf + "[/Indexed /DeviceRGB 1 <000000FF0000>] {} cs [1] sc Tj showpage", "C"},
        {xpdf + "q /DeviceRGB setcolorspace << >> pdfIm\nGa(r>~>\n%-EOD-\nQ showpage", "C"},
        {xpdf + "/DeviceGray setcolorspace << >> pdfIm\nGa(r>~>\n%-EOD-\nshowpage", "M"},
        {xpdf + "/DeviceRGB {} cs [0 0 1] sc << >> pdfImM\n!!~>\nshowpage", "C"},
    };
    for (const auto& [job, pages] : cases) {
        PostscriptParser parser;
        ReportRecorder recorder;
        EXPECT_EQ(Parse(parser, recorder, job), PARSE_RESULT_HANDLED) << job;
        EXPECT_EQ(recorder.mstrPages, pages) << job;
    }
}

TEST(PostscriptParser, HsbLeavesTheColourSpaceRgb)
{
    PostscriptParser parser;
    ReportRecorder recorder;
    Parse(parser, recorder, "0.3 1 1 sethsbcolor");
    EXPECT_EQ(parser.GraphicsStateStack().Current().GetColorSpace(), COLOR_SPACE_DEVICE_RGB);
}

TEST(PostscriptParser, ReadsPageDeviceDictionaries)
{
    PostscriptParser parser;
    ReportRecorder recorder;
    Parse(parser, recorder,
          "<< /PageSize [595 842] /Duplex true /NumCopies 2 /ProcessColorModel /DeviceCMYK >> setpagedevice "
          "<< /MediaType (Glossy) >> setpagedevice showpage");
    EXPECT_EQ(recorder.mstrProperties, "colour=2 copies=2 duplex=1 ");
    ASSERT_EQ(recorder.mvecPages.size(), 1u);
    // The media type is the kind of paper; the size names it.
    EXPECT_EQ(recorder.mvecPages[0].GetName(), "A4");
    EXPECT_EQ(recorder.mvecPages[0].mintWidth, 2099);
    EXPECT_EQ(recorder.mvecPages[0].mintHeight, 2970);
    EXPECT_EQ(parser.GetDeviceColorSpace(), COLOR_SPACE_DEVICE_CMYK);
    EXPECT_TRUE(parser.GraphicsStateStack().Current().Requirements().mblnDuplex);
}

TEST(PostscriptParser, ReadsCompactPageDeviceDictionaries)
{
    // Generators that leave out the blanks: a key written straight after a
    // number is still a key.
    PostscriptParser parser;
    ReportRecorder recorder;
    Parse(parser, recorder, "<</PageSize[595 842]/NumCopies 2/Duplex true>>setpagedevice showpage");
    EXPECT_EQ(recorder.mstrProperties, "duplex=1 copies=2 ");
    ASSERT_EQ(recorder.mvecPages.size(), 1u);
    EXPECT_EQ(recorder.mvecPages[0].mintWidth, 2099);
}

TEST(PostscriptParser, PageDeviceOperandsNeverReadBeforeTheFirstToken)
{
    const char* jobs[] = {"<< /PageSize >> setpagedevice", "/PageSize setpagedevice", "setpagedevice",
                          ">> setpagedevice", "/Duplex put setpagedevice", "<< /NumCopies -3 >> setpagedevice",
                          "<< /NumCopies 1e300 >> setpagedevice", "<< /PageSize [1e300 -1e300] >> setpagedevice showpage",
                          "] setcolorspace", "dup setcolorspace", "] set_fill_color"};
    for (const char* job : jobs) {
        PostscriptParser parser;
        ReportRecorder recorder;
        EXPECT_EQ(Parse(parser, recorder, job), PARSE_RESULT_HANDLED) << job;
        EXPECT_EQ(recorder.mstrProperties.find("copies=0"), std::string::npos) << job;
    }
}

struct FeatureCase {
    const char* feature;
    const char* properties;
};

TEST(PostscriptParser, TurnsFeaturesIntoJobProperties)
{
    const FeatureCase cases[] = {
        {"*Duplex DuplexNoTumble", "duplex=1 "},
        {"*Duplex None", ""},
        {"*EFDuplex Off", ""},
        {"*ColorModel Gray", "colour=3 "},
        {"*ColorModel CMYK", "colour=2 "},
        {"*ColorModel Spot", ""},
        {"*ARCMode CMBW", "colour=3 "},
        {"*EFColorMode Grayscale", "colour=3 "},
        {"*ColorType Black&White", "colour=3 "},
        {"*BRPrintQuality Auto", "colour=2 "},
        {"*BRPrintQuality Fine", ""},
        {"*NumCopies 4", "copies=4 "},
        {"NumCopies x", ""},
        {"*XRXColor BW", "colour=3 "},
        // Grey choices of the options Debian's PPDs carry ask for grey.
        {"*SelectColor Grayscale", "colour=3 "},
        {"*ColorMode FalseM", "colour=3 "},
        {"*HPColorAsGray BlackInkOnly", "colour=3 "},
        {"*ColorResType MonoLowAuto", "colour=3 "},
        {"*BRPrintQuality Black", "colour=3 "},
    };
    for (const FeatureCase& sample : cases) {
        PostscriptParser parser;
        ReportRecorder recorder;
        const std::string job =
            std::string("%%BeginFeature: ") + sample.feature + "\nshowpage\n%%EndFeature\n";
        Parse(parser, recorder, job);
        EXPECT_EQ(recorder.mstrProperties, sample.properties) << sample.feature;
        EXPECT_EQ(recorder.mstrPages, "") << sample.feature;
    }
    // The PostScript of an unknown feature is parsed.
    PostscriptParser parser;
    ReportRecorder recorder;
    Parse(parser, recorder, "%%BeginFeature: *InputSlot Upper\nshowpage\n%%EndFeature\n");
    EXPECT_EQ(recorder.mstrPages, "M");
}

TEST(PostscriptParser, AddsTheTablesOfKnownPrologues)
{
    PostscriptParser parser;
    ReportRecorder recorder;
    Parse(parser, recorder,
          "%%BeginResource: procset Pscript_Win_Basic\n/LH {showpage} def\n%%EndResource\n"
          "%%BeginResource: procset Pscript_Win_Basic\n%%EndResource\nLH\n"
          "%%BeginResource: procset Adobe_AGM_Core 2.0 0\n%%EndResource\n"
          "%%BeginResource: procset wCorel12Dict 12.0 0\n%%EndResource\n");
    EXPECT_EQ(recorder.mstrPages, "M");
    EXPECT_TRUE(parser.Strategies().IsTableAdded(KEYWORDS_WINDOWS_BASIC));
    EXPECT_TRUE(parser.Strategies().IsTableAdded(KEYWORDS_COREL));
    EXPECT_FALSE(parser.Strategies().IsTableAdded(KEYWORDS_PDF));
    // The later table's meaning wins.
    EXPECT_EQ(parser.Strategies().GetStrategy("f"), &ParserStrategies::SetFillColorAndFill);
    EXPECT_EQ(parser.Strategies().GetStrategy("no such keyword"), &ParserStrategies::NullParserStrategy_Impl);
}

// The look-up of every name gives what the keyword map holds, one-byte
// keywords too, through replacements, removals and added tables.
TEST(PostscriptParserStrategies, FindsWhatTheMapHolds)
{
    PostscriptParserStrategies strategies;
    strategies.AddStrategiesForBasicPostscript();
    strategies.AddOrReplace("x", &ParserStrategies::SetFillColorAndFill);
    strategies.AddStrategiesForPdfContent();
    for (const std::string_view keyword : {"x", "g", "q", "'", "rg", "f*", "showpage", "setpagedevice"}) {
        const PostscriptParserStrategies::Entry* entry = strategies.Find(keyword);
        ASSERT_NE(entry, nullptr) << keyword;
        EXPECT_EQ(entry->mStrategy, strategies.GetStrategy(keyword)) << keyword;
    }
    strategies.Remove("x");
    strategies.AddOrReplace("g", nullptr);
    for (const std::string_view keyword : {"x", "g", "y", ""})
        EXPECT_EQ(strategies.Find(keyword), nullptr) << keyword;
    EXPECT_NE(strategies.Find("G"), nullptr);
}

TEST(PostscriptParser, SizesPagesFromTheBoundingBoxes)
{
    PostscriptParser parser;
    ReportRecorder recorder;
    Parse(parser, recorder,
          "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 612 792\n%%EndComments\n%%Page: 1 1\n%%PageBoundingBox: 0 0 595 842\n"
          "showpage\n%%Page: 2 2\nshowpage\nshowpage\n");
    ASSERT_EQ(recorder.mvecPages.size(), 3u);
    EXPECT_EQ(recorder.mvecPages[0].GetName(), "Unknown");
    EXPECT_EQ(recorder.mvecPages[0].mintWidth, 2099);
    EXPECT_EQ(recorder.mvecPages[0].mintHeight, 2970);
    EXPECT_EQ(recorder.mvecPages[1].mintWidth, 2159);
    EXPECT_EQ(recorder.mvecPages[2].mintHeight, 2794);
}

struct FallbackCase {
    const char* job;
    const char* pageSets;
};

TEST(PostscriptParser, PagesNoPageEndReportedComeFromTheirSections)
{
    const FallbackCase cases[] = {
        // PDF operators of ps2write's procedure set, whose pages end inside it.
        {"%!PS-Adobe-3.0\n%%Creator: GPL Ghostscript 10000 (ps2write)\n%%EndComments\n%%Page: 1 1\n"
         "%%PageBoundingBox: 0 0 595 842\nq 0 g 0 0 9 9 re f Q\n%%Page: 2 2\n%%PageBoundingBox: 0 0 612 792\n"
         "q 1 0 0 rg (x)Tj Q\n%%Page: 3 3\n%%PageBoundingBox: 0 0 595 842\nq 0 0 1 RG 0.5 g f Q\n%%Trailer\n",
         "Unknown 2099x2970 2/0; Unknown 2159x2794 0/1"},
        // The medium the page names, not its box around the marks; a page
        // naming a medium the document does not list is on its first one.
        {"%!PS-Adobe-3.0\n%%DocumentMedia: A4 595 842 0 () ()\n%%+ Letter 612 792 0 () ()\n%%EndComments\n"
         "%%Page: 1 1\n%%PageMedia: Letter\n%%PageBoundingBox: 72 72 100 100\nshowpage\n%%Page: 2 2\n"
         "%%PageMedia: A3\n%%PageBoundingBox: 0 0 595 842\nshowpage\n",
         "Letter 2159x2794 1/0; A4 2099x2970 1/0"},
        // An unclosed string hides neither the page comments after it nor
        // the colour of their pages; its own page is still counted.
        {"%!PS\n%%EndComments\n%%Page: 1 1\nshowpage\n%%Page: 2 2\n%%PageBoundingBox: 0 0 612 792\n(binary ( data\n"
         "%%Page: 3 3\n%%PageBoundingBox: 0 0 595 842\n1 0 0 setrgbcolor fill showpage\n",
         "Unknown 2099x2970 0/1; Unknown 2159x2794 1/0;  0x0 1/0"},
        // Bytes the tokenizer cannot read: reading resumes at the next page.
        {"%!PS\n%%EndComments\n%%Page: 1 1\n>x\nshowpage\n%%Page: 2 2\n1 0 0 setrgbcolor fill showpage\n",
         " 0x0 1/1"},
        // An embedded document's page comments are not pages of the job.
        {"%!PS\n%%EndComments\n%%Page: 1 1\n%%BeginDocument: a.eps\n%%Page: 1 1\n%%EndDocument\nshowpage\n",
         " 0x0 1/0"},
    };
    for (const FallbackCase& sample : cases) {
        const std::string job = sample.job;
        for (const size_t chunk : {job.size(), size_t{1}}) {
            const JobResult result = RunJob(job, chunk);
            EXPECT_EQ(result.mstrPageSets, sample.pageSets) << job << " chunk " << chunk;
            EXPECT_EQ(result.mintWorstResult, 0) << job;
        }
    }
}

TEST(PostscriptParser, RequirementsBecomeJobProperties)
{
    const JobResult result = RunJob("%!PS-Adobe-3.0\n%%Requirements: duplex numcopies(3) color\n%%EndComments\n", 7);
    EXPECT_EQ(result.mintCopies, 3u);
    EXPECT_TRUE(result.mblnDuplex);
    EXPECT_EQ(result.mintColorType, COLOR_TYPE_COLOR);
}

TEST(PostscriptParser, HandsOverToCpca)
{
    PostscriptParser parser;
    ReportRecorder recorder;
    const std::string job = "%!PS\n1 2 add\n\xCD\xCA\x10 cpca data";
    EXPECT_EQ(Parse(parser, recorder, job), PARSE_RESULT_SWITCH_LANGUAGE);
    EXPECT_EQ(parser.BytesProcessed(), job.find('\xCD'));
    EXPECT_EQ(recorder.mstrProperties, "language=11! ");
}

TEST(PostscriptParser, TokenizerFailureKeepsThePages)
{
    // ">x" cannot be read: from there the basic counter goes on alone and its
    // %%Page: count replaces the shorter count of the strategies.
    const std::string job = "%!PS\n%%Page: 1 1\nshowpage\n%%Page: 2 2\n>x binary\n%%Page: 3 3\nshowpage\n"
                            "%%Page: 4 4\nshowpage\n";
    for (const size_t chunk : {job.size(), size_t{5}, size_t{1}}) {
        const JobResult result = RunJob(job, chunk);
        EXPECT_EQ(result.mintWorstResult, 0) << chunk;
        EXPECT_EQ(result.mintDoneResult, 0) << chunk;
        EXPECT_EQ(result.mstrPageSets, " 0x0 4/0") << chunk;
    }
}

TEST(PostscriptParser, UnfinishedStringAtTheEndKeepsThePages)
{
    EXPECT_EQ(RunJob("%!PS\nshowpage\n(never closed", 3).mintDoneResult, 0);
    EXPECT_EQ(RunJob("%!PS\n(never closed", 3).mintDoneResult, PARSE_RESULT_UNFINISHED_TOKEN);
}

TEST(BasicPostscriptParser, CountsPageOrdinalsAndCopies)
{
    struct Case {
        std::string job;
        uint32_t pages;
        uint32_t copies;
    };
    const Case cases[] = {
        {"%%Page: 1 1\n%%Page: 2 2\n%%PAGE: x 5\n", 5, 0},
        {"%%Page: 3 3\n%%page: 4 4\n", 2, 0},
        {"/#copies 3 def\n", 0, 3},
        {"/#copies 3 xyz\n", 0, 1},
        {"/#Copies\n2 def /#copies 1 def", 0, 2},
        {"(%%Page: 1 1\n) %%Page: 7 7\n", 1, 0},
        {"<~ %%Page: 1 1\n~> %%Page: 2 2\n", 1, 0},
        {"(never closed\n%%Page: 1 1\n(\n%%Page: 2 2\n<~ab\n%%Page: 3 3\n", 3, 0},
        {"(a\n%%Pages: 2 2\n%%page: 3 3\n", 0, 0},
        {"%%%%PAGE: x 4\n/#COPIES\t6 def\n%%Page: y 2\n", 3, 6},
        {"(\\) %%Page: 1 1\n) %%Page: 9 9\n", 1, 0},
        // Brackets, escapes and lines inside strings, names and comments
        // that cannot hold what is counted.
        {"(a(b)c\\)d\ne\n\n(f)\\\\) %%Page: 4 4\n", 1, 0},
        {"(x\\\n%%Page: 2 2\n) %%Page: 3 3\n", 2, 0},
        {"<~a\nb(\n~> /n%%Page: 5 5\n/x/#copies 4 def\n%c%%Page: 6 6\n", 2, 4},
        {"(" + std::string(BasicPostscriptParser::mintMAX_STRING_BYTES - 2, 'x') + "\\)) %%Page: 8 8\n", 1, 0},
        {"(" + std::string(BasicPostscriptParser::mintMAX_STRING_BYTES - 1, 'x') + ") %%Page: 8 8\n", 1, 0},
        // Names, "<" and comments that start nothing counted, passed over
        // in bulk, around what is counted (a pair across sixteen bytes too).
        {std::string(15, ' ') + "%%Page: 3 3\n" + std::string(14, '/') + "/#copies 2 def\n", 1, 2},
        {"/a /b <c %d /e<f%g/h " + std::string(40, '%') + "Page: 4 4\n/x<~ %%Page: 1 1\n~>%%Page: 6 6\n", 3, 0},
        // A name of 256 characters is read whole, a longer one is not.
        {"/#copies" + std::string(248, 'x') + " 5 def\n", 0, 5},
        {"/#copies" + std::string(249, 'x') + " 5 def\n", 0, 0},
    };
    for (const Case& sample : cases) {
        const std::string& job = sample.job;
        for (const size_t chunk : {job.size(), size_t{1}, size_t{16}, size_t{17}}) {
            BasicPostscriptParser counter;
            DataBuffer buffer;
            for (size_t offset = 0; offset < job.size(); offset += chunk) {
                buffer.SetMainBuffer(reinterpret_cast<const unsigned char*>(job.data() + offset),
                                     std::min(chunk, job.size() - offset));
                counter.ParseData(buffer);
            }
            EXPECT_EQ(counter.GetPostscriptPages(), sample.pages) << job << " chunk " << chunk;
            EXPECT_EQ(counter.GetPostscriptCopies(), sample.copies) << job << " chunk " << chunk;
        }
    }
    // A string that never closes within its limit is left, so that the page
    // comments after binary data still count.
    BasicPostscriptParser counter;
    const std::string job = "(" + std::string(BasicPostscriptParser::mintMAX_STRING_BYTES + 10, 'x') + "\n%%Page: 2 2\n";
    DataBuffer buffer;
    buffer.SetMainBuffer(reinterpret_cast<const unsigned char*>(job.data()), job.size());
    counter.ParseData(buffer);
    EXPECT_EQ(counter.GetPostscriptPages(), 1u);
}

// A PJL stand-in: counts its calls, keeps what it was given first and either
// takes everything or hands straight back.
class StubPjlParser : public IRawDataParser {
public:
    explicit StubPjlParser(bool handBack) : mblnHandBack(handBack) {}
    ParseDataResultType ParseData(const DataBuffer& buffer) override
    {
        ++gintCalls;
        std::string data;
        buffer.CopyFullBufferInto(data);
        gstrFirstData += mblnHandBack ? std::string() : data;
        if (mblnHandBack && gstrFirstData.empty())
            gstrFirstData = data;
        if (mblnHandBack) {
            mintBytesProcessed = 0;
            NotifyNextLanguage(LANGUAGE_UNKNOWN);
            return PARSE_RESULT_SWITCH_LANGUAGE;
        }
        mintBytesProcessed = buffer.Length();
        return PARSE_RESULT_HANDLED;
    }
    ParseDataResultType ParseDone() override { return PARSE_RESULT_HANDLED; }
    void NotifyDefaultPageCompleted() override {}

    static inline int gintCalls = 0;
    static inline std::string gstrFirstData;

private:
    bool mblnHandBack;
};

ParserRegistry RegistryWithPjl(bool handBack)
{
    ParserRegistry registry = ParserRegistry::BuiltIn();
    registry.Register(LANGUAGE_PJL, [handBack] { return std::make_unique<StubPjlParser>(handBack); });
    StubPjlParser::gintCalls = 0;
    StubPjlParser::gstrFirstData.clear();
    return registry;
}

TEST(PostscriptParser, UniversalExitHandsOverToPjlOnce)
{
    const std::string job = "%!PS\nshowpage\n\x1B%-12345X@PJL EOJ\n";
    for (const size_t chunk : {job.size(), size_t{4}, size_t{1}}) {
        const ParserRegistry registry = RegistryWithPjl(false);
        const JobResult result = RunJob(job, chunk, registry);
        EXPECT_EQ(result.mstrPageSets, " 0x0 1/0") << chunk;
        EXPECT_EQ(StubPjlParser::gstrFirstData.substr(0, 13), "\x1B%-12345X@PJL") << chunk;
        EXPECT_EQ(result.mintWorstResult, 0) << chunk;
    }
    // A PJL parser that gives the same bytes straight back: PostScript reads
    // past the sequence instead of handing it over again and again.
    const ParserRegistry registry = RegistryWithPjl(true);
    const JobResult result = RunJob(job + "showpage\n", job.size() + 9, registry);
    EXPECT_EQ(StubPjlParser::gintCalls, 1);
    EXPECT_EQ(result.mstrPageSets, " 0x0 2/0");
    EXPECT_EQ(result.mintWorstResult, 0);
}

TEST(PostscriptParser, ExecutedStringsAreBoundedAndLeaveTheJobTokenizerAlone)
{
    // The executed string ends inside a string of its own: the job's own
    // tokenizer is not left inside it.
    PostscriptParser parser;
    ReportRecorder recorder;
    EXPECT_EQ(Parse(parser, recorder, "(\\( unfinished) cvx 1 0 0 setrgbcolor fill showpage"), PARSE_RESULT_HANDLED);
    EXPECT_EQ(recorder.mstrPages, "C");
    // Strings executed inside each other, far deeper than the limit, and an
    // exit sequence inside one that must not hand over.
    std::string nested = "showpage";
    for (int depth = 0; depth < 12; ++depth) {
        std::string escaped;
        for (const char character : nested) {
            if (character == '(' || character == ')' || character == '\\')
                escaped += '\\';
            escaped += character;
        }
        nested = "(" + escaped + ") cvx";
    }
    PostscriptParser deep;
    ReportRecorder deepRecorder;
    EXPECT_EQ(Parse(deep, deepRecorder, nested + " (\x1B%-12345X) cvx showpage"), PARSE_RESULT_HANDLED);
    EXPECT_EQ(deepRecorder.mstrPages, "M");
    EXPECT_EQ(deepRecorder.mstrProperties.find("language"), std::string::npos);
}

TEST(PostscriptParser, AdversarialJobsRunInLinearTimeAndBoundedMemory)
{
    const std::string pieces[] = {"[", "gsave ", "save ", "{", "<< ", "1 0 0 setrgbcolor fill "};
    for (const std::string& piece : pieces) {
        // Each size's best of three runs, so that a run the machine's load
        // holds back does not count.
        double seconds[2] = {1e9, 1e9};
        for (int run = 0; run < 6; ++run) {
            std::string job;
            const size_t repeats = (run % 2 == 0 ? 200000 : 800000) / piece.size();
            job.reserve(repeats * piece.size());
            for (size_t index = 0; index < repeats; ++index)
                job += piece;
            PostscriptParser parser;
            ReportRecorder recorder;
            const auto start = std::chrono::steady_clock::now();
            Parse(parser, recorder, job);
            const double taken = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            seconds[run % 2] = std::min(seconds[run % 2], taken);
            EXPECT_LE(parser.GraphicsStateStack().Depth(), repeats) << piece;
            EXPECT_LE(parser.RecentTokens().Length(), 100u);
        }
        // Four times the input: well under sixteen times the time.
        EXPECT_LT(seconds[1], 16 * seconds[0] + 0.05) << piece;
    }
    // A huge unterminated string, hex string and comment.
    for (const char* open : {"(", "<", "<~", "%"}) {
        const std::string job = std::string("%!PS\nshowpage ") + open + std::string(8 << 20, 'a');
        const JobResult result = RunJob(job, 65536);
        EXPECT_EQ(result.mstrPageSets, " 0x0 1/0") << open;
    }
}

TEST(PostscriptGraphicsStateStack, SavesRestoresAndStaysBounded)
{
    PostscriptGraphicsStateStack stack;
    stack.Current().SetColorSpace(COLOR_SPACE_DEVICE_RGB);
    stack.MarkSavedAndPush();
    stack.Current().SetColorSpace(COLOR_SPACE_DEVICE_CMYK);
    stack.Push();
    stack.Current().SetColorSpace(COLOR_SPACE_INDEXED);
    stack.PopToSaved(false);
    EXPECT_EQ(stack.Current().GetColorSpace(), COLOR_SPACE_DEVICE_RGB);
    EXPECT_TRUE(stack.Current().HasBeenSaved());
    EXPECT_EQ(stack.Depth(), 1u);
    // grestoreall keeps the save; restore ends it.
    stack.Current().SetColorSpace(COLOR_SPACE_DEVICE_CMYK);
    stack.PopToSaved(true);
    EXPECT_EQ(stack.Current().GetColorSpace(), COLOR_SPACE_DEVICE_RGB);
    EXPECT_EQ(stack.Depth(), 0u);
    for (size_t index = 0; index < 3 * PostscriptGraphicsStateStack::mintMAX_DEPTH; ++index)
        stack.Push();
    stack.Current().SetColorSpace(COLOR_SPACE_DEVICE_GRAY);
    for (size_t index = 0; index < 2 * PostscriptGraphicsStateStack::mintMAX_DEPTH; ++index)
        stack.Pop();
    EXPECT_EQ(stack.Current().GetColorSpace(), COLOR_SPACE_DEVICE_GRAY);
    stack.Pop();
    EXPECT_EQ(stack.Current().GetColorSpace(), COLOR_SPACE_DEVICE_RGB);
}

// An EPS file with the binary header: a preview before and after the
// PostScript section.
std::string BinaryEps(const std::string& postscript)
{
    const std::string before(100, '\xFF');
    const std::string after = "II*\x00(((binary preview \xAA\xBB";
    std::string header = "\xC5\xD0\xD3\xC6";
    auto put32 = [&header](uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            header.push_back(static_cast<char>((value >> shift) & 0xFF));
    };
    put32(30 + static_cast<uint32_t>(before.size()));
    put32(static_cast<uint32_t>(postscript.size()));
    put32(0);
    put32(0);
    put32(30 + static_cast<uint32_t>(before.size() + postscript.size()));
    put32(static_cast<uint32_t>(after.size()));
    header += "\xFF\xFF";
    return header + before + postscript + after;
}

TEST(EncapsulatedPostscriptParser, ReadsOnlyThePostscriptSection)
{
    const std::string eps = BinaryEps("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 100 50\n"
                                      "0 1 0 setrgbcolor 0 0 10 10 rectfill showpage\n");
    for (const size_t chunk : {eps.size(), size_t{31}, size_t{1}}) {
        const JobResult result = RunJob(eps, chunk);
        // A figure's box lies on a paper: the default paper's page.
        EXPECT_EQ(result.mstrPageSets, " 0x0 0/1") << chunk;
        EXPECT_EQ(result.mintWorstResult, 0) << chunk;
        EXPECT_EQ(result.mintDoneResult, 0) << chunk;
    }
    // The section's last token is flushed when the job ends.
    EXPECT_EQ(RunJob(BinaryEps("showpage"), 64).mstrPageSets, " 0x0 1/0");
    // An offset inside the header never reads the section.
    std::string broken = eps;
    broken[4] = 3;
    broken[5] = 0;
    EXPECT_EQ(RunJob(broken, 16).mstrPageSets, "");
}

TEST(EncapsulatedPostscriptParser, HandsTheBytesAfterASwitchToTheNextLanguage)
{
    const ParserRegistry registry = RegistryWithPjl(false);
    const std::string eps = BinaryEps("showpage\n\x1B%-12345X@PJL EOJ\n");
    const JobResult result = RunJob(eps, eps.size(), registry);
    EXPECT_EQ(StubPjlParser::gstrFirstData.substr(0, 17), "\x1B%-12345X@PJL EOJ");
    EXPECT_EQ(result.mstrPageSets, " 0x0 1/0");
}

}  // namespace

// Names a job defines for its own operators act as those operators; a
// showpage redefined to nothing prints nothing; setpagedevice sizes the
// pages after it; a procedure asking setpagedevice for duplex gives it.
TEST(PostscriptParser, FollowsTheNamesAJobDefines)
{
    struct DefinitionCase {
        const char* job;
        const char* pageSets;
        bool duplex;
    };
    const std::vector<DefinitionCase> cases = {
        // groff: colour operators loaded under short names.
        {"%!PS\n%%EndComments\n%%BeginProlog\n/Cr/setrgbcolor load def/Cg/setgray load def/A/show load def/EP{restore showpage}def\n"
         "%%EndProlog\n1 0 0 Cr(x)A EP 0 Cg(x)A EP\n",
         " 0x0 1/1", false},
        // enscript: a procedure bound to show paints, one around showpage
        // ends the page.
        {"%!PS\n%%EndComments\n%%BeginProlog\n/s{show}bind def/S{gsave showpage grestore}bind def\n%%EndProlog\n"
         "0 0 1 setrgbcolor(x)s S 0 setgray(y)s S\n",
         " 0x0 1/1", false},
        // A procedure that sets the colour and fills.
        {"%!PS\n%%EndComments\n%%BeginProlog\n/Fr{setrgbcolor fill}bind def\n%%EndProlog\n0.5 0.5 0.5 Fr showpage 1 0 0 Fr showpage\n",
         " 0x0 1/1", false},
        // pstops's N-up: the imposed pages' showpage does nothing, the
        // sheet side ends with the saved one.
        {"%!PS\nuserdict/ESPshowpage/showpage load put\nuserdict/showpage{}put\n"
         "showpage showpage ESPshowpage showpage ESPshowpage\nuserdict/showpage/ESPshowpage load put\nshowpage\n",
         " 0x0 3/0", false},
        // a2ps: a procedure that sets a colour it keeps itself takes no
        // colour from the operands before its name.
        {"%!PS\n%%EndComments\n%%BeginProlog\n/bg{gsave bgcolor aload pop setrgbcolor fill grestore}bind def\n"
         "%%EndProlog\n(text) bg showpage\n",
         " 0x0 1/0", false},
        // ImageMagick: a procedure that sets a colour space and draws an
        // image draws a colour image; one that draws in grey does not.
        {"%!PS\n%%EndComments\n%%BeginProlog\n/DCI{/DeviceRGB setcolorspace<</ImageType 1>>image}bind def\n"
         "/GI{/DeviceGray setcolorspace<</ImageType 1>>image}bind def\n%%EndProlog\nDCI showpage GI showpage\n",
         " 0x0 1/1", false},
        // paps misspells the end of its prolog: its pages end it.
        {"%!PS-Adobe-3.0\n%%EndComments\n%%BeginProlog\n/x 1 def\n%%EndPrologue\n%%Page: 1 1\n"
         "1 0 0 setrgbcolor 0 0 9 9 rectfill showpage\n%%Page: 2 2\nshowpage\n",
         " 0x0 1/1", false},
        // The blank page pstops adds so that a two-sided copy starts on a
        // sheet of its own prints nothing.
        {"%!PS-Adobe-3.0\n%%EndComments\n%%Page: 1 1\nshowpage\n%%Page: (filler) 2\nshowpage\n%%Page: 1 3\n"
         "showpage\n%%Page: (filler) 4\nshowpage\n",
         " 0x0 2/0", false},
        // A redefinition inside a procedure may never run.
        {"%!PS\n/BeginEPSF{/showpage{}def}bind def showpage showpage\n", " 0x0 2/0", false},
        // setpagedevice's size, named by the known papers; after pstops
        // turns setpagedevice off the document's own changes nothing.
        {"%!PS\n<</PageSize[612 792]>>setpagedevice showpage\nuserdict/setpagedevice{pop}bind put\n"
         "<</PageSize[595 842]>>setpagedevice showpage\n",
         "Letter 2159x2794 2/0", false},
        // pdftops -duplex: "true pdfSetup" asks for duplex, "false" does not.
        {"%!PS\n/pdfSetup{/setpagedevice where{pop 2 dict begin{/Duplex true def}if currentdict end setpagedevice}"
         "{pop}ifelse}def\ntrue pdfSetup showpage\n",
         " 0x0 1/0", true},
        {"%!PS\n/pdfSetup{/setpagedevice where{pop 2 dict begin{/Duplex true def}if currentdict end setpagedevice}"
         "{pop}ifelse}def\nfalse pdfSetup showpage\n",
         " 0x0 1/0", false},
        // A box drawn inside a known paper is not the paper.
        {"%!PS\n%%BoundingBox: 18 36 577 806\n%%EndComments\n%%Page: 1 1\nshowpage\n", " 0x0 1/0", false},
        {"%!PS\n%%DocumentMedia: A4 595 842 0 () ()\n%%BoundingBox: 18 36 577 806\n%%EndComments\n%%Page: 1 1\n"
         "showpage\n",
         "A4 2099x2970 1/0", false},
        // A procedure set's own "%!" line opens no header.
        {"%!PS-Adobe-3.0\n%%EndComments\n%%BeginProlog\n%%BeginResource: procset x\n%!PS-Adobe-3.0 Resource-ProcSet\n"
         "/EP{showpage}def\n%%EndResource\n%%EndProlog\n%%BeginSetup\n%%BeginFeature: *PageSize Letter\n"
         "<</PageSize[612 792]>>setpagedevice\n%%EndFeature\n%%EndSetup\n%%Page: 1 1\n1 0 0 setrgbcolor 0 0 9 9 "
         "rectfill EP\n",
         "Letter 2159x2794 0/1", false},
    };
    for (const DefinitionCase& sample : cases) {
        const std::string job = sample.job;
        for (const size_t chunk : {job.size(), size_t{1}}) {
            const JobResult result = RunJob(job, chunk);
            EXPECT_EQ(result.mstrPageSets, sample.pageSets) << job << " chunk " << chunk;
            EXPECT_EQ(result.mblnDuplex, sample.duplex) << job;
        }
    }
}

// A Kyocera PPD's job header: a Prescribe block between the PJL lines, the
// universal exit language after its EXIT; the PostScript after it is
// counted with its copies and duplex, wherever the job is cut.
TEST(PostscriptParser, CountsThePostscriptAfterAPrescribeBlockInsidePjl)
{
    const std::string job =
        "\x1b%-12345X@PJL\n@PJL SET KTRAPPING=2\n!R!CRES;SCRN0;RGBL0,0;SATU0;EXIT;\x1b%-12345X@PJL ENTER "
        "LANGUAGE=POSTSCRIPT\n%!PS-Adobe-3.0\n%%Requirements: numcopies(2) duplex\n%%EndComments\n"
        "%%Page: 1 1\n1 0 0 setrgbcolor 0 0 9 9 rectfill showpage\n%%Page: 2 2\nshowpage\n%%EOF\n\x1b%-12345X";
    const JobResult expected{" 0x0 1/1", 2, true, 0, 0, 0};
    // A block left without EXIT ends at the universal exit language.
    std::string withoutExit = job;
    withoutExit.replace(withoutExit.find("EXIT;"), 5, "");
    for (const std::string& sample : {job, withoutExit}) {
        for (const size_t chunk : {sample.size(), size_t{1}, size_t{5}})
            EXPECT_EQ(RunJob(sample, chunk), expected) << chunk;
        ParserTestSupport::ExpectChunkInvariant(ParserTestSupport::ToBytes(sample));
    }
}

// A page-device dictionary built with def reaches setpagedevice as one
// built with << >> does; a value taken from the stack is not known.
TEST(PostscriptParser, ReadsPageDeviceDictionariesBuiltWithDef)
{
    const JobResult built = RunJob("%!PS\n2 dict begin /Duplex true def /NumCopies 3 def currentdict end setpagedevice "
                                   "showpage\n",
                                   64);
    EXPECT_TRUE(built.mblnDuplex);
    EXPECT_EQ(built.mintCopies, 3u);
    const JobResult fromStack =
        RunJob("%!PS\n2 {1 dict begin/NumCopies exch def currentdict end setpagedevice} exec showpage\n", 64);
    EXPECT_FALSE(fromStack.mblnDuplex);
    EXPECT_EQ(fromStack.mintCopies, 1u);
}
