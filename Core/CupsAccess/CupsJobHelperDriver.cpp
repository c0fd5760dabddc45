// The PPD side of the CUPS job helper. The PPD API is deprecated in libcups
// but remains the only source of a queue's driver facts (colour device,
// duplex default, first page size, maker and nickname) for PPD queues.
#include "Core/CupsAccess/CupsJobHelper.h"
#include "Core/CupsAccess/CupsRequest.h"
#include "Core/CupsAccess/PaperUnits.h"

#include "Core/CVModels/Job.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"

#include <cups/cups.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <unistd.h>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace CVClientData {

namespace {

constexpr auto kComponent = LogComponents::CoreCups;
using Log = ComponentLog<kComponent>;

struct PpdCloser {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};

}  // namespace

namespace {

// The queue of a printer URI at the local server whose path begins with one
// of the prefixes ("/printers/<queue>"), or nothing.
std::optional<std::string> mQueueOfUri(const std::string& uri, std::initializer_list<const char*> prefixes)
{
    std::array<char, HTTP_MAX_URI> scheme{}, user{}, host{}, resource{};
    int port = 0;
    if (uri.empty()
        || httpSeparateURI(HTTP_URI_CODING_ALL, uri.c_str(), scheme.data(), static_cast<int>(scheme.size()),
                           user.data(), static_cast<int>(user.size()), host.data(), static_cast<int>(host.size()), &port,
                           resource.data(), static_cast<int>(resource.size()))
               < HTTP_URI_STATUS_OK)
        return std::nullopt;
    std::string path = resource.data();
    for (const char* prefix : prefixes)
        if (path.starts_with(prefix) && path.size() > std::strlen(prefix)
            && path.find('/', std::strlen(prefix)) == std::string::npos)
            return path.substr(std::strlen(prefix));
    return std::nullopt;
}

}  // namespace

std::string CupsJobHelper::GetQueueName(const Printer& printer)
{
    return mQueueOfUri(printer.PrinterUri, {"/printers/", "/classes/"}).value_or(printer.Name);
}

void CupsJobHelper::QueryPrinterDriverInformation(Job& job, http_t* connection)
{
    DebugScope scope(kComponent, "QueryPrinterDriverInformation");
    ReadDriver(job, FetchDriver(job.GetPrinter(), connection));
}

// A printer queue's PPD is asked for by its own path, and read again only
// when it changed; a class's (which CUPS takes from a member) is fetched
// through libcups, as is a printer's when its own path gives no file.
CupsJobHelper::DriverSource CupsJobHelper::FetchDriver(const Printer& printer, http_t* connection)
{
    DriverSource source;
    if (std::optional<std::string> queue = mQueueOfUri(printer.PrinterUri, {"/printers/"})) {
        source.fetched = PpdFactsCache::Fetch(*queue, connection);
        source.name = "/printers/" + *queue + ".ppd";
        if (source.fetched.outcome != PpdFactsCache::Outcome::Unavailable)
            return source;
    }
    source.name = FetchPpd(GetQueueName(printer));
    source.isFile = true;
    return source;
}

std::string CupsJobHelper::FetchPpd(const std::string& queue)
{
    // cupsGetPPD2 looks the local host name up with gethostbyname, which
    // is not safe in several job threads at once.
    static std::mutex fetchLock;
    std::lock_guard<std::mutex> hold(fetchLock);
    const char* fetched = nullptr;
    if (CupsRequest::Connection connection = CupsRequest::Connect())
        fetched = cupsGetPPD2(connection.get(), queue.c_str());
    return fetched != nullptr ? fetched : "";
}

void CupsJobHelper::ReadDriver(Job& job, const DriverSource& source)
{
    Log::Debug("CupsJobHelper::QueryPrinterDriverInformation - getting information for printer with name %s",
               job.GetPrinter().Name);
    Log::Debug("CupsJobHelper::QueryPrinterDriverInformation - PPD filename is [%s]", source.name);
    if (!source.isFile) {
        if (source.fetched.unchanged)
            Log::Debug("CupsJobHelper::QueryPrinterDriverInformation - the PPD is unchanged since it was last read");
        if (source.fetched.outcome == PpdFactsCache::Outcome::Facts)
            ApplyDriverFacts(job, source.fetched.facts);
        return;
    }
    if (source.name.empty())
        return;
    if (std::unique_ptr<ppd_file_t, PpdCloser> ppd{ppdOpenFile(source.name.c_str())})
        ApplyDriverFacts(job, PpdFacts::Read(*ppd));
    // cupsGetPPD2 hands out a temporary copy.
    unlink(source.name.c_str());
}

void CupsJobHelper::ApplyDriverFacts(Job& job, const PpdFacts& facts)
{
    if (!job.FoundJobColorInfo)
        job.ColorMode = facts.colourDevice;
    if (!job.FoundJobDuplexInfo)
        job.Costing.IsDuplex = facts.duplexByDefault;
    if (facts.hasPageSize) {
        Log::Debug("CupsJobHelper::QueryPrinterDriverInformation - Getting page information");
        PageSet& pageSet = job.DefaultPageSet;
        pageSet.SizeName = facts.pageSizeName;
        pageSet.Width = PointsToTenthsOfMillimetre(facts.pageWidth);
        pageSet.Height = PointsToTenthsOfMillimetre(facts.pageLength);
        pageSet.PageUnits = 1;
        pageSet.BWPages = 0;
        pageSet.ColorPages = static_cast<int32_t>(std::min<uint64_t>(job.CUPSNumberOfPages, INT32_MAX));
        Log::Debug("CupsJobHelper::QueryPrinterDriverInformation - ppdFile->sizes->name = %s", facts.pageSizeName);
        Log::Debug("CupsJobHelper::QueryPrinterDriverInformation - ppdFile->sizes->width = %s",
                   std::to_string(facts.pageWidth));
        Log::Debug("CupsJobHelper::QueryPrinterDriverInformation - ppdFile->sizes->length = %s",
                   std::to_string(facts.pageLength));
    }
    ReadAttributesFromDriverForPrinter(job.GetPrinter(), facts);
}

void CupsJobHelper::ReadAttributesFromDriverForPrinter(Printer& printer, const PpdFacts& facts)
{
    printer.Driver = facts.driver;
    if (facts.driverVersion)
        printer.DriverVersion = *facts.driverVersion;
    Log::Debug("Printer Driver = %s", printer.Driver);
    Log::Debug("Printer Driver Version = %s", printer.DriverVersion);
}

}  // namespace CVClientData
