#pragma once

#include "Core/CVClientCommunication/ClientCommunicationChannel.h"
#include "Core/CVClientCommunication/SWThread.h"
#include "Core/CVModels/User.h"
#include "Core/Services/ClientUICommunicationService.h"
#include "Core/WebServiceConnection/WebDataService.h"
#include "Platform/UserAccount.h"
#include "tests/ClientCommunication/SocketTestHelpers.h"
#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/StandInServer/ManualClock.h"
#include "tests/StandInServer/StandInServer.h"
#include "tests/Support/ScriptedUserInterface.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace JobControllerTests {

using CVCoreDataServices::ClientUICommunicationService;
using CVCoreDataServices::IJobController;
using CVCoreDataServices::IUIController;
using Clock = std::chrono::steady_clock;

// What a test's job thread is given.
struct JobContext {
    uint32_t jobId;
    std::shared_ptr<CVCoreDataServices::HookConnection> connection;
    IJobController& controller;
    IUIController& userInterface;
};

// The smallest job thread: remembers the job's id (as a job thread does once
// CUPS holds the job), runs the test's body for the job, then closes the
// connection, as a job thread does.
class TestJobThread final : public SWThread {
public:
    TestJobThread(JobContext context, std::function<void(JobContext&)> body)
        : mContext(std::move(context)), mBody(std::move(body))
    {
    }
    ~TestJobThread() override { Terminate(true); }
    int Run() override
    {
        mContext.controller.RememberJobId(mContext.jobId);
        if (mBody)
            mBody(mContext);
        mContext.connection->Disconnect();
        return 0;
    }

private:
    JobContext mContext;
    std::function<void(JobContext&)> mBody;
};

// The usual job body: asks the hook for page data and prints when it comes.
void AskForPageSetsAndPrint(JobContext& job);

// Plays the hook over a raw socket: connects to the user's client, sends the
// bytes and returns everything the client sends until it closes the
// connection (or the limit passes).
class RawHook {
public:
    explicit RawHook(const std::string& socketPath);
    ~RawHook();
    bool Connected() const { return mintSocket != -1; }
    void Send(const std::vector<unsigned char>& bytes);
    // Ends the sending side: the client sees the end of the stream.
    void StopSending();
    std::string ReadToEnd(std::chrono::milliseconds limit = std::chrono::seconds(5));

private:
    int mintSocket = -1;
};

// The bytes of 'N','B' with a job id.
std::vector<unsigned char> NewJobBytes(uint32_t jobId);

// Plays the hook for one job with a channel: announces it, answers a
// request for page data, and returns the client's final answer.
using SocketTests::RunHookJob;

// A user record as the server sends it.
CVClientData::User MakeUser(uint64_t id, const std::string& name, int32_t balanceType = 0);

// The job controller over a real listener, a web service talking TLS to a
// stand-in server, and the scripted user interface; the job threads run the
// test's job body.
class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the service; SetUp makes one, a test may make it again to play
    // a restart of the client.
    void MakeService();

    std::string CacheFolder() const { return mRoot.Folder(Platform::Folder::UserData); }
    std::string UserCacheFile() const { return CacheFolder() + ClientUICommunicationService::UserCacheFileName; }
    std::string SocketPath() const { return mRoot.Host("/tmp/cvkclient." + mstrUser); }

    // The stand-in answers "GET printapi/users" with this user.
    void ServeUser(const CVClientData::User& user);
    // The stand-in sends these settings (the defaults with the given
    // authentication type), and the web service's reuse window is passed.
    void ServeSettings(int32_t authenticationType);
    // The stand-in refuses every token request, or grants them again.
    void RefuseTokens();
    void GrantTokens();
    // The user the cache file holds (an empty record when it cannot be read).
    CVClientData::User CachedUser() const;

    // Job threads made so far.
    int JobThreadsMade() const { return mintJobThreadsMade.load(); }

    TestSupport::TempRoot mRoot;
    StandIn::StandInServer mServer;
    StandIn::ManualClock mWebClock;
    StandIn::ManualClock mBatchClock;
    std::unique_ptr<CVClientData::WebDataService> mWebService;
    TestSupport::ScriptedUserInterface mUI;
    CVCoreDataServices::ClientEnvironment mEnvironment;
    std::unique_ptr<ClientUICommunicationService> mService;
    std::function<void(JobContext&)> mJobBody = AskForPageSetsAndPrint;
    std::atomic<int> mintJobThreadsMade{0};
    std::string mstrUser = Platform::CurrentUserName();
};

// Seconds a call takes, on the steady clock.
template <typename Function>
double SecondsTaken(Function&& function)
{
    auto start = Clock::now();
    function();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace JobControllerTests
