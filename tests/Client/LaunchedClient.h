#pragma once

#include "Client/ApplicationController.h"
#include "Core/CVClientCommunication/ClientCommunicationChannel.h"
#include "Core/Services/JobThreadFactory.h"
#include "tests/StandInServer/StandInServer.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <string>

namespace ClientTests {

// What a test's job thread does with its job: it gets the user interface
// and the connection to its hook, and ends with the final answer it returns
// (true: print).
using JobBody = std::function<bool(CVCoreDataServices::IUIController& userInterface)>;

// The job threads of a test: each runs the body, answers its hook and
// disconnects.
CVCoreDataServices::JobThreadFactory JobThreadsRunning(JobBody body);

// The client application of the current user, launched in this process on
// the offscreen platform: a private root with the client's preferences, the
// loopback stand-in of the server (its CA trusted through the environment),
// and a bundle folder of the test's own.
class LaunchedClientTest : public testing::Test {
protected:
    LaunchedClientTest();
    ~LaunchedClientTest() override;

    // The server's client settings: the defaults with these keys replaced.
    void ServeSettings(const nlohmann::json& changes);
    // The bundle's information list with LSUIElement.
    void WriteInfoList(bool uiElement) const;
    // Makes the controller and launches it directly (no event loop).
    void Launch(CVCoreDataServices::JobThreadFactory jobThreads = {});
    // Makes the controller, launches it from the event loop and runs the
    // loop until the application terminates (or the limit passes, a
    // failure). `whileRunning` runs from the loop right after the launch.
    void RunApplication(CVCoreDataServices::JobThreadFactory jobThreads = {},
                        std::function<void()> whileRunning = {});

    std::string SocketPath() const;
    // Waits until the core's listener thread has made the socket; false when
    // it has not after a generous limit.
    bool WaitForSocket() const;
    std::string LogText() const { return mRoot.ClientLogText(); }
    // How often the log holds a text.
    size_t CountInLog(const std::string& text) const;

    TestSupport::TempRoot mRoot;
    StandIn::StandInServer mServer;
    const std::string mstrBundle;
    std::unique_ptr<ApplicationController> mController;
};

// Plays a hook for one job: connects to the user's client and announces the
// job; ReadFinalAnswer then waits for the client's answer.
class HookForJob {
public:
    explicit HookForJob(uint32_t jobId);
    bool Connected() const { return mConnected; }
    // "RZ" (print), "RX" (cancel), or what else came ("" when the
    // connection ended without an answer).
    std::string ReadFinalAnswer();

private:
    ClientCommunicationChannel mChannel;
    bool mConnected = false;
};

}  // namespace ClientTests
