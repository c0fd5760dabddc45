#include "tests/WebService/WebServiceFixture.h"

#include <atomic>
#include <thread>
#include <vector>

namespace WebServiceTests {
namespace {

using Concurrent = WebServiceTest;

TEST_F(Concurrent, ManyThreadsShareOneServiceSafely)
{
    constexpr int Threads = 8;
    constexpr int Rounds = 6;
    mServer.SetAnswer("GET", "printapi/users", Answer::Json(200, R"({"Id":1})"));
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([&, t] {
            const std::string user = "user" + std::to_string(t);
            for (int round = 0; round < Rounds; ++round) {
                std::string token;
                if (!mService->CanReach())
                    ++failures;
                if (mService->Authorize(CVAuthenticationLoggedInUser, user, "", token).mintResultCode
                        != AuthorizeResultCode::Success
                    || token.empty())
                    ++failures;
                if (Request("GET", "printapi/users", "", true).mintStatus != 200)
                    ++failures;
                mService->SetTimeouts(5, 5 + round, 5);
                (void)mService->GetStatus();
                (void)mService->HasToken();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(Pings(), 1u);  // the clock stands still: one ping serves every thread
    EXPECT_EQ(mServer.CountOf("GET", "printapi/users"), static_cast<size_t>(Threads * Rounds));
}

TEST_F(Concurrent, PingTimeOutBindsThePingAlone)
{
    mService->SetTimeouts(5, 6, 1);
    Grant();
    mClock.Advance(15);
    mServer.SetAnswer("GET", "printapi/info/ping", Answer::Stalled());
    Answer slow = Answer::Json(200, R"({"slow":true})");
    slow.delay = std::chrono::milliseconds(2500);
    mServer.SetAnswer("GET", "printapi/slow", slow);

    WebDataServiceResponse slowResponse;
    std::thread dataThread([&] { slowResponse = Request("GET", "printapi/slow", "", true); });
    bool reached = true;
    std::thread pingThread([&] { reached = mService->CanReach(); });
    pingThread.join();
    dataThread.join();
    EXPECT_FALSE(reached);
    EXPECT_EQ(slowResponse.mintStatus, 200);
}

}  // namespace
}  // namespace WebServiceTests
