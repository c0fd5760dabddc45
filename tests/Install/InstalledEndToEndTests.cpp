// What is shipped prints and cancels: the staged installation under the
// world's root, the private cupsd's tracked queue running the installed
// cvkhook (linked in the backend's place, as an administrator links it), and
// the installed client that the installed user unit names, against the
// loopback stand-in of the accounting server. The client runs on a private
// X server where its alerts are answered at the keyboard, or on the
// offscreen platform where nothing needs an answer.
#include "tests/EndToEnd/EndToEndWorld.h"
#include "tests/Install/StagedInstallation.h"
#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/PrivateXvfb.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cups/ipp.h>

namespace {

using EndToEnd::DataPath;
using EndToEnd::EndToEndWorld;
using EndToEnd::QueueKind;
using EndToEnd::Tracking;

constexpr const char* kQueue = "Front_Desk";

class InstalledEndToEndTest : public testing::Test {
protected:
    InstalledEndToEndTest() : mWorld({.linkedHook = CVK_CUPS_BACKEND_FOLDER "/cvkhook"}) {}

    void SetUp() override
    {
        ASSERT_EQ(mWorld.Problem(), "");
        ASSERT_EQ(InstallTests::PutInstallationUnder(mWorld.Root().Path()), "");
        ASSERT_TRUE(mWorld.AddQueue(kQueue, QueueKind::Tracked, DataPath::SpoolFile));
        std::string program = InstallTests::ProgramOfClientUnit(mWorld.Root().Path());
        ASSERT_NE(program, "");
        mstrClient = mWorld.Root().Host(program);
    }


    std::string Logs() const
    {
        return mWorld.QuorvelLog() + TestSupport::ReadFileText(mWorld.Root().Path() + "/client.out");
    }

    EndToEndWorld mWorld;
    std::string mstrClient;
};

// The installed client asks about each job on the screen; Return prints
// the job, whole, through the installed hook; Escape cancels it, the client
// says so, and the job never reaches the queue's backend.
TEST_F(InstalledEndToEndTest, TheInstalledHookAndClientPrintAndCancel)
{
    TestSupport::PrivateXvfb display;
    ASSERT_TRUE(display.Running()) << display.Output();
    mWorld.ScriptRules(Tracking::Silently, EndToEndWorld::MonoPageCost, EndToEndWorld::ColourPageCost,
                       {EndToEnd::ContinueOrCancel("Colour printing", "This job costs 0.40.")});
    ASSERT_TRUE(mWorld.StartClientProgram({"/usr/bin/env", "-u", "QT_QPA_PLATFORM", "DISPLAY=" + display.Display(),
                                           "LSAN_OPTIONS=suppressions=" CVK_LEAK_SUPPRESSIONS, mstrClient}));

    int printed = mWorld.Submit(kQueue, CVK_SAMPLE_JOB, "printed");
    ASSERT_TRUE(display.PressInNextWindow(EndToEnd::ClientAlertTitle, "Return")) << Logs();
    ASSERT_TRUE(mWorld.WaitForJobState(printed, IPP_JSTATE_COMPLETED)) << Logs();
    EXPECT_EQ(mWorld.BackendRecord(printed).data, TestSupport::ReadFileText(CVK_SAMPLE_JOB));
    auto summary = mWorld.ServerJob(printed);
    ASSERT_TRUE(summary) << Logs();
    EXPECT_NEAR(summary->cost, 0.40, 1e-9);

    int cancelled = mWorld.Submit(kQueue, CVK_SAMPLE_JOB, "cancelled");
    ASSERT_TRUE(display.PressInNextWindow(EndToEnd::ClientAlertTitle, "Escape")) << Logs();
    ASSERT_TRUE(mWorld.WaitForJobState(cancelled, IPP_JSTATE_CANCELED)) << Logs();
    EXPECT_FALSE(mWorld.BackendRan(cancelled));
    EXPECT_EQ(mWorld.StopClient(), 0) << Logs();
}

// The installed client is an agent without an icon; when the server asks
// for the icon it starts the installed copy with an icon, which answers
// the jobs.
TEST_F(InstalledEndToEndTest, TheInstalledAgentStartsItsCopyWithAnIconWhenTheServerAsksForIt)
{
    nlohmann::json settings = nlohmann::json::parse(StandIn::DefaultClientSettingsJson());
    settings["DisplayClientTrayIcon"] = true;
    mWorld.Server().SetAnswer("GET", "printapi/settings/*", StandIn::Answer::Json(200, settings.dump()));
    mWorld.ScriptRules(Tracking::Silently);
    ASSERT_TRUE(mWorld.StartClientProgram({"/usr/bin/env", "QT_QPA_PLATFORM=offscreen", mstrClient})) << Logs();

    int printed = mWorld.Submit(kQueue, CVK_SAMPLE_JOB, "printed by the copy");
    ASSERT_TRUE(mWorld.WaitForJobState(printed, IPP_JSTATE_COMPLETED)) << Logs();
    EXPECT_TRUE(mWorld.BackendRan(printed));
    std::string log = mWorld.QuorvelLog();
    EXPECT_NE(log.find("isShowingIcon = 0"), std::string::npos) << log;
    EXPECT_NE(log.find("Task: " + mWorld.Root().Host(CVK_ICON_COPY_BUNDLE) + "/Contents/MacOS/Quorvel Client"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("isShowingIcon = 1"), std::string::npos) << log;
    EXPECT_EQ(mWorld.StopClient(), 0) << Logs();
}

}  // namespace
