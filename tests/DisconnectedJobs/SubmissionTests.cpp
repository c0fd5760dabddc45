// Submission of stored jobs: what the settings make of them, the age limit,
// jobs the server does not take, damaged files and submissions that run at
// the same time.

#include "Core/Services/DisconnectedJobFiles.h"
#include "tests/DisconnectedJobs/StoreFixture.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <thread>

namespace DisconnectedJobTests {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;
using ::testing::UnorderedElementsAre;

// Sets the process's time zone while it lives, then puts the old one back.
class TimeZone {
public:
    explicit TimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            mOld = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone()
    {
        if (mOld)
            setenv("TZ", mOld->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> mOld;
};

// Every stored job leaves the folder; whether it reaches the server depends
// on the option and, for option 4, on its age.
TEST_F(StoreTest, TheOptionDecidesWhetherAStoredJobIsSentOrDropped)
{
    struct Case {
        int32_t option;
        std::time_t age;
        bool sent;
    };
    const Case cases[] = {
        {1, 30 * Day, true},
        {0, 0, true},
        {2, 0, false},
        {3, 0, false},
        {4, 6 * Day, true},
        {4, 8 * Day, false},
    };
    SubmissionLedger ledger(mServer);
    uint32_t cupsId = 100;
    for (const Case& c : cases) {
        ++cupsId;
        std::string path = StoreJob(cupsId, c.age);
        EXPECT_TRUE(mStore->SubmitDisconnectedJobs(Settings(0, c.option, 7))) << "option " << c.option;
        EXPECT_FALSE(std::filesystem::exists(path)) << "option " << c.option;
        EXPECT_EQ(ledger.Accepted().count(cupsId), c.sent ? 1u : 0u) << "option " << c.option;
    }
    EXPECT_EQ(ledger.AcceptedCount(), 3u);
    EXPECT_EQ(ledger.Received(), 3);
}

// The print date is UTC and the age is measured in UTC: in a zone far east
// or west of Greenwich a job printed just under the limit is still sent and
// one just over it is dropped.
TEST_F(StoreTest, TheAgeLimitHoldsInEveryTimeZone)
{
    SubmissionLedger ledger(mServer);
    uint32_t cupsId = 200;
    for (const char* zone : {"UTC0", "XYZ-14", "XYZ+12", "ABC+5DEF,M3.2.0,M11.1.0"}) {
        TimeZone local(zone);
        uint32_t young = ++cupsId;
        uint32_t old = ++cupsId;
        StoreJob(young, 7 * Day - 2 * 3600);
        StoreJob(old, 7 * Day + 2 * 3600);
        mStore->SubmitDisconnectedJobs(Settings(0, 4, 7));
        EXPECT_EQ(ledger.Accepted().count(young), 1u) << zone;
        EXPECT_EQ(ledger.Accepted().count(old), 0u) << zone;
        EXPECT_THAT(Names(), IsEmpty()) << zone;
    }
}

// A job the server refuses, cannot take or cannot be reached for stays on
// disk and goes once the server takes it.
TEST_F(StoreTest, AJobTheServerDoesNotTakeStaysForTheNextSubmission)
{
    SubmissionLedger ledger(mServer);
    std::string path = StoreJob(301);
    for (int status : {500, 400, 503}) {
        ledger.AnswerWith(status);
        EXPECT_FALSE(mStore->SubmitDisconnectedJobs(Settings(0, 1))) << status;
        EXPECT_TRUE(std::filesystem::exists(path)) << status;
    }
    ledger.AnswerWith(200);
    SetReachable(false);
    EXPECT_FALSE(mStore->SubmitDisconnectedJobs(Settings(0, 1)));
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(ledger.Received(), 3);

    SetReachable(true);
    EXPECT_TRUE(mStore->SubmitDisconnectedJobs(Settings(0, 1)));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_THAT(ledger.Accepted(), ElementsAre(Pair(301u, 1)));
    EXPECT_FALSE(mStore->SubmitDisconnectedJobs(Settings(0, 1)));
    EXPECT_EQ(ledger.AcceptedCount(), 1u);
}

// Authentication that asks the user (PIN, password, network login) never
// has stored jobs sent; automatic authentication does.
TEST_F(StoreTest, StoredJobsWaitWhileAuthenticationAsksTheUser)
{
    SubmissionLedger ledger(mServer);
    std::string path = StoreJob(401);
    for (int32_t type : {2, 3, 4, 5}) {
        EXPECT_FALSE(mStore->SubmitDisconnectedJobs(Settings(type, 1))) << type;
        EXPECT_TRUE(std::filesystem::exists(path)) << type;
    }
    EXPECT_EQ(ledger.Received(), 0);
    EXPECT_TRUE(mStore->SubmitDisconnectedJobs(Settings(1, 1)));
    EXPECT_THAT(ledger.Accepted(), ElementsAre(Pair(401u, 1)));
}

// A file that cannot be read (cut short, or not a job at all) is moved aside
// with an error line, never sent with made-up values and never deleted; an
// older file set aside is not overwritten.
TEST_F(StoreTest, AnUnreadableJobFileIsKeptAside)
{
    SubmissionLedger ledger(mServer);
    std::string whole = TestSupport::ReadFileText(StoreJob(501));
    std::filesystem::remove(Folder() + "/.ws.501.job");
    std::string half = whole.substr(0, whole.size() / 2);
    TestSupport::WriteFileText(Folder() + "/.ws.502.job", half);
    TestSupport::WriteFileText(Folder() + "/.ws.503.job", "[1, 2, 3]");
    StoreJob(504);

    EXPECT_TRUE(mStore->SubmitDisconnectedJobs(Settings(0, 1)));
    EXPECT_THAT(ledger.Accepted(), ElementsAre(Pair(504u, 1)));
    EXPECT_THAT(Names(), ElementsAre(".ws.502.job.bad", ".ws.503.job.bad"));
    EXPECT_EQ(TestSupport::ReadFileText(Folder() + "/.ws.502.job.bad"), half);
    std::string log = LogText();
    size_t line = log.find(".ws.502.job cannot be read; it was moved aside to");
    ASSERT_NE(line, std::string::npos);
    EXPECT_EQ(log.at(log.rfind('\n', line) + 1), 'E');  // an error line

    TestSupport::WriteFileText(Folder() + "/.ws.502.job", "again damaged");
    EXPECT_FALSE(mStore->SubmitDisconnectedJobs(Settings(0, 1)));
    EXPECT_THAT(Names(), ElementsAre(".ws.502.job.bad", ".ws.502.job.bad.1", ".ws.503.job.bad"));
    EXPECT_EQ(TestSupport::ReadFileText(Folder() + "/.ws.502.job.bad"), half);
    EXPECT_EQ(ledger.Received(), 1);
}

// Several threads submit at once while job threads keep storing jobs, half
// of them through a second store of the folder, as a second client process
// would: every job is sent exactly once and none is read half-written.
TEST_F(StoreTest, SubmissionsAtTheSameTimeSendEveryJobOnce)
{
    CVCoreDataServices::DisconnectedJobHandler otherProcess(mUI, Folder(), *mService, mClock);
    SubmissionLedger ledger(mServer, std::chrono::milliseconds(5));
    constexpr uint32_t Stored = 24;
    constexpr uint32_t Written = 24;
    for (uint32_t id = 1; id <= Stored; ++id)
        StoreJob(id);

    std::atomic<bool> writing{true};
    std::vector<std::thread> threads;
    threads.emplace_back([&] {
        for (uint32_t id = Stored + 1; id <= Stored + Written; ++id)
            StoreJob(id);
        writing = false;
    });
    for (int submitter = 0; submitter < 4; ++submitter)
        threads.emplace_back([&, submitter] {
            auto& store = submitter % 2 == 0 ? *mStore : otherProcess;
            do
                store.SubmitDisconnectedJobs(Settings(0, 1));
            while (writing);
        });
    for (std::thread& thread : threads)
        thread.join();
    mStore->SubmitDisconnectedJobs(Settings(0, 1));

    std::map<uint64_t, int> accepted = ledger.Accepted();
    EXPECT_EQ(accepted.size(), size_t{Stored + Written});
    for (const auto& [id, times] : accepted)
        EXPECT_EQ(times, 1) << "job " << id;
    EXPECT_EQ(ledger.Received(), static_cast<int>(Stored + Written));
    EXPECT_THAT(Names(), IsEmpty());
}

}  // namespace
}  // namespace DisconnectedJobTests
