// Reading job and printer attributes from IPP messages built here, with the
// attributes that only the other platform's print system sends.
#include "Core/CVModels/Job.h"
#include "Core/CupsAccess/CupsJobHelper.h"
#include "Core/CupsAccess/CupsResponse.h"
#include "Core/PrinterAddress/PrinterAddressHelper.h"
#include "CoreLogger/NonUnifiedLogger.h"

#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <cups/cups.h>

using namespace CVClientData;

namespace {

constexpr const char* kRect = "com.apple.print.preset.PaperInfo..d.paperInfo..d.com.apple.print.PaperInfo.PMUnadjustedPaperRect..a.";

// An attribute of a built response: a name, its value tag and its value.
struct Attribute {
    std::string name;
    ipp_tag_t tag;
    std::string text;  // for strings
    int number = 0;    // for integers, enumerations and booleans
};

Attribute Name(std::string name, std::string value) { return {std::move(name), IPP_TAG_NAME, std::move(value)}; }
Attribute Integer(std::string name, int value) { return {std::move(name), IPP_TAG_INTEGER, "", value}; }

// A successful response holding the attributes in the job group.
std::unique_ptr<CupsResponse> Response(const std::vector<Attribute>& attributes, ipp_status_t status = IPP_STATUS_OK,
                                       ipp_tag_t group = IPP_TAG_JOB)
{
    ipp_t* message = ippNew();
    ippSetStatusCode(message, status);
    ippAddString(message, IPP_TAG_OPERATION, IPP_TAG_CHARSET, "attributes-charset", nullptr, "utf-8");
    for (const auto& a : attributes) {
        switch (a.tag) {
        case IPP_TAG_INTEGER:
        case IPP_TAG_ENUM:
            ippAddInteger(message, group, a.tag, a.name.c_str(), a.number);
            break;
        case IPP_TAG_BOOLEAN:
            ippAddBoolean(message, group, a.name.c_str(), static_cast<char>(a.number));
            break;
        default:
            ippAddString(message, group, a.tag, a.name.c_str(), nullptr, a.text.c_str());
        }
    }
    return std::make_unique<CupsResponse>(message);
}

Job ReadJob(const std::vector<Attribute>& attributes)
{
    Job job;
    CupsJobHelper::ReadAttributesFromCupsResponseForJob(job, *Response(attributes));
    return job;
}

std::string ComputerNameForm(std::string host)
{
    std::replace(host.begin(), host.end(), '.', '_');
    return host;
}

}  // namespace

TEST(ResponseReading, PagesAndCopies)
{
    TestSupport::TempRoot root;
    struct Case {
        const char* label;
        std::vector<Attribute> attributes;
        uint64_t copies, pages;
    };
    const Case cases[] = {
        {"print settings", {Name("com.apple.print.PrintSettings.PMTotalBeginPages..n.", "12"),
                            Name("com.apple.print.PrintSettings.PMCopies..n.", "3"), Integer("copies", 7)}, 3, 4},
        {"ipp counts", {Integer("copies", 2), Integer("job-media-sheets-completed", 0), Integer("job-impressions", 6)}, 2, 3},
        {"sheets first", {Integer("job-media-sheets-completed", 5), Integer("job-impressions", 9)}, 1, 5},
        {"raw job on this platform", {Integer("copies", 1), Integer("job-impressions-completed", 0)}, 1, 0},
        {"zero pages fall back", {Name("com.apple.print.PrintSettings.PMTotalBeginPages..n.", "0"), Integer("job-impressions", 8)}, 1, 8},
        {"number with text after it", {Name("com.apple.print.PrintSettings.PMCopies..n.", "2 copies"), Integer("job-impressions", 8)}, 2, 4},
        {"not a number", {Name("com.apple.print.PrintSettings.PMCopies..n.", "many"), Integer("job-impressions", 8)}, 0, 0},
        {"negative count", {Integer("copies", -3), Integer("job-impressions", 8)}, 0, 0},
    };
    for (const auto& c : cases) {
        Job job = ReadJob(c.attributes);
        EXPECT_EQ(job.Costing.Copies, c.copies) << c.label;
        EXPECT_EQ(job.CUPSNumberOfPages, c.pages) << c.label;
        EXPECT_EQ(static_cast<uint64_t>(job.DefaultPageSet.BWPages), c.pages) << c.label;
    }
}

TEST(ResponseReading, ColourAndDuplexSettings)
{
    TestSupport::TempRoot root;
    const std::string filter = "com.apple.print.PrintSettings.QuartzFilter";
    const std::string duplex = "com.apple.print.PrintSettings.PMDuplexing..n.";
    struct Case {
        std::vector<Attribute> attributes;
        bool foundColor, color, foundDuplex, isDuplex;
    };
    const Case cases[] = {
        {{Name(filter, "/System/Library/Filters/Black%20&%20White.qfilter"), Name("ColorModel", "CMYK")}, true, false, false, false},
        {{Name(filter, "Gray%20Tone.qfilter")}, true, false, false, false},
        {{Name(filter, "Sepia.qfilter"), Name("ColorModel", "CMYK")}, true, true, false, false},
        {{Name("ColorModel", "Gray")}, true, false, false, false},
        {{Name("ColorModel", "RGB"), Name("ARCMode", "CMBW")}, true, false, false, false},
        {{Name("ARCMode", "CMCM")}, true, true, false, false},
        {{Name("ColorModel", "RGB")}, false, false, false, false},
        {{Name(duplex, "1")}, false, false, true, false},
        {{Name(duplex, "2")}, false, false, true, true},
        {{Name(duplex, "3")}, false, false, true, true},
    };
    int index = 0;
    for (const auto& c : cases) {
        Job job = ReadJob(c.attributes);
        EXPECT_EQ(job.FoundJobColorInfo, c.foundColor) << index;
        EXPECT_EQ(job.ColorMode, c.color) << index;
        EXPECT_EQ(job.FoundJobDuplexInfo, c.foundDuplex) << index;
        EXPECT_EQ(job.Costing.IsDuplex, c.isDuplex) << index;
        ++index;
    }
}

TEST(ResponseReading, LayoutPaperNamesAndOrigin)
{
    TestSupport::TempRoot root;
    Job job = ReadJob({
        Attribute{"com.apple.print.PrintSettings.PMLayoutNUp..b.", IPP_TAG_BOOLEAN, "", 1},
        Name("com.apple.print.PrintSettings.PMLayoutColumns..n.", "2"),
        Name("com.apple.print.PrintSettings.PMLayoutRows..n.", ""),
        Name("job-originating-host-name", "ws12.corp.example"),
        Name("com.apple.print.JobInfo.PMApplicationName", "TextEdit"),
        Attribute{"job-printer-uri", IPP_TAG_URI, "ipp://localhost/printers/Front_Desk"},
        Name("com.apple.print.PageToPaperMappingMediaName", "iso-a4"),
        Attribute{"media", IPP_TAG_KEYWORD, "na_letter_8.5x11in"},
        Name(std::string(kRect) + "0..n.", "-18"),
        Name(std::string(kRect) + "1..n.", "-18"),
        Name(std::string(kRect) + "2..n.", "774"),
        Name(std::string(kRect) + "3..n.", "594"),
        Name("job-name", "Quarterly Report"),
        Name("com.apple.print.JobInfo.PMJobOwner", "Alice Doe"),
    });
    EXPECT_EQ(job.Costing.NUpCount, 2u);
    EXPECT_EQ(job.GetComputerName(), "ws12_corp_example");
    EXPECT_EQ(job.ProcessName, "TextEdit");
    EXPECT_EQ(job.GetPrinter().PrinterUri, "ipp://localhost/printers/Front_Desk");
    EXPECT_EQ(job.DefaultPageSet.SizeName, "iso-a4");
    EXPECT_EQ(job.DefaultPageSet.Width, 2159);
    EXPECT_EQ(job.DefaultPageSet.Height, 2794);
    EXPECT_EQ(job.DefaultPageSet.PageUnits, 1);
    EXPECT_EQ(job.DocumentName, "Quarterly Report");
    EXPECT_EQ(job.GetUser().DisplayName, "Alice Doe");

    Job plain = ReadJob({Name("job-originating-host-name", "localhost"), Attribute{"media", IPP_TAG_KEYWORD, "iso_a4_210x297mm"}});
    EXPECT_EQ(plain.Costing.NUpCount, 1u);
    EXPECT_EQ(plain.GetComputerName(), ComputerNameForm(PrinterAddressHelper::GetLocalHostName()));
    EXPECT_EQ(plain.ProcessName, "Unknown");
    EXPECT_EQ(plain.DefaultPageSet.SizeName, "iso_a4_210x297mm");
    EXPECT_EQ(plain.DefaultPageSet.Width, 0);
    EXPECT_EQ(plain.GetUser().DisplayName, "");
}

TEST(ResponseReading, PrinterCapabilitiesNameAndLocation)
{
    TestSupport::TempRoot root;
    struct Case {
        int type;
        bool color, duplex;
    };
    for (const Case& c : {Case{8, true, false}, Case{24, true, true}, Case{4 | 16, false, true}, Case{0, false, false}}) {
        Printer printer;
        printer.PrinterUri = "ipp://localhost:631/printers/Front_Desk";
        auto response = Response({Name("printer-name", "Front_Desk%20Laser"),
                                  Attribute{"printer-make-and-model", IPP_TAG_TEXT, "Acme Laser 9000"},
                                  Attribute{"printer-location", IPP_TAG_TEXT, "Bob\xE2\x80\x99s desk \xE2\x80\x99"},
                                  Attribute{"printer-type", IPP_TAG_ENUM, "", c.type}},
                                 IPP_STATUS_OK, IPP_TAG_PRINTER);
        CupsJobHelper::ReadAttributesFromCupsResponseForPrinter(printer, *response);
        EXPECT_EQ(printer.ColorCapable, c.color) << c.type;
        EXPECT_EQ(printer.DuplexCapable, c.duplex) << c.type;
        EXPECT_EQ(printer.Name, "Front Desk Laser");
        EXPECT_EQ(printer.ManufacturerModel, "Acme Laser 9000");
        EXPECT_EQ(printer.Location, "Bob_s desk _");
        // Without a device URI the printer URI names the device.
        EXPECT_EQ(printer.Host, "localhost");
        EXPECT_EQ(printer.Port, "\\\\localhost\\/printers/Front Desk");
        EXPECT_EQ(CupsJobHelper::GetQueueName(printer), "Front_Desk");
    }
}

TEST(ResponseReading, TypedLookUpsMatchNameAndTag)
{
    TestSupport::TempRoot root;
    auto response = Response({Integer("copies", 4), Name("job-name", "Report"), Attribute{"job-state", IPP_TAG_ENUM, "", 5},
                              Attribute{"printer-is-shared", IPP_TAG_BOOLEAN, "", 1},
                              Name("com.apple.print.JobInfo.PMJobName", "Match me"),
                              Attribute{"com.apple.print.JobInfo.PMOther", IPP_TAG_KEYWORD, "keyword"}},
                             IPP_STATUS_OK_CONFLICTING);
    EXPECT_EQ(response->GetStatus(), IPP_STATUS_OK_CONFLICTING);
    EXPECT_EQ(response->GetIntegerValue("copies", 1), 4);
    EXPECT_EQ(response->GetIntegerValue("job-state", -1), -1);  // an enumeration, not an integer
    EXPECT_EQ(response->GetEnumValue("job-state", -1), 5);
    EXPECT_TRUE(response->GetBooleanValue("printer-is-shared", false));
    EXPECT_TRUE(response->GetBooleanValue("missing", true));
    EXPECT_EQ(response->GetNameValue("job-name"), "Report");
    EXPECT_EQ(response->GetTextValue("job-name"), "");
    EXPECT_EQ(response->GetKeywordValue("com.apple.print.JobInfo.PMOther"), "keyword");
    EXPECT_EQ(response->GetUriValue("job-name"), "");
    EXPECT_EQ(response->GetNameValueMatch("JobInfo", "PMJob"), "Match me");
    EXPECT_EQ(response->GetNameValueMatch("JobInfo", "PMOther"), "");  // a keyword, not a name

    response->DumpAttributesToDebug();
    std::string log = TestSupport::ReadFileText(CoreLogger::NonUnifiedLogger().LogFilePath());
    EXPECT_NE(log.find("Attribute: copies, group tag: 2, value tag: 33, value: 4"), std::string::npos) << log;
    EXPECT_NE(log.find("Attribute: printer-is-shared, group tag: 2, value tag: 34, value: true"), std::string::npos);
    EXPECT_NE(log.find("Attribute: job-name, group tag: 2, value tag: 66, value: Report"), std::string::npos);
}
