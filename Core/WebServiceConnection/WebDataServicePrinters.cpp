#include "Common/StringFormat.h"
#include "Core/CVModels/Printer.h"
#include "Core/WebServiceConnection/ServiceText.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "CoreLogger/Logger.h"

#include <nlohmann/json.hpp>

// The printer look-up, "POST printapi/printers".

namespace CVClientData {

// Sends the printer as CUPS describes it and takes the server's record. The
// caller gets the HTTP status in every case, so that a server error (500)
// can cancel the job with its own reason.
bool WebDataService::GetPrinter(Printer& printer, long& status)
{
    status = 0;
    std::string body = RecordText(printer);
    Logger::Log_Debug(LogComponents::CoreMessaging, stringFormat("\n%s\n", body));

    WebDataServiceResponse response;
    bool ok = mCall(nullptr, RequestKind::Unauthenticated, "POST", mUrlFor("printapi/printers"), body, response);
    status = static_cast<long>(response.mintStatus);
    if (!ok) {
        if (status == 500) {
            Logger::Log_Error(LogComponents::CoreMessaging,
                              stringFormat("Error: %ld, GetPrinter: Error on QV server when trying to retrieve printer "
                                           "information.  Job cannot be processed. ",
                                           status));
            Logger::Log_Error(LogComponents::CoreMessaging,
                              stringFormat("Detailed server error:\n %s", mLogSafe(response.mstrBody)));
        } else {
            mLogOperationError("GetPrinter", response);
        }
        return false;
    }
    Logger::Log_Debug(LogComponents::CoreMessaging, stringFormat("\n\n%s", mLogSafe(response.mstrBody)));
    // What is never serialised (the URI) stays as the caller set it.
    return mReadAnswer("GetPrinter", response,
                       [&printer](const nlohmann::json& answer) { ReadRecordOver(answer, printer); });
}

}  // namespace CVClientData
