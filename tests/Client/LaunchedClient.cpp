#include "tests/Client/LaunchedClient.h"

#include "Core/CVClientCommunication/ClientMessage.h"
#include "Core/CVClientCommunication/SWThread.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "Platform/ApplicationBundle.h"
#include "Platform/UserAccount.h"
#include "tests/StandInServer/DefaultAnswers.h"

#include <QApplication>
#include <QTimer>

#include <plist/plist.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace ClientTests {

namespace {

// Longest a launched application may run in a test.
constexpr int kRunLimitMs = 60000;

// A job thread that runs the test's body and answers its hook.
class BodyJobThread final : public SWThread {
public:
    BodyJobThread(std::shared_ptr<CVCoreDataServices::HookConnection> connection,
                  CVCoreDataServices::IUIController& userInterface, JobBody body)
        : mConnection(std::move(connection)), mUserInterface(userInterface), mBody(std::move(body))
    {
    }
    ~BodyJobThread() override { Terminate(true); }

    int Run() override
    {
        bool print = mBody(mUserInterface);
        mConnection->SendFinalAnswer(print ? ClientMessageSubType::JobCompleted : ClientMessageSubType::JobCancelled);
        return 0;
    }

private:
    std::shared_ptr<CVCoreDataServices::HookConnection> mConnection;
    CVCoreDataServices::IUIController& mUserInterface;
    JobBody mBody;
};

}  // namespace

CVCoreDataServices::JobThreadFactory JobThreadsRunning(JobBody body)
{
    return [body](uint32_t, std::shared_ptr<CVCoreDataServices::HookConnection> connection,
                  CVCoreDataServices::IJobController&, CVCoreDataServices::IUIController& userInterface,
                  CVClientData::WebDataService&) -> std::unique_ptr<SWThread> {
        return std::make_unique<BodyJobThread>(std::move(connection), userInterface, body);
    };
}

LaunchedClientTest::LaunchedClientTest() : mstrBundle(mRoot.Path() + "/bundle")
{
    setenv(CVClientData::WebDataService::CaBundleVariable, mServer.CaFile().c_str(), 1);
    mRoot.WriteClientPreferences({{"ClientServicesUrl", mServer.BaseUrl()}, {"DebugLogging", "1"}});
    std::filesystem::create_directories(mstrBundle);
}

// The controller goes first: its service still talks to the stand-in.
LaunchedClientTest::~LaunchedClientTest()
{
    mController.reset();
    unsetenv(CVClientData::WebDataService::CaBundleVariable);
}

void LaunchedClientTest::ServeSettings(const nlohmann::json& changes)
{
    nlohmann::json settings = nlohmann::json::parse(StandIn::DefaultClientSettingsJson());
    settings.update(changes);
    mServer.SetAnswer("GET", "printapi/settings/*", StandIn::Answer::Json(200, settings.dump()));
}

void LaunchedClientTest::WriteInfoList(bool uiElement) const
{
    plist_t info = plist_new_dict();
    plist_dict_set_item(info, "LSUIElement", plist_new_bool(uiElement ? 1 : 0));
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(info, &xml, &length);
    TestSupport::WriteFileText(mstrBundle + "/" + Platform::ApplicationBundle::InfoListPath,
                               std::string_view(xml, length));
    std::free(xml);
    plist_free(info);
}

void LaunchedClientTest::Launch(CVCoreDataServices::JobThreadFactory jobThreads)
{
    mController = std::make_unique<ApplicationController>(mstrBundle, std::move(jobThreads));
    mController->applicationDidFinishLaunching();
}

void LaunchedClientTest::RunApplication(CVCoreDataServices::JobThreadFactory jobThreads,
                                        std::function<void()> whileRunning)
{
    mController = std::make_unique<ApplicationController>(mstrBundle, std::move(jobThreads));
    QTimer::singleShot(0, mController.get(), [&] {
        mController->applicationDidFinishLaunching();
        if (whileRunning)
            whileRunning();
    });
    bool timedOut = false;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&] {
        timedOut = true;
        QApplication::exit(1);
    });
    limit.start(kRunLimitMs);
    QApplication::exec();
    EXPECT_FALSE(timedOut) << "the application did not terminate";
}

std::string LaunchedClientTest::SocketPath() const
{
    return mRoot.Host("/tmp/cvkclient." + Platform::CurrentUserName());
}

bool LaunchedClientTest::WaitForSocket() const
{
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(SocketPath())) {
        if (std::chrono::steady_clock::now() > limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

size_t LaunchedClientTest::CountInLog(const std::string& text) const
{
    std::string log = LogText();
    size_t count = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + text.size()))
        ++count;
    return count;
}

// As the hook does, it waits for the socket, which the client's listener
// thread makes after the launch.
HookForJob::HookForJob(uint32_t jobId) : mChannel(Platform::CurrentUserName().c_str())
{
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!(mConnected = mChannel.Connect()) && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!mConnected)
        return;
    ClientMessage announce(ClientMessageType::Notify, ClientMessageSubType::NewJob);
    announce.SetSingleNumericParameter(jobId);
    mConnected = mChannel.SendMessage(announce);
}

std::string HookForJob::ReadFinalAnswer()
{
    ClientMessage answer = mChannel.ReceiveMessage();
    std::string text;
    if (answer.Is(ClientMessageType::Request, ClientMessageSubType::JobCompleted))
        text = "RZ";
    else if (answer.Is(ClientMessageType::Request, ClientMessageSubType::JobCancelled))
        text = "RX";
    return text;
}

}  // namespace ClientTests
