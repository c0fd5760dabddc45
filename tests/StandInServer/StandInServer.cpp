#include "tests/StandInServer/StandInServer.h"

#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/StandInServer/HttpExchange.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <stdexcept>

namespace StandIn {

namespace {

// How long a connection may sit idle while its request is read or its
// answer written, so a client that stops halfway never holds a thread.
constexpr time_t IdleSeconds = 10;

// The path with one leading "/".
std::string WithLeadingSlash(const std::string& path)
{
    return !path.empty() && path.front() == '/' ? path : "/" + path;
}

// Binds a listening socket to 127.0.0.1 and the port (0: a free one).
int ListenOnLoopback(int port, int& boundPort)
{
    int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0)
        throw std::runtime_error("stand-in server: no socket");
    int on = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 128) != 0
        || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(listener);
        throw std::runtime_error("stand-in server: cannot bind to 127.0.0.1");
    }
    boundPort = ntohs(address.sin_port);
    return listener;
}

// Bounds each blocking read and write on the socket.
void SetIdleLimit(int socket)
{
    timeval limit{IdleSeconds, 0};
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

}  // namespace

// Binds to 127.0.0.1, installs the default answers and starts listening.
StandInServer::StandInServer(const TestCertificates& certificates, int port)
    : mTls(certificates.CertificateFile(), certificates.KeyFile()), mstrCaFile(certificates.CaFile())
{
    for (const EndpointDefault& endpoint : DefaultAnswers())
        SetResponder(endpoint.method, endpoint.path, endpoint.responder);
    mintListenSocket = ListenOnLoopback(port, mintPort);
    // Connections made before the accept loop runs wait in the backlog.
    mListener = std::thread([this] { mAcceptLoop(); });
}

// Stops the server; stalled requests end first.
StandInServer::~StandInServer()
{
    Stop();
}

// Ends stalls and delays, stops listening, cuts open connections and waits
// for every thread.
void StandInServer::Stop()
{
    {
        std::lock_guard lock(mLock);
        mblnStopping = true;
        for (int socket : mOpenSockets)
            ::shutdown(socket, SHUT_RDWR);
    }
    mChanged.notify_all();
    if (mListener.joinable())
        mListener.join();
    for (Worker& worker : mvecWorkers)
        worker.thread.join();
    mvecWorkers.clear();
    if (mintListenSocket >= 0) {
        ::close(mintListenSocket);
        mintListenSocket = -1;
    }
}

// The service address of this server, ending in "/".
std::string StandInServer::BaseUrl() const
{
    return "https://127.0.0.1:" + std::to_string(mintPort) + "/";
}

// One fixed answer for every later request to the endpoint.
void StandInServer::SetAnswer(const std::string& method, const std::string& path, Answer answer)
{
    SetAnswers(method, path, {std::move(answer)});
}

// Answers given in turn; the last one stays.
void StandInServer::SetAnswers(const std::string& method, const std::string& path, std::vector<Answer> answers)
{
    std::lock_guard lock(mLock);
    Endpoint& endpoint = mEndpoints[mKey(method, path)];
    endpoint.answers.assign(answers.begin(), answers.end());
    endpoint.responder = nullptr;
}

// Answers computed from each request.
void StandInServer::SetResponder(const std::string& method, const std::string& path, Responder responder)
{
    std::lock_guard lock(mLock);
    Endpoint& endpoint = mEndpoints[mKey(method, path)];
    endpoint.answers.clear();
    endpoint.responder = std::move(responder);
}

// The endpoint's default answer again, or none when it has no default.
void StandInServer::ResetAnswer(const std::string& method, const std::string& path)
{
    if (Responder responder = DefaultResponder(method, path)) {
        SetResponder(method, path, std::move(responder));
        return;
    }
    std::lock_guard lock(mLock);
    mEndpoints.erase(mKey(method, path));
}

// Every request so far, in the order received.
std::vector<RecordedRequest> StandInServer::Requests() const
{
    std::lock_guard lock(mLock);
    return mvecRequests;
}

// The requests to one endpoint (exact path, no patterns).
std::vector<RecordedRequest> StandInServer::RequestsTo(const std::string& method, const std::string& path) const
{
    std::string wanted = WithLeadingSlash(path);
    std::vector<RecordedRequest> matching;
    std::lock_guard lock(mLock);
    for (const RecordedRequest& request : mvecRequests)
        if (request.method == method && request.path == wanted)
            matching.push_back(request);
    return matching;
}

// How many requests reached one endpoint.
size_t StandInServer::CountOf(const std::string& method, const std::string& path) const
{
    return RequestsTo(method, path).size();
}

// Forgets the requests recorded so far.
void StandInServer::ClearRequests()
{
    std::lock_guard lock(mLock);
    mvecRequests.clear();
}

// Waits for the record to reach the count.
bool StandInServer::WaitForRequests(size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mLock);
    return mChanged.wait_for(lock, timeout, [&] { return mvecRequests.size() >= count; });
}

// Every connection accepted so far.
size_t StandInServer::ConnectionCount() const
{
    std::lock_guard lock(mLock);
    return mintConnections;
}

// Ends the stalls under way.
void StandInServer::ReleaseStalls()
{
    {
        std::lock_guard lock(mLock);
        ++mintReleaseGeneration;
    }
    mChanged.notify_all();
}

// Accepts connections until the server stops; each is served on a thread of
// its own, so a stalled answer never holds up the others.
void StandInServer::mAcceptLoop()
{
    for (;;) {
        {
            std::lock_guard lock(mLock);
            if (mblnStopping)
                return;
        }
        mReapWorkers();
        pollfd waiting{mintListenSocket, POLLIN, 0};
        if (::poll(&waiting, 1, 100) <= 0)
            continue;
        int socket = ::accept4(mintListenSocket, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0)
            continue;
        SetIdleLimit(socket);
        {
            std::lock_guard lock(mLock);
            if (mblnStopping) {
                ::close(socket);
                return;
            }
            mOpenSockets.insert(socket);
            ++mintConnections;
        }
        auto finished = std::make_shared<std::atomic<bool>>(false);
        mvecWorkers.push_back({std::thread([this, socket, finished] {
                                   mServe(socket);
                                   finished->store(true);
                               }),
                               finished});
    }
}

// Joins the threads whose connections are done.
void StandInServer::mReapWorkers()
{
    std::erase_if(mvecWorkers, [](Worker& worker) {
        if (!worker.finished->load())
            return false;
        worker.thread.join();
        return true;
    });
}

// Reads the connection's requests, records each and answers it as scripted,
// until the client or a dropped answer ends the connection.
void StandInServer::mServe(int socket)
{
    // A client that has gone makes writes fail with EPIPE instead of
    // raising SIGPIPE for the whole test program.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

    TlsConnection connection(mTls, socket);
    if (connection.Accept()) {
        HttpRequestReader reader(connection);
        RecordedRequest request;
        while (reader.Read(request)) {
            {
                std::lock_guard lock(mLock);
                mvecRequests.push_back(request);
            }
            mChanged.notify_all();
            Answer answer = mAnswerFor(request);
            if (mWait(answer))
                answer = Answer::Json(503, "{\"error\":\"stall released\"}");
            if (answer.drop || !connection.WriteAll(FormatResponse(answer, !reader.KeepsConnection())) ||
                !reader.KeepsConnection())
                break;
            request = RecordedRequest();
        }
        connection.Close();
    }
    std::lock_guard lock(mLock);
    mOpenSockets.erase(socket);
    ::close(socket);
}

// The endpoint's answer: exact path first, then the longest "/*" pattern.
Answer StandInServer::mAnswerFor(const RecordedRequest& request)
{
    std::unique_lock lock(mLock);
    Endpoint* endpoint = nullptr;
    if (auto exact = mEndpoints.find(mKey(request.method, request.path)); exact != mEndpoints.end()) {
        endpoint = &exact->second;
    } else {
        std::string path = request.path;
        for (size_t slash = path.rfind('/'); slash != std::string::npos && endpoint == nullptr;
             slash = slash == 0 ? std::string::npos : path.rfind('/', slash - 1)) {
            auto pattern = mEndpoints.find(mKey(request.method, path.substr(0, slash) + "/*"));
            if (pattern != mEndpoints.end())
                endpoint = &pattern->second;
        }
    }
    if (endpoint == nullptr)
        return Answer::Json(404, "{\"error\":\"no answer scripted for " + request.method + " " + request.path + "\"}");
    if (endpoint->responder) {
        Responder responder = endpoint->responder;
        lock.unlock();
        return responder(request);
    }
    if (endpoint->answers.empty())
        return Answer::Json(404, "{}");
    Answer answer = endpoint->answers.front();
    if (endpoint->answers.size() > 1)
        endpoint->answers.pop_front();
    return answer;
}

// Waits out the answer's delay or stall; both end early when the server stops.
bool StandInServer::mWait(const Answer& answer)
{
    std::unique_lock lock(mLock);
    if (answer.stall) {
        unsigned long generation = mintReleaseGeneration;
        mChanged.wait(lock, [&] { return mblnStopping || mintReleaseGeneration != generation; });
        return true;
    }
    if (answer.delay.count() > 0)
        mChanged.wait_for(lock, answer.delay, [this] { return mblnStopping; });
    return false;
}

// The table key of an endpoint: method, blank, path with its leading "/".
std::string StandInServer::mKey(const std::string& method, const std::string& path)
{
    return method + " " + WithLeadingSlash(path);
}

}  // namespace StandIn
