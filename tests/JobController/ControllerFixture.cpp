#include "tests/JobController/ControllerFixture.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace JobControllerTests {

void AskForPageSetsAndPrint(JobContext& job)
{
    job.connection->Send(ClientMessage(ClientMessageType::Request, ClientMessageSubType::PageSets));
    ClientMessage answer = job.connection->Receive();
    job.connection->SendFinalAnswer(answer.Is(ClientMessageType::Notify, ClientMessageSubType::PageSets)
                                        ? ClientMessageSubType::JobCompleted
                                        : ClientMessageSubType::JobCancelled);
}

RawHook::RawHook(const std::string& socketPath)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path)
        return;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline) {
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            mintSocket = fd;
            return;
        }
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

RawHook::~RawHook()
{
    if (mintSocket != -1)
        close(mintSocket);
}

void RawHook::Send(const std::vector<unsigned char>& bytes)
{
    for (size_t done = 0; done < bytes.size();) {
        ssize_t count = send(mintSocket, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (count <= 0)
            return;
        done += static_cast<size_t>(count);
    }
}

void RawHook::StopSending()
{
    shutdown(mintSocket, SHUT_WR);
}

std::string RawHook::ReadToEnd(std::chrono::milliseconds limit)
{
    std::string text;
    auto deadline = Clock::now() + limit;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return text + "<time-out>";
        timeval wait{static_cast<time_t>(left.count() / 1000000), static_cast<suseconds_t>(left.count() % 1000000)};
        setsockopt(mintSocket, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        char buffer[256];
        ssize_t count = recv(mintSocket, buffer, sizeof buffer, 0);
        if (count == 0)
            return text;
        if (count < 0 && errno != EINTR)
            return text + (errno == EAGAIN ? "<time-out>" : "<error>");
        if (count > 0)
            text.append(buffer, static_cast<size_t>(count));
    }
}

std::vector<unsigned char> NewJobBytes(uint32_t jobId)
{
    std::vector<unsigned char> bytes = {'N', 'B', 0, 0, 0, 0};
    std::memcpy(bytes.data() + 2, &jobId, sizeof jobId);
    return bytes;
}

CVClientData::User MakeUser(uint64_t id, const std::string& name, int32_t balanceType)
{
    CVClientData::User user;
    user.Id = id;
    user.DisplayName = name;
    user.NetworkName = name;
    user.Type = balanceType;
    return user;
}

void ControllerTest::SetUp()
{
    // The controller's tests answer every question themselves.
    mUI.HoldQuestions();
    std::filesystem::create_directories(CacheFolder());
    mRoot.WriteClientPreferences({{"ClientServicesUrl", mServer.BaseUrl()},
                                  {"ClientDirectory", mRoot.Path() + "/client"},
                                  {"DebugLogging", "1"}});
    mWebService = std::make_unique<CVClientData::WebDataService>(mWebClock);
    mWebService->SetCaBundle(mServer.CaFile());
    mWebService->SetTimeouts(5, 5, 5);
    mEnvironment.UserName = mstrUser;
    mEnvironment.JobCacheFolder = CacheFolder();
    mEnvironment.OperatingSystem = CVCoreDataServices::ClientEnvironment::CurrentOperatingSystemText();
    mEnvironment.HostName = "workstation";
    MakeService();
}

void ControllerTest::MakeService()
{
    mService.reset();
    mService = std::make_unique<ClientUICommunicationService>(mUI, mEnvironment, *mWebService, mBatchClock);
    mService->SetJobThreadFactory([this](uint32_t jobId, std::shared_ptr<CVCoreDataServices::HookConnection> connection,
                                         IJobController& controller, IUIController& userInterface,
                                         CVClientData::WebDataService&) -> std::unique_ptr<SWThread> {
        ++mintJobThreadsMade;
        return std::make_unique<TestJobThread>(JobContext{jobId, std::move(connection), controller, userInterface},
                                               mJobBody);
    });
}

void ControllerTest::TearDown()
{
    mService.reset();
}

void ControllerTest::ServeUser(const CVClientData::User& user)
{
    nlohmann::json body = nlohmann::json::object();
    user.ToJson(body);
    mServer.SetAnswer("GET", "printapi/users", StandIn::Answer::Json(200, body.dump()));
}

void ControllerTest::ServeSettings(int32_t authenticationType)
{
    nlohmann::json settings = nlohmann::json::parse(StandIn::DefaultClientSettingsJson());
    settings["AuthenticationType"] = authenticationType;
    mServer.SetAnswer("GET", "printapi/settings/*", StandIn::Answer::Json(200, settings.dump()));
    mWebClock.Advance(60);
}

void ControllerTest::RefuseTokens()
{
    mServer.SetAnswer("POST", "token",
                      StandIn::Answer::Json(400, R"({"error":"invalid_grant","error_description":"refused"})"));
}

}  // namespace JobControllerTests

namespace JobControllerTests {

void ControllerTest::GrantTokens()
{
    for (const StandIn::EndpointDefault& endpoint : StandIn::DefaultAnswers())
        if (endpoint.method == "POST" && endpoint.path == "token")
            mServer.SetResponder("POST", "token", endpoint.responder);
}

CVClientData::User ControllerTest::CachedUser() const
{
    CVClientData::User user;
    user.LoadFromBinaryFile(UserCacheFile());
    return user;
}

}  // namespace JobControllerTests
