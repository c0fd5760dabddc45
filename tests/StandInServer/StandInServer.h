#pragma once

#include "tests/StandInServer/StandInRequest.h"
#include "tests/StandInServer/TestCertificates.h"
#include "tests/StandInServer/TlsConnection.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace StandIn {

// A loopback HTTPS stand-in of the print-accounting server. It listens on
// 127.0.0.1 (a free port unless one is given) with a server certificate of a
// test CA, answers every endpoint from a table of scripted answers, and keeps
// a record of every request, body included whatever the method. A connection
// carries requests one after the other for as long as the client keeps it
// open (HTTP/1.1 keep-alive) and is closed after 10 idle seconds, after a
// dropped answer, or when the client asks for it.
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
    // Back to the default answer of the endpoint (or none).
    void ResetAnswer(const std::string& method, const std::string& path);

    std::vector<RecordedRequest> Requests() const;
    std::vector<RecordedRequest> RequestsTo(const std::string& method, const std::string& path) const;
    size_t CountOf(const std::string& method, const std::string& path) const;
    void ClearRequests();
    // Waits until at least count requests have been recorded; false on time-out.
    bool WaitForRequests(size_t count, std::chrono::milliseconds timeout) const;
    // How many connections the server has accepted.
    size_t ConnectionCount() const;

    // Lets every request stalled so far end (with 503); later ones stall again.
    void ReleaseStalls();
    // Releases stalls and stops listening; the destructor calls it.
    void Stop();

private:
    struct Endpoint {
        std::deque<Answer> answers;  // used in turn while more than one is left
        Responder responder;         // used when set
    };
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };

    void mAcceptLoop();
    void mServe(int socket);
    // Joins the connection threads that have ended.
    void mReapWorkers();
    Answer mAnswerFor(const RecordedRequest& request);
    // Waits out a delay or a stall; true when a stall was released.
    bool mWait(const Answer& answer);
    static std::string mKey(const std::string& method, const std::string& path);

    TlsContext mTls;
    std::string mstrCaFile;
    int mintListenSocket = -1;
    int mintPort = 0;
    std::thread mListener;
    std::vector<Worker> mvecWorkers;  // used by the listener thread, then by Stop

    mutable std::mutex mLock;
    mutable std::condition_variable mChanged;  // a request recorded, a stall released or the server stopping
    unsigned long mintReleaseGeneration = 0;
    bool mblnStopping = false;
    std::set<int> mOpenSockets;
    size_t mintConnections = 0;
    std::map<std::string, Endpoint> mEndpoints;  // "METHOD /path"
    std::vector<RecordedRequest> mvecRequests;
};

}  // namespace StandIn
