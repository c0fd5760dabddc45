#pragma once

#include "Core/PrinterAddress/PrinterAddressHelper.h"

#include <cups/ppd.h>

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
    // each later step overriding what an earlier one set, and the job type.
    // Whether CUPS holds the job.
    static bool QuerySpooler(Job& job, uint64_t jobId);

    // Whether CUPS answered for the job.
    static bool QuerySpoolerJobInfo(Job& job);
    static void QuerySpoolerPrinterInformation(Job& job);
    static void QueryPrinterDriverInformation(Job& job);

    // The queue's PPD, fetched from the given server into a temporary file;
    // empty when there is none. ReadDriverInformation reads it into the job
    // and removes it.
    static std::string FetchPpd(const std::string& queue, const std::string& server, int port);
    static void ReadDriverInformation(Job& job, const std::string& ppdPath);

    static void ReadAttributesFromCupsResponseForJob(Job& job, const CupsResponse& response);
    static void ReadAttributesFromCupsResponseForPrinter(Printer& printer, const CupsResponse& response);
    static void ReadAttributesFromDriverForPrinter(Printer& printer, const ppd_file_t& ppd);

    // The CUPS queue name of the printer: the last part of its URI at the
    // local server ("/printers/<queue>"), else its name. The name is made for
    // display (underscores became blanks) and may not name the queue.
    static std::string GetQueueName(const Printer& printer);

    // Writes the printer's host, port and hardware address worked out from
    // its device URI; an empty URI changes nothing.
    static void DeterminePrinterHostAndPort(Printer& printer, const std::string& deviceUri);
};

}  // namespace CVClientData
