#include "Core/CVModels/Printer.h"
#include "Core/WebServiceConnection/ServiceText.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/ComponentLog.h"

#include <nlohmann/json.hpp>

// The printer look-up, "POST printapi/printers".

using Log = ComponentLog<LogComponents::CoreMessaging>;

namespace CVClientData {

// Sends the printer as CUPS describes it and takes the server's record. The
// caller gets the HTTP status in every case, so that a server error (500)
// can cancel the job with its own reason.
bool WebDataService::GetPrinter(Printer& printer, long& status)
{
    status = 0;
    std::string body = RecordText(printer);
    Log::Debug("\n%s\n", body);

    WebDataServiceResponse response;
    bool ok = mCall(nullptr, RequestKind::Unauthenticated, "POST", mUrlFor("printapi/printers"), body, response);
    status = static_cast<long>(response.mintStatus);
    if (!ok) {
        if (status == 500) {
            Log::Error(
                "Error: %ld, GetPrinter: Error on QV server when trying to retrieve printer "
                "information.  Job cannot be processed. ",
                status);
            Log::Error("Detailed server error:\n %s", mLogSafe(response.mstrBody));
        } else {
            mLogOperationError("GetPrinter", response);
        }
        return false;
    }
    Log::Debug("\n\n%s", mLogSafe(response.mstrBody));
    // What is never serialised (the URI) stays as the caller set it.
    return mReadAnswer("GetPrinter", response,
                       [&printer](const nlohmann::json& answer) { ReadRecordOver(answer, printer); });
}

}  // namespace CVClientData
