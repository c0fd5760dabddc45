#include "tests/StandInServer/StandInServer.h"

#include "tests/StandInServer/DefaultAnswers.h"

#include <httplib.h>

#include <stdexcept>

namespace StandIn {

namespace {

// Enough workers that stalled requests never starve the others.
constexpr size_t WorkerCount = 48;

// The path with one leading "/".
std::string WithLeadingSlash(const std::string& path)
{
    return !path.empty() && path.front() == '/' ? path : "/" + path;
}

}  // namespace

// Binds to 127.0.0.1, installs the default answers and starts listening.
StandInServer::StandInServer(const TestCertificates& certificates, int port) : mstrCaFile(certificates.CaFile())
{
    mServer = std::make_unique<httplib::SSLServer>(certificates.CertificateFile().c_str(),
                                                   certificates.KeyFile().c_str());
    if (!mServer->is_valid())
        throw std::runtime_error("stand-in server: TLS set-up failed");
    mServer->new_task_queue = [] { return new httplib::ThreadPool(WorkerCount); };
    auto handler = [this](const httplib::Request& request, httplib::Response& response) {
        mHandle(request, response);
    };
    mServer->Get(".*", handler);
    mServer->Post(".*", handler);
    mServer->Put(".*", handler);
    mServer->Delete(".*", handler);
    mServer->Patch(".*", handler);

    for (const EndpointDefault& endpoint : DefaultAnswers())
        SetResponder(endpoint.method, endpoint.path, endpoint.responder);

    if (port == 0) {
        mintPort = mServer->bind_to_any_port("127.0.0.1");
    } else if (mServer->bind_to_port("127.0.0.1", port)) {
        mintPort = port;
    }
    if (mintPort <= 0)
        throw std::runtime_error("stand-in server: cannot bind to 127.0.0.1");
    // Connections made before the accept loop runs wait in the backlog.
    mListener = std::thread([this] { mServer->listen_after_bind(); });
}

// Stops the server; stalled requests end first.
StandInServer::~StandInServer()
{
    Stop();
}

// Ends stalls and delays, stops listening and waits for the listener thread.
void StandInServer::Stop()
{
    {
        std::lock_guard lock(mLock);
        mblnStopping = true;
    }
    mStallReleased.notify_all();
    if (mServer)
        mServer->stop();
    if (mListener.joinable())
        mListener.join();
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

// Ends the stalls under way.
void StandInServer::ReleaseStalls()
{
    {
        std::lock_guard lock(mLock);
        ++mintReleaseGeneration;
    }
    mStallReleased.notify_all();
}

// Records the request, then answers it as scripted.
void StandInServer::mHandle(const httplib::Request& request, httplib::Response& response)
{
    RecordedRequest recorded;
    recorded.method = request.method;
    recorded.path = request.path;
    if (size_t mark = request.target.find('?'); mark != std::string::npos)
        recorded.query = request.target.substr(mark + 1);
    for (const auto& header : request.headers)
        recorded.headers.emplace_back(header.first, header.second);
    recorded.body = request.body;
    {
        std::lock_guard lock(mLock);
        mvecRequests.push_back(recorded);
    }

    Answer answer = mAnswerFor(recorded);
    if (mWait(answer))
        answer = Answer::Json(503, "{\"error\":\"stall released\"}");
    response.status = answer.status;
    for (const auto& [name, value] : answer.headers)
        response.set_header(name, value);
    if (answer.contentType.empty())
        response.body = answer.body;
    else
        response.set_content(answer.body, answer.contentType);
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
        mStallReleased.wait(lock, [&] { return mblnStopping || mintReleaseGeneration != generation; });
        return true;
    }
    if (answer.delay.count() > 0)
        mStallReleased.wait_for(lock, answer.delay, [this] { return mblnStopping; });
    return false;
}

// The table key of an endpoint: method, blank, path with its leading "/".
std::string StandInServer::mKey(const std::string& method, const std::string& path)
{
    return method + " " + WithLeadingSlash(path);
}

}  // namespace StandIn
