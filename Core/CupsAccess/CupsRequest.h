#pragma once

#include <cups/http.h>
#include <cups/ipp.h>

#include <memory>
#include <string>
#include <vector>

namespace CVClientData {

class CupsResponse;

// An IPP request to the local CUPS server (the one cupsServer() names, which
// CUPS_SERVER or cupsSetServer can move), with the charset and natural
// language of the default CUPS language already in its operation group.
class CupsRequest {
public:
    static constexpr size_t MaxResourceLength = 1024;

    CupsRequest();
    ~CupsRequest();
    CupsRequest(const CupsRequest&) = delete;
    CupsRequest& operator=(const CupsRequest&) = delete;

    // Keeps at most MaxResourceLength characters.
    void SetResource(const std::string& resource);
    // Sets the operation, with request id 1.
    void SetOperation(ipp_op_t operation);
    void AddNameAttribute(const char* name, const std::string& value);
    // "requested-attributes": the server answers with these alone.
    void AddRequestedAttributes(const std::vector<std::string>& names);
    void AddUriAttribute(const char* name, const std::string& value);
    void AddIntegerAttribute(const char* name, int value);

    // Sends the request (once; CUPS frees it) and answers the response, or
    // none when the server cannot be reached or does not answer; on the
    // connection given, else on one of its own.
    std::unique_ptr<CupsResponse> SendRequest(http_t* connection = nullptr);

    // Cancels a job at the CUPS server: 1 when it did, else 0.
    static int CancelJob(const std::string& printerName, int jobId);

    // A connection of its own to the local CUPS server for one exchange,
    // closed when the pointer goes; null when the server cannot be reached.
    // Never CUPS's per-thread default connection, which stays open for the
    // thread's life: a job thread waits for minutes for the server or the
    // user, and a connection held meanwhile counts against cupsd's clients.
    struct HttpCloser {
        void operator()(http_t* connection) const;
    };
    using Connection = std::unique_ptr<http_t, HttpCloser>;
    static Connection Connect();

private:
    ipp_t* mRequest;
    std::string mstrResource;
};

}  // namespace CVClientData
