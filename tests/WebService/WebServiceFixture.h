#pragma once

#include "Core/WebServiceConnection/WebDataService.h"
#include "tests/StandInServer/ManualClock.h"
#include "tests/StandInServer/StandInServer.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

namespace WebServiceTests {

using namespace CVClientData;
using StandIn::Answer;

// A private root whose preferences name a fresh stand-in server, and the web
// service made from them with a manual clock, trusting the stand-in's CA and
// with short time-outs.
class WebServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mRoot.WriteClientPreferences({{"ClientServicesUrl", mServer.BaseUrl()},
                                      {"ClientDirectory", ClientDirectory()},
                                      {"DebugLogging", "1"}});
        mService = std::make_unique<WebDataService>(mClock);
        mService->SetCaBundle(mServer.CaFile());
        mService->SetTimeouts(5, 5, 5);
    }

    std::string ClientDirectory() const { return mRoot.Path() + "/client"; }

    // Obtains a token from the stand-in's default grant.
    std::string Grant(const std::string& user = "alice")
    {
        std::string token;
        AuthorizeResult result = mService->Authorize(CVAuthenticationLoggedInUser, user, "", token);
        EXPECT_EQ(result.mintResultCode, AuthorizeResultCode::Success);
        return token;
    }

    // One JSON request to a path below the service address.
    WebDataServiceResponse Request(const std::string& method, const std::string& path,
                                   const std::string& body = std::string(), bool authenticated = false)
    {
        WebDataServiceResponse response;
        std::string url = mService->GetServiceUrl() + path;
        if (authenticated)
            mService->ExecuteAuthenticatedRequest(response, url, body, method);
        else
            mService->ExecuteUnauthenticatedRequest(response, url, body, method);
        return response;
    }

    // The current user's log file so far.
    std::string LogText() const
    {
        return mRoot.ClientLogText();
    }
    bool Logged(const std::string& text) const { return LogText().find(text) != std::string::npos; }

    size_t Pings() const { return mServer.CountOf("GET", "printapi/info/ping"); }
    size_t Grants() const { return mServer.CountOf("POST", "token"); }

    TestSupport::TempRoot mRoot;
    StandIn::StandInServer mServer;
    StandIn::ManualClock mClock;
    std::unique_ptr<WebDataService> mService;
};

// Seconds a call takes, on the steady clock.
template <typename Function>
double SecondsTaken(Function&& function)
{
    auto start = std::chrono::steady_clock::now();
    function();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace WebServiceTests
