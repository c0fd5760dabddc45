// The real "Quorvel Client" on the road of a print job: lp, a private cupsd
// with a tracked queue (cvkhook wrapping the recording backend), the
// loopback stand-in of the accounting server, and the application of the
// current user, on a private X server where xdotool answers its windows as
// a person does, or on the offscreen platform.
#include "Core/CVModels/DateUtil.h"
#include "tests/EndToEnd/EndToEndWorld.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/PrivateXvfb.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cups/ipp.h>

#include <chrono>
#include <charconv>
#include <clocale>
#include <ctime>
#include <regex>
#include <sstream>

namespace {

using EndToEnd::DataPath;
using EndToEnd::EndToEndWorld;
using EndToEnd::QueueKind;
using EndToEnd::Tracking;

constexpr const char* kQueue = "Front_Desk";

class ApplicationEndToEndTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(mWorld.Problem(), "");
        ASSERT_TRUE(mWorld.AddQueue(kQueue, QueueKind::Tracked, DataPath::SpoolFile));
    }

    EndToEndWorld mWorld;
};

// The alert of a job message comes up; Return presses OK and the job
// prints; for a second job Escape presses Cancel, the client says that the
// job is cancelled, and it is.
TEST_F(ApplicationEndToEndTest, AJobMessageAnsweredAtTheKeyboardPrintsOrCancelsTheJob)
{
    TestSupport::PrivateXvfb display;
    ASSERT_TRUE(display.Running()) << display.Output();
    mWorld.ScriptRules(Tracking::Silently, EndToEndWorld::MonoPageCost, EndToEndWorld::ColourPageCost,
                       {EndToEnd::ContinueOrCancel("Colour printing", "This job costs 1.20.")});
    ASSERT_TRUE(mWorld.StartClientProgram({"/usr/bin/env", "-u", "QT_QPA_PLATFORM", "DISPLAY=" + display.Display(),
                                           "LSAN_OPTIONS=suppressions=" CVK_LEAK_SUPPRESSIONS,
                                           CVK_CLIENT_APPLICATION}));

    int printed = mWorld.Submit(kQueue, CVK_SAMPLE_JOB, "pressing Return");
    ASSERT_GT(printed, 0);
    ASSERT_TRUE(display.PressInNextWindow(EndToEnd::ClientAlertTitle, "Return")) << mWorld.QuorvelLog();
    EXPECT_TRUE(mWorld.WaitForJobState(printed, IPP_JSTATE_COMPLETED)) << mWorld.QuorvelLog();
    EXPECT_TRUE(mWorld.BackendRan(printed));

    // Cancel, then the client's word that the job was cancelled.
    int cancelled = mWorld.Submit(kQueue, CVK_SAMPLE_JOB, "pressing Escape");
    ASSERT_GT(cancelled, 0);
    ASSERT_TRUE(display.PressInNextWindow(EndToEnd::ClientAlertTitle, "Escape")) << mWorld.QuorvelLog();
    ASSERT_TRUE(display.PressInNextWindow(EndToEnd::ClientAlertTitle, "Return")) << mWorld.QuorvelLog();
    EXPECT_TRUE(mWorld.WaitForJobState(cancelled, IPP_JSTATE_CANCELED)) << mWorld.QuorvelLog();
    EXPECT_FALSE(mWorld.BackendRan(cancelled));
    EXPECT_EQ(mWorld.StopClient(), 0) << TestSupport::ReadFileText(mWorld.Root().Path() + "/client.out");
}

// The user's locale writes numbers with a decimal comma; the windows follow
// it, but the job the server receives (its date, its costs) keeps the
// decimal point.
TEST_F(ApplicationEndToEndTest, UnderADecimalCommaLocaleTheServerGetsNumbersWithADecimalPoint)
{
    const char* locale = "de_DE.UTF-8";
    locale_t german = newlocale(LC_ALL_MASK, locale, nullptr);
    if (german == nullptr)
        GTEST_SKIP() << "the locale " << locale << " is not installed (scripts/install-dependencies makes it)";
    freelocale(german);
    mWorld.ScriptRules(Tracking::Silently);
    ASSERT_TRUE(mWorld.StartClientProgram({"/usr/bin/env", "QT_QPA_PLATFORM=offscreen", std::string("LANG=") + locale,
                                           std::string("LC_ALL=") + locale, CVK_CLIENT_APPLICATION}));
    int job = mWorld.Submit(kQueue, CVK_SAMPLE_JOB, "Komma");
    ASSERT_TRUE(mWorld.WaitForJobState(job, IPP_JSTATE_COMPLETED)) << mWorld.QuorvelLog();

    auto summary = mWorld.ServerJob(job);
    ASSERT_TRUE(summary);
    // Two A3 pages, two copies, at 0.10 a mono page.
    EXPECT_NEAR(summary->cost, 0.40, 1e-9);
    const std::regex classicNumber("[0-9]+\\.[0-9]+");
    std::tm now{};
    std::time_t seconds = std::time(nullptr);
    gmtime_r(&seconds, &now);
    double today = 0;
    std::string todayText = CVClientData::DateUtil::ConvertStructToCOMString(now);
    std::from_chars(todayText.data(), todayText.data() + todayText.size(), today);
    auto requests = mWorld.Server().RequestsTo("PUT", "printapi/rules/process");
    ASSERT_FALSE(requests.empty());
    for (const auto& request : requests) {
        std::string date = nlohmann::json::parse(request.body).value("DatePrinted", std::string());
        EXPECT_TRUE(std::regex_match(date, classicNumber)) << date;
        double value = 0;
        std::from_chars(date.data(), date.data() + date.size(), value);
        EXPECT_NEAR(value, today, 2.0) << date;
    }
    EXPECT_EQ(mWorld.StopClient(), 0);
}

}  // namespace
