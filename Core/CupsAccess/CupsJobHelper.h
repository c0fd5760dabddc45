#pragma once

#include "Core/CupsAccess/PpdFacts.h"
#include "Core/PrinterAddress/PrinterAddressHelper.h"

#include <functional>
#include <string>

namespace CVCoreDataServices {
struct ClientEnvironment;
}

namespace CVClientData {

class CupsResponse;
class Job;
class Printer;

// Fills a job record from the local CUPS server before the job is judged:
// the job's attributes, the printer's attributes with its device address,
// and the printer's PPD. Stateless; every operation is static. The device
// address operations come from PrinterAddressHelper.
class CupsJobHelper : public PrinterAddressHelper {
public:
    // Takes what the client knows of itself: the job's user is the client's
    // user, the job comes from this client and runs on its operating system.
    static void QueryEnvironment(Job& job, const CVCoreDataServices::ClientEnvironment& environment);

    // Sets the job's CUPS id, then reads the job, the printer and its driver,
    // each later step overriding what an earlier one set, and the job type;
    // printerKnown (when given) is called once the printer's attributes are
    // read. Whether CUPS holds the job.
    static bool QuerySpooler(Job& job, uint64_t jobId, const std::function<void()>& printerKnown = {});

    // Whether CUPS answered for the job. These three ask on the connection
    // given, else on one of their own.
    static bool QuerySpoolerJobInfo(Job& job, http_t* connection = nullptr);
    static void QuerySpoolerPrinterInformation(Job& job, http_t* connection = nullptr);
    static void QueryPrinterDriverInformation(Job& job, http_t* connection = nullptr);

    // Where a job's driver facts come from: the facts of the queue's PPD, or
    // a temporary copy of the file (named; empty when there is none).
    struct DriverSource {
        PpdFactsCache::Fetched fetched;
        std::string name;  // the PPD's path at the server, or the copy's
        bool isFile = false;
    };
    // Asks the server for the printer's PPD (see PpdFactsCache).
    static DriverSource FetchDriver(const Printer& printer, http_t* connection = nullptr);
    // The queue's PPD, fetched into a temporary file; empty when there is none.
    static std::string FetchPpd(const std::string& queue);
    // Reads the source into the job, and removes a temporary copy.
    static void ReadDriver(Job& job, const DriverSource& source);
    // The colour, duplex default and first page size, unless the job's own
    // settings gave colour or duplex; then the driver's names.
    static void ApplyDriverFacts(Job& job, const PpdFacts& facts);
    static void ReadAttributesFromCupsResponseForJob(Job& job, const CupsResponse& response);
    static void ReadAttributesFromCupsResponseForPrinter(Printer& printer, const CupsResponse& response);
    static void ReadAttributesFromDriverForPrinter(Printer& printer, const PpdFacts& facts);

    // The CUPS queue name of the printer: the last part of its URI at the
    // local server ("/printers/<queue>"), else its name. The name is made for
    // display (underscores became blanks) and may not name the queue.
    static std::string GetQueueName(const Printer& printer);

    // Writes the printer's host, port and hardware address worked out from
    // its device URI; an empty URI changes nothing.
    static void DeterminePrinterHostAndPort(Printer& printer, const std::string& deviceUri);
};

}  // namespace CVClientData
