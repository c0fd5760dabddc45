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
#include <memory>
#include <mutex>
#include <strings.h>
#include <unistd.h>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace CVClientData {

namespace {

constexpr auto kComponent = LogComponents::CoreCups;
using Log = ComponentLog<kComponent>;

// Whether the PPD's default duplex choice prints on both sides: the first of
// the duplex options that the PPD has decides.
bool mDefaultIsDuplex(ppd_file_t& ppd)
{
    for (const char* keyword : {"Duplex", "EFDuplex", "KD03Duplex"}) {
        ppd_option_t* option = ppdFindOption(&ppd, keyword);
        if (option == nullptr)
            continue;
        return strcasecmp(option->defchoice, "DuplexNoTumble") == 0 || strcasecmp(option->defchoice, "DuplexTumble") == 0;
    }
    return false;
}

struct PpdCloser {
    void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};

}  // namespace

std::string CupsJobHelper::GetQueueName(const Printer& printer)
{
    std::array<char, HTTP_MAX_URI> scheme{}, user{}, host{}, resource{};
    int port = 0;
    if (!printer.PrinterUri.empty()
        && httpSeparateURI(HTTP_URI_CODING_ALL, printer.PrinterUri.c_str(), scheme.data(), static_cast<int>(scheme.size()),
                           user.data(), static_cast<int>(user.size()), host.data(), static_cast<int>(host.size()), &port,
                           resource.data(), static_cast<int>(resource.size()))
            >= HTTP_URI_STATUS_OK) {
        std::string path = resource.data();
        for (const char* prefix : {"/printers/", "/classes/"})
            if (path.starts_with(prefix) && path.size() > std::strlen(prefix)
                && path.find('/', std::strlen(prefix)) == std::string::npos)
                return path.substr(std::strlen(prefix));
    }
    return printer.Name;
}

void CupsJobHelper::QueryPrinterDriverInformation(Job& job)
{
    DebugScope scope(kComponent, "QueryPrinterDriverInformation");
    ReadDriverInformation(job, FetchPpd(GetQueueName(job.GetPrinter()), cupsServer(), ippPort()));
}

// The server and port are the caller's: libcups keeps them per thread, and
// the fetch may run on a thread of its own.
std::string CupsJobHelper::FetchPpd(const std::string& queue, const std::string& server, int port)
{
    cupsSetServer(server.c_str());
    ippSetPort(port);
    // cupsGetPPD2 looks the local host name up with gethostbyname, which
    // is not safe in several job threads at once.
    static std::mutex fetchLock;
    std::lock_guard<std::mutex> hold(fetchLock);
    const char* fetched = nullptr;
    if (CupsRequest::Connection connection = CupsRequest::Connect())
        fetched = cupsGetPPD2(connection.get(), queue.c_str());
    return fetched != nullptr ? fetched : "";
}

void CupsJobHelper::ReadDriverInformation(Job& job, const std::string& ppdPath)
{
    Printer& printer = job.GetPrinter();
    Log::Debug("CupsJobHelper::QueryPrinterDriverInformation - getting information for printer with name %s",
               printer.Name);
    Log::Debug("CupsJobHelper::QueryPrinterDriverInformation - PPD filename is [%s]", ppdPath);
    if (ppdPath.empty()) {
        return;
    }

    if (std::unique_ptr<ppd_file_t, PpdCloser> ppd{ppdOpenFile(ppdPath.c_str())}) {
        if (!job.FoundJobColorInfo)
            job.ColorMode = ppd->color_device != 0;
        if (!job.FoundJobDuplexInfo)
            job.Costing.IsDuplex = mDefaultIsDuplex(*ppd);
        if (ppd->num_sizes > 0 && ppd->sizes != nullptr) {
            Log::Debug("CupsJobHelper::QueryPrinterDriverInformation - Getting page information");
            const ppd_size_t& size = ppd->sizes[0];
            PageSet& pageSet = job.DefaultPageSet;
            pageSet.SizeName = size.name;
            pageSet.Width = PointsToTenthsOfMillimetre(size.width);
            pageSet.Height = PointsToTenthsOfMillimetre(size.length);
            pageSet.PageUnits = 1;
            pageSet.BWPages = 0;
            pageSet.ColorPages = static_cast<int32_t>(std::min<uint64_t>(job.CUPSNumberOfPages, INT32_MAX));
            Log::Debug("CupsJobHelper::QueryPrinterDriverInformation - ppdFile->sizes->name = %s", size.name);
            Log::Debug("CupsJobHelper::QueryPrinterDriverInformation - ppdFile->sizes->width = %s",
                       std::to_string(size.width));
            Log::Debug("CupsJobHelper::QueryPrinterDriverInformation - ppdFile->sizes->length = %s",
                       std::to_string(size.length));
        }
        ReadAttributesFromDriverForPrinter(printer, *ppd);
    }
    // cupsGetPPD2 hands out a temporary copy.
    unlink(ppdPath.c_str());
}

void CupsJobHelper::ReadAttributesFromDriverForPrinter(Printer& printer, const ppd_file_t& ppd)
{
    std::string driver;
    if (ppd.manufacturer != nullptr)
        driver = std::string(ppd.manufacturer) + " ";
    if (ppd.product != nullptr)
        driver += ppd.product;
    printer.Driver = driver;
    if (ppd.nickname != nullptr)
        printer.DriverVersion = ppd.nickname;
    Log::Debug("Printer Driver = %s", printer.Driver);
    Log::Debug("Printer Driver Version = %s", printer.DriverVersion);
}

}  // namespace CVClientData
