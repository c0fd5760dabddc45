#pragma once

#include <cups/http.h>
#include <cups/ppd.h>

#include <optional>
#include <string>

namespace CVClientData {

// What a job takes from its queue's PPD: the colour-device flag, whether the
// default duplex choice prints on both sides, the first page size and the
// driver's names.
struct PpdFacts {
    bool colourDevice = false;
    bool duplexByDefault = false;
    bool hasPageSize = false;
    std::string pageSizeName;
    float pageWidth = 0;   // points
    float pageLength = 0;  // points
    std::string driver;    // maker, a blank, product
    std::optional<std::string> driverVersion;  // the nickname

    static PpdFacts Read(ppd_file_t& ppd);
};

// The PPD of a queue of the local CUPS server, asked for at the server on
// every call, but read again only when the server's copy changed since the
// last one this process read: the server is asked whether the file changed
// after the time and size of that copy, and answers with the file only when
// it did. Copies read within a few seconds of their last change are not
// kept, so that a change within the same second is never taken for none.
// Safe to use from several threads.
class PpdFactsCache {
public:
    enum class Outcome {
        Facts,        // the PPD's facts
        Unreadable,   // the server sent a file that is no PPD
        Unavailable,  // no answer, or none from the queue's file (a class, no PPD)
    };
    struct Fetched {
        Outcome outcome = Outcome::Unavailable;
        PpdFacts facts;
        bool unchanged = false;  // the server's file is the one read before
    };

    // Asks the calling thread's CUPS server for the PPD of the printer queue
    // of that name, on the connection given, else on one of its own.
    static Fetched Fetch(const std::string& queue, http_t* connection = nullptr);
};

}  // namespace CVClientData
