#include "Core/CupsAccess/CupsJobHelper.h"

#include "Common/StringFormat.h"
#include "Core/CVModels/ClientEnvironment.h"
#include "Core/CVModels/Job.h"
#include "Core/CupsAccess/CupsRequest.h"
#include "Core/CupsAccess/CupsResponse.h"
#include "Core/CupsAccess/PaperUnits.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"

#include <cups/cups.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <string>
#include <vector>

namespace CVClientData {

namespace {

constexpr auto kComponent = LogComponents::CoreCups;
using Log = ComponentLog<kComponent>;

// Job origins of the server: a fax queue, or an ordinary print job.
constexpr int32_t kJobTypePrint = 1;
constexpr int32_t kJobTypeFax = 3;

constexpr const char* kPaperRectPrefix =
    "com.apple.print.preset.PaperInfo..d.paperInfo..d.com.apple.print.PaperInfo.PMUnadjustedPaperRect..a.";

// The whole number at the start of a text (after blanks, with a sign), as
// the system's print settings write numbers; 0 when there is none.
long long mLeadingInteger(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos)
        return 0;
    const char* first = text.data() + start;
    if (*first == '+')
        ++first;
    long long value = 0;
    auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    return error == std::errc() ? value : 0;
}

// A count from outside: never negative.
uint64_t mCount(long long value)
{
    return value > 0 ? static_cast<uint64_t>(value) : 0;
}

bool mContains(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// The job attributes read below, and only those: the whole set costs the
// scheduler most of its answer's time.
std::vector<std::string> ReadJobAttributes()
{
    std::vector<std::string> names{"com.apple.print.PrintSettings.PMCopies..n.",
                                   "copies",
                                   "com.apple.print.PrintSettings.PMTotalBeginPages..n.",
                                   "job-media-sheets-completed",
                                   "job-impressions",
                                   "com.apple.print.PrintSettings.PMLayoutNUp..b.",
                                   "com.apple.print.PrintSettings.PMLayoutColumns..n.",
                                   "com.apple.print.PrintSettings.PMLayoutRows..n.",
                                   "job-originating-host-name",
                                   "com.apple.print.JobInfo.PMApplicationName",
                                   "job-printer-uri",
                                   "job-name",
                                   "com.apple.print.JobInfo.PMJobOwner",
                                   "com.apple.print.PageToPaperMappingMediaName",
                                   "media",
                                   "com.apple.print.PrintSettings.QuartzFilter",
                                   "ColorModel",
                                   "ARCMode",
                                   "com.apple.print.PrintSettings.PMDuplexing..n."};
    for (char index : {'0', '1', '2', '3'})
        names.push_back(kPaperRectPrefix + std::string(1, index) + "..n.");
    return names;
}

// The status codes whose response carries the attributes asked for.
bool mIsUsable(ipp_status_t status)
{
    return status == IPP_STATUS_OK || status == IPP_STATUS_OK_CONFLICTING;
}

// The copies, and the pages of one copy as the job's default page set.
void ReadCopiesAndPages(Job& job, const CupsResponse& response)
{
    std::string copiesText = response.GetNameValue("com.apple.print.PrintSettings.PMCopies..n.");
    long long copies = copiesText.empty() ? response.GetIntegerValue("copies", 1) : mLeadingInteger(copiesText);
    job.Costing.Copies = mCount(copies);

    long long pages = mLeadingInteger(response.GetNameValue("com.apple.print.PrintSettings.PMTotalBeginPages..n."));
    if (pages == 0)
        pages = response.GetIntegerValue("job-media-sheets-completed", 0);
    if (pages == 0)
        pages = response.GetIntegerValue("job-impressions", 0);
    if (job.Costing.Copies != 0) {
        uint64_t perCopy = mCount(pages) / job.Costing.Copies;
        job.CUPSNumberOfPages = perCopy;
        job.DefaultPageSet.BWPages = static_cast<int32_t>(std::min<uint64_t>(perCopy, INT32_MAX));
    }
}

// The pages laid out on one sheet: columns times rows when the layout is on.
void ReadLayout(Job& job, const CupsResponse& response)
{
    if (!response.GetBooleanValue("com.apple.print.PrintSettings.PMLayoutNUp..b.", false)) {
        job.Costing.NUpCount = 1;
        return;
    }
    std::string columns = response.GetNameValue("com.apple.print.PrintSettings.PMLayoutColumns..n.");
    std::string rows = response.GetNameValue("com.apple.print.PrintSettings.PMLayoutRows..n.");
    uint64_t columnCount = columns.empty() ? 1 : mCount(mLeadingInteger(columns));
    uint64_t rowCount = rows.empty() ? 1 : mCount(mLeadingInteger(rows));
    job.Costing.NUpCount = columnCount * rowCount;
}

// Where the job comes from: computer, application, printer, document, owner.
void ReadOrigin(Job& job, const CupsResponse& response)
{
    std::string host = response.GetNameValue("job-originating-host-name");
    job.SetComputerName(host == "localhost" ? CupsJobHelper::GetLocalHostName() : host);

    std::string application = response.GetNameValue("com.apple.print.JobInfo.PMApplicationName");
    job.ProcessName = application.empty() ? "Unknown" : application;

    job.GetPrinter().PrinterUri = response.GetUriValue("job-printer-uri");
    job.DocumentName = response.GetNameValue("job-name");

    std::string owner = response.GetNameValue("com.apple.print.JobInfo.PMJobOwner");
    if (!owner.empty())
        job.GetUser().DisplayName = owner;
}

// The default page set's paper name and, from the paper rectangle, its size.
void ReadDefaultPaper(Job& job, const CupsResponse& response)
{
    if (job.DefaultPageSet.SizeName.empty()) {
        std::string media = response.GetNameValue("com.apple.print.PageToPaperMappingMediaName");
        job.DefaultPageSet.SizeName = media.empty() ? response.GetKeywordValue("media") : media;
    }

    // The paper rectangle: top (0), left (1), bottom (2), right (3), in points.
    auto rectValue = [&](char index) {
        return static_cast<double>(mLeadingInteger(response.GetNameValue((kPaperRectPrefix + std::string(1, index) + "..n.").c_str())));
    };
    if (job.DefaultPageSet.Width == 0) {
        job.DefaultPageSet.Width = PointsToTenthsOfMillimetre(rectValue('3') + std::fabs(rectValue('1')));
        job.DefaultPageSet.PageUnits = 1;
    }
    if (job.DefaultPageSet.Height == 0) {
        job.DefaultPageSet.Height = PointsToTenthsOfMillimetre(rectValue('2') + std::fabs(rectValue('0')));
        job.DefaultPageSet.PageUnits = 1;
    }
}

// Colour or mono from the first attribute that tells: the print filter, the
// colour model, then the driver's colour mode.
void ReadColour(Job& job, const CupsResponse& response)
{
    std::string quartzFilter = response.GetNameValue("com.apple.print.PrintSettings.QuartzFilter");
    if (mContains(quartzFilter, "Black%20&%20White") || mContains(quartzFilter, "Gray%20Tone")) {
        job.ColorMode = false;
        job.FoundJobColorInfo = true;
    }
    if (!job.FoundJobColorInfo) {
        std::string colorModel = response.GetNameValue("ColorModel");
        if (mContains(colorModel, "CMYK")) {
            job.ColorMode = true;
            job.FoundJobColorInfo = true;
        } else if (mContains(colorModel, "Gray")) {
            job.ColorMode = false;
            job.FoundJobColorInfo = true;
        }
    }
    if (!job.FoundJobColorInfo) {
        std::string arcMode = response.GetNameValue("ARCMode");
        if (!arcMode.empty()) {
            job.ColorMode = !mContains(arcMode, "CMBW");
            job.FoundJobColorInfo = true;
        }
    }
}

// Duplex when the print settings name a duplexing mode other than 1.
void ReadDuplex(Job& job, const CupsResponse& response)
{
    std::string duplexing = response.GetNameValue("com.apple.print.PrintSettings.PMDuplexing..n.");
    if (!duplexing.empty()) {
        job.FoundJobDuplexInfo = true;
        job.Costing.IsDuplex = !mContains(duplexing, "1");
    }
}

}  // namespace

void CupsJobHelper::QueryEnvironment(Job& job, const CVCoreDataServices::ClientEnvironment& environment)
{
    job.GetUser().NetworkName = environment.UserName;
    job.TransactionFrom = environment.JobSource;
    job.OperatingSystem = environment.OperatingSystem;
}

bool CupsJobHelper::QuerySpooler(Job& job, uint64_t jobId, const std::function<void()>& printerKnown)
{
    DebugScope scope(kComponent, "QuerySpooler");
    job.CupsId = jobId;
    // One connection carries the three exchanges.
    CupsRequest::Connection connection = CupsRequest::Connect();
    bool found = QuerySpoolerJobInfo(job, connection.get());
    QuerySpoolerPrinterInformation(job, connection.get());
    if (printerKnown)
        printerKnown();
    // A PPD read for an earlier job is only asked about: one short exchange
    // with the server, which sends the file again only when it changed.
    QueryPrinterDriverInformation(job, connection.get());
    job.JobType = job.GetPrinter().Port.starts_with("fax:") ? kJobTypeFax : kJobTypePrint;
    return found;
}

bool CupsJobHelper::QuerySpoolerJobInfo(Job& job, http_t* connection)
{
    DebugScope scope(kComponent, "QuerySpoolerJobInfo");
    std::string jobUri = stringFormat("ipp://localhost:%d/jobs/%llu", ippPort(),
                                      static_cast<unsigned long long>(job.CupsId));
    CupsRequest request;
    request.SetResource("/");
    request.SetOperation(IPP_OP_GET_JOB_ATTRIBUTES);
    request.AddUriAttribute("job-uri", jobUri);
    request.AddNameAttribute("requesting-user-name", job.GetUser().NetworkName);
    static const std::vector<std::string> names = ReadJobAttributes();
    request.AddRequestedAttributes(names);
    bool found = false;
    if (auto response = request.SendRequest(connection)) {
        found = mIsUsable(response->GetStatus());
        if (found)
            ReadAttributesFromCupsResponseForJob(job, *response);
        else
            Log::Debug("CupsJobHelper::QuerySpoolerJobInfo - CUPS Response Error.  Code: %d",
                       static_cast<int>(response->GetStatus()));
    }
    std::time_t now = std::time(nullptr);
    gmtime_r(&now, &job.DatePrinted);
    return found;
}

// Reads the job's copies and pages, layout, origin, default paper, colour and
// duplex from CUPS's answer, each step leaving what the answer lacks as it was.
void CupsJobHelper::ReadAttributesFromCupsResponseForJob(Job& job, const CupsResponse& response)
{
    DebugScope scope(kComponent, "ReadAttributesFromCupsResponseForJob");
    response.DumpAttributesToDebug();
    ReadCopiesAndPages(job, response);
    ReadLayout(job, response);
    ReadOrigin(job, response);
    ReadDefaultPaper(job, response);
    ReadColour(job, response);
    ReadDuplex(job, response);
}

void CupsJobHelper::QuerySpoolerPrinterInformation(Job& job, http_t* connection)
{
    DebugScope scope(kComponent, "QuerySpoolerPrinterInformation");
    Printer& printer = job.GetPrinter();
    Log::Debug("CupsJobHelper::QuerySpoolerPrinterInformation - Getting Information for printer with URI: %s",
               printer.PrinterUri);
    CupsRequest request;
    request.SetResource("/");
    request.SetOperation(IPP_OP_GET_PRINTER_ATTRIBUTES);
    request.AddUriAttribute("printer-uri", printer.PrinterUri);
    request.AddNameAttribute("requesting-user-name", job.GetUser().NetworkName);
    // Only what is read: the whole set (media and finishing lists, the
    // driver's options) costs the scheduler most of the answer's time.
    request.AddRequestedAttributes(
        {"device-uri", "printer-name", "printer-make-and-model", "printer-location", "printer-type"});
    auto response = request.SendRequest(connection);
    if (!response)
        Log::Debug("CupsJobHelper::QuerySpoolerPrinterInformation - Null Response received.");
    else if (!mIsUsable(response->GetStatus()))
        Log::Debug("CupsJobHelper::QuerySpoolerPrinterInformation - CUPS Response Error.  Code: %d",
                   static_cast<int>(response->GetStatus()));
    else
        ReadAttributesFromCupsResponseForPrinter(printer, *response);
}

void CupsJobHelper::ReadAttributesFromCupsResponseForPrinter(Printer& printer, const CupsResponse& response)
{
    DebugScope scope(kComponent, "ReadAttributesFromCupsResponseForPrinter");
    std::string deviceUri = response.GetUriValue("device-uri");
    if (deviceUri.empty()) {
        Log::Debug(
            "CupsJobHelper::ReadAttributesFromCupsResponse - CUPS returned null device-uri.  Falling back to printer-uri.");
        deviceUri = printer.PrinterUri;
    }
    DeterminePrinterHostAndPort(printer, deviceUri);

    printer.Name = response.GetNameValue("printer-name");
    FixPrinterUrlString(printer.Name);
    printer.ManufacturerModel = response.GetTextValue("printer-make-and-model");
    printer.Location = response.GetTextValue("printer-location");
    StringReplaceAll(printer.Location, "\xE2\x80\x99", "_");
    Log::Debug("Printer Name:     '%s'", printer.Name);
    Log::Debug("Printer Model:    '%s'", printer.ManufacturerModel);
    Log::Debug("Printer Location: '%s'", printer.Location);

    int type = response.GetEnumValue("printer-type", 0);
    printer.ColorCapable = (type & CUPS_PRINTER_COLOR) != 0;
    printer.DuplexCapable = (type & CUPS_PRINTER_DUPLEX) != 0;
}

void CupsJobHelper::DeterminePrinterHostAndPort(Printer& printer, const std::string& deviceUri)
{
    PrinterDeviceAddress address = DeterminePrinterDeviceAddress(deviceUri);
    if (address.Host)
        printer.Host = *address.Host;
    if (address.Port)
        printer.Port = *address.Port;
    if (address.MACAddress)
        printer.MACAddress = *address.MACAddress;
}

}  // namespace CVClientData
