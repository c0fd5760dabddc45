#pragma once

#include "tests/StandInServer/StandInRequest.h"
#include "tests/StandInServer/TestCertificates.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class SSLServer;
struct Request;
struct Response;
}  // namespace httplib

namespace StandIn {

// A loopback HTTPS stand-in of the print-accounting server. It listens on
// 127.0.0.1 (a free port unless one is given) with a server certificate of a
// test CA, answers every endpoint from a table of scripted answers, and keeps
// a record of every request.
//
// Endpoints are named by method and path ("GET", "printapi/info/ping"; the
// leading "/" is optional). A path ending in "/*" matches every path below it;
// an exact path wins over a pattern, a longer pattern over a shorter one. The
// server starts with the default answers (DefaultAnswers.h); an endpoint
// without an answer gets 404.
class StandInServer {
public:
    // The certificates must outlive the server.
    explicit StandInServer(const TestCertificates& certificates = TestCertificates::Loopback(), int port = 0);
    ~StandInServer();
    StandInServer(const StandInServer&) = delete;
    StandInServer& operator=(const StandInServer&) = delete;

    int Port() const { return mintPort; }
    // "https://127.0.0.1:<port>/", the service address a client is given.
    std::string BaseUrl() const;
    // The PEM bundle of the CA that signed the server's certificate.
    const std::string& CaFile() const { return mstrCaFile; }

    // Every later request to the endpoint gets this answer.
    void SetAnswer(const std::string& method, const std::string& path, Answer answer);
    // Successive requests get these answers in turn; the last one then stays.
    void SetAnswers(const std::string& method, const std::string& path, std::vector<Answer> answers);
    // The answer is computed from each request.
    void SetResponder(const std::string& method, const std::string& path, Responder responder);

    std::vector<RecordedRequest> Requests() const;
    std::vector<RecordedRequest> RequestsTo(const std::string& method, const std::string& path) const;
    size_t CountOf(const std::string& method, const std::string& path) const;
    void ClearRequests();

    // Lets every request stalled so far end (with 503); later ones stall again.
    void ReleaseStalls();
    // Releases stalls and stops listening; the destructor calls it.
    void Stop();

private:
    struct Endpoint {
        std::deque<Answer> answers;  // used in turn while more than one is left
        Responder responder;         // used when set
    };

    void mHandle(const httplib::Request& request, httplib::Response& response);
    Answer mAnswerFor(const RecordedRequest& request);
    // Waits out a delay or a stall; true when a stall was released.
    bool mWait(const Answer& answer);
    static std::string mKey(const std::string& method, const std::string& path);

    std::unique_ptr<httplib::SSLServer> mServer;
    std::thread mListener;
    std::string mstrCaFile;
    int mintPort = 0;

    mutable std::mutex mLock;
    std::condition_variable mStallReleased;
    unsigned long mintReleaseGeneration = 0;
    bool mblnStopping = false;
    std::map<std::string, Endpoint> mEndpoints;  // "METHOD /path"
    std::vector<RecordedRequest> mvecRequests;
};

}  // namespace StandIn
