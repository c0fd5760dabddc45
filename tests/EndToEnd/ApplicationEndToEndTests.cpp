// The real "Quorvel Client" on the road of a print job: lp, a private cupsd
// with a tracked queue (cvkhook wrapping the recording backend), the
// loopback stand-in of the accounting server, and the application of the
// current user, on a private X server where xdotool answers its windows as
// a person does, or on the offscreen platform.
#include "Core/CVModels/DateUtil.h"
#include "tests/EndToEnd/EndToEndWorld.h"
#include "tests/StandInServer/DefaultAnswers.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/NamedCases.h"
#include "tests/Support/PrivateBus.h"
#include "tests/Support/PrivateXvfb.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cups/ipp.h>
#include <xcb/xcb.h>

#include <chrono>
#include <charconv>
#include <clocale>
#include <ctime>
#include <functional>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using EndToEnd::DataPath;
using EndToEnd::EndToEndWorld;
using EndToEnd::QueueKind;
using EndToEnd::Tracking;
using TestSupport::operator<<;

constexpr const char* kQueue = "Front_Desk";
// What the title bars of the client's windows say: every alert, the job
// pop-up and the login window.
constexpr const char* kAlertTitle = EndToEnd::ClientAlertTitle;
constexpr const char* kPopupTitle = "^Quorvel .* Print Job";
constexpr const char* kLoginTitle = "^Quorvel Login";
// The PIN the stand-in accepts, which is also the name of its user.
constexpr const char* kPin = "4711";

std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

// What a person does in a window of the client: keys, typing, a click.
using Gesture = std::function<void(const TestSupport::PrivateXvfb& display, const std::string& window)>;

Gesture Keys(std::string keys)
{
    return [keys](const TestSupport::PrivateXvfb& display, const std::string&) {
        display.XdoTool({"key", "--clearmodifiers", keys});
    };
}

Gesture Typing(std::string text)
{
    return [text](const TestSupport::PrivateXvfb& display, const std::string&) {
        display.XdoTool({"type", "--clearmodifiers", "--delay", "20", text});
    };
}

// A click at a point of the window given from its bottom left corner, where
// the job pop-up lays out its buttons.
Gesture ClickFromBottom(int x, int y)
{
    return [x, y](const TestSupport::PrivateXvfb& display, const std::string& window) {
        std::string geometry = display.XdoTool({"getwindowgeometry", "--shell", window});
        std::smatch height;
        ASSERT_TRUE(std::regex_search(geometry, height, std::regex("HEIGHT=([0-9]+)"))) << geometry;
        display.XdoTool({"mousemove", "--window", window, std::to_string(x),
                         std::to_string(std::stoi(height[1]) - y), "click", "1"});
    };
}

// The job pop-up's buttons, right to left from its right edge: Print, then
// Cancel Job (their middles, above the bottom edge).
const Gesture kClickPrint = ClickFromBottom(430, 24);
const Gesture kClickCancelJob = ClickFromBottom(332, 24);

// A window that comes up for a job, and what the person does in it.
struct Encounter {
    const char* title;
    std::vector<Gesture> gestures;
};

// How the server's rules and settings meet the user of a job, in the
// windows of the client: what the person does there for a job that then
// prints, and for one that is then cancelled.
struct Meeting {
    const char* Name;
    std::function<void(EndToEndWorld&)> arrange;
    std::vector<Encounter> printing;
    std::vector<Encounter> cancelling;
    // What the server must have received of the printed job.
    std::function<void(EndToEndWorld&, int job)> checkPrinted = nullptr;
};

// The default answer of the stand-in with keys of its JSON object replaced.
StandIn::Responder DefaultAnswerWith(const char* method, const char* path, nlohmann::json changes)
{
    StandIn::Responder original = StandIn::DefaultResponder(method, path);
    return [original, changes](const StandIn::RecordedRequest& request) {
        StandIn::Answer answer = original(request);
        nlohmann::json body = nlohmann::json::parse(answer.body, nullptr, false);
        if (body.is_object()) {
            body.update(changes);
            answer.body = body.dump();
        }
        return answer;
    };
}

// The last job the rules received for the CUPS job, whole.
nlohmann::json LastServerJob(EndToEndWorld& world, int job)
{
    nlohmann::json last;
    for (const StandIn::RecordedRequest& request : world.Server().RequestsTo("PUT", "printapi/rules/process")) {
        nlohmann::json sent = nlohmann::json::parse(request.body, nullptr, false);
        if (sent.is_object() && sent.value("CupsId", 0) == job)
            last = sent;
    }
    return last;
}

const Meeting kMeetings[] = {
    {"JobMessage",
     [](EndToEndWorld& world) {
         world.ScriptRules(Tracking::Silently, EndToEndWorld::MonoPageCost, EndToEndWorld::ColourPageCost,
                           {EndToEnd::ContinueOrCancel("Colour printing", "This job costs 1.20.")});
     },
     {{kAlertTitle, {Keys("Return")}}},
     // Escape presses Cancel, which cancels the job without another alert.
     {{kAlertTitle, {Keys("Escape")}}}},
    {"Popup",
     [](EndToEndWorld& world) {
         world.ScriptRules(Tracking::WithPopup);
         world.Server().SetResponder("GET", "printapi/users",
                                     DefaultAnswerWith("GET", "printapi/users", {{"ShowComments", true}}));
     },
     // The comment box has the focus when the pop-up opens.
     {{kPopupTitle, {Typing("Handouts for room 4"), kClickPrint}}},
     // The client then says that the job is cancelled.
     {{kPopupTitle, {kClickCancelJob}}, {kAlertTitle, {Keys("Return")}}},
     [](EndToEndWorld& world, int job) {
         EXPECT_EQ(LastServerJob(world, job).value("Comments", std::string()), "Handouts for room 4");
     }},
    {"PinCode",
     [](EndToEndWorld& world) {
         world.ScriptRules(Tracking::Silently);
         world.Server().SetResponder("GET", "printapi/settings/*",
                                     DefaultAnswerWith("GET", "printapi/settings/*", {{"AuthenticationType", 2}}));
         // The server knows one PIN.
         world.Server().SetResponder("POST", "token", [](const StandIn::RecordedRequest& request) {
             if (request.Header("X-CV-AuthentType") == "2" && request.FormValue("username") != kPin)
                 return StandIn::Answer::Json(400, R"({"error":"invalid_grant","error_description":"No such PIN."})");
             return StandIn::GrantToken(request);
         });
     },
     // The PIN field has the focus; Return presses OK, Escape Cancel.
     {{kLoginTitle, {Typing(kPin), Keys("Return")}}},
     {{kLoginTitle, {Keys("Escape")}}, {kAlertTitle, {Keys("Return")}}},
     [](EndToEndWorld& world, int job) {
         std::optional<EndToEnd::ServerJobSummary> summary = world.ServerJob(job);
         ASSERT_TRUE(summary);
         EXPECT_EQ(summary->user, kPin);
     }},
};

// A system tray as the X desktops' tray protocol has it: the owner of the
// screen's "_NET_SYSTEM_TRAY_S<n>" selection, announced to the root window;
// an icon asks it to dock with a "_NET_SYSTEM_TRAY_OPCODE" message.
class StandInTray {
public:
    explicit StandInTray(const std::string& display)
    {
        int screenNumber = 0;
        mConnection = xcb_connect(display.c_str(), &screenNumber);
        if (xcb_connection_has_error(mConnection) != 0)
            return;
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(mConnection));
        for (int i = 0; i < screenNumber; ++i)
            xcb_screen_next(&screens);
        xcb_screen_t* screen = screens.data;
        mWindow = xcb_generate_id(mConnection);
        xcb_create_window(mConnection, XCB_COPY_FROM_PARENT, mWindow, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        xcb_atom_t selection = mAtom("_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber));
        mOpcode = mAtom("_NET_SYSTEM_TRAY_OPCODE");
        xcb_set_selection_owner(mConnection, mWindow, selection, XCB_CURRENT_TIME);
        xcb_client_message_event_t manager{};
        manager.response_type = XCB_CLIENT_MESSAGE;
        manager.format = 32;
        manager.window = screen->root;
        manager.type = mAtom("MANAGER");
        manager.data.data32[0] = XCB_CURRENT_TIME;
        manager.data.data32[1] = selection;
        manager.data.data32[2] = mWindow;
        xcb_send_event(mConnection, 0, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&manager));
        xcb_flush(mConnection);
    }
    ~StandInTray() { xcb_disconnect(mConnection); }
    StandInTray(const StandInTray&) = delete;
    StandInTray& operator=(const StandInTray&) = delete;

    // Whether an icon asked to dock (opcode 0) within the time.
    bool WaitForIcon(std::chrono::seconds limit)
    {
        auto end = std::chrono::steady_clock::now() + limit;
        while (mWindow != 0 && std::chrono::steady_clock::now() < end) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(mConnection)) {
                bool dock = (event->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                            reinterpret_cast<xcb_client_message_event_t*>(event)->type == mOpcode &&
                            reinterpret_cast<xcb_client_message_event_t*>(event)->data.data32[1] == 0;
                free(event);
                if (dock)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

private:
    xcb_atom_t mAtom(const std::string& name)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            mConnection, xcb_intern_atom(mConnection, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
        xcb_atom_t atom = reply != nullptr ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        free(reply);
        return atom;
    }

    xcb_connection_t* mConnection = nullptr;
    xcb_window_t mWindow = 0;
    xcb_atom_t mOpcode = XCB_ATOM_NONE;
};

class ApplicationEndToEndTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(mWorld.Problem(), "");
        ASSERT_TRUE(mWorld.AddQueue(kQueue, QueueKind::Tracked, DataPath::SpoolFile));
    }

    EndToEndWorld mWorld;
};

// The application on a private X server, where a person meets its windows.
class ClientOnADisplay : public ApplicationEndToEndTest {
protected:
    // environment: more variables the client starts with.
    bool StartOnTheDisplay(const std::vector<std::string>& environment = {})
    {
        std::vector<std::string> command = {"/usr/bin/env", "-u", "QT_QPA_PLATFORM", "DISPLAY=" + mDisplay.Display(),
                                            "LSAN_OPTIONS=suppressions=" CVK_LEAK_SUPPRESSIONS};
        command.insert(command.end(), environment.begin(), environment.end());
        command.push_back(CVK_CLIENT_APPLICATION);
        return mWorld.StartClientProgram(command);
    }
    // The visible window with a title that matches, or an empty text.
    std::string VisibleWindow(const char* title) const
    {
        return FirstLine(mDisplay.XdoTool({"search", "--onlyvisible", "--name", title}, 5));
    }

    // Does what the person does in each window as it comes up (a window
    // other than the last one met); false when a window did not come.
    bool Meet(const std::vector<Encounter>& encounters)
    {
        for (const Encounter& encounter : encounters) {
            std::string window;
            TestSupport::WaitUntil(
                [&] {
                    window = VisibleWindow(encounter.title);
                    return !window.empty() && window != mstrLastWindow;
                },
                std::chrono::seconds(30));
            if (window.empty() || window == mstrLastWindow) {
                ADD_FAILURE() << "no window " << encounter.title;
                return false;
            }
            mstrLastWindow = window;
            mDisplay.XdoTool({"windowfocus", "--sync", window});
            for (const Gesture& gesture : encounter.gestures)
                gesture(mDisplay, window);
        }
        return true;
    }

    TestSupport::PrivateXvfb mDisplay;
    std::string mstrLastWindow;
};

class MeetingTheClient : public ClientOnADisplay, public testing::WithParamInterface<Meeting> {};

// The windows come up as the rules and settings ask; what the person does
// there prints one job and cancels the next.
TEST_P(MeetingTheClient, AJobPrintsOrIsCancelledAsThePersonAnswersItsWindows)
{
    ASSERT_TRUE(mDisplay.Running()) << mDisplay.Output();
    GetParam().arrange(mWorld);
    ASSERT_TRUE(StartOnTheDisplay());

    int printed = mWorld.Submit(kQueue, CVK_SAMPLE_JOB, "to print");
    ASSERT_GT(printed, 0);
    ASSERT_TRUE(Meet(GetParam().printing)) << mWorld.QuorvelLog();
    EXPECT_TRUE(mWorld.WaitForJobState(printed, IPP_JSTATE_COMPLETED)) << mWorld.QuorvelLog();
    EXPECT_TRUE(mWorld.BackendRan(printed));
    if (GetParam().checkPrinted)
        GetParam().checkPrinted(mWorld, printed);

    int cancelled = mWorld.Submit(kQueue, CVK_SAMPLE_JOB, "to cancel");
    ASSERT_GT(cancelled, 0);
    ASSERT_TRUE(Meet(GetParam().cancelling)) << mWorld.QuorvelLog();
    EXPECT_TRUE(mWorld.WaitForJobState(cancelled, IPP_JSTATE_CANCELED)) << mWorld.QuorvelLog();
    EXPECT_FALSE(mWorld.BackendRan(cancelled));
    EXPECT_EQ(mWorld.StopClient(), 0) << TestSupport::ReadFileText(mWorld.Root().Path() + "/client.out");
}

INSTANTIATE_TEST_SUITE_P(Windows, MeetingTheClient, testing::ValuesIn(kMeetings), TestSupport::CaseName());

// The job is cancelled in CUPS while the person reads its pop-up: the pop-up
// closes by itself, the server never hears of the job's end (nothing is
// charged) and the next job is asked about as usual.
TEST_F(ClientOnADisplay, AJobCancelledInCupsWhileItsPopupIsOpenIsNotCharged)
{
    ASSERT_TRUE(mDisplay.Running()) << mDisplay.Output();
    mWorld.ScriptRules(Tracking::WithPopup);
    ASSERT_TRUE(StartOnTheDisplay());

    int cancelled = mWorld.Submit(kQueue, CVK_SAMPLE_JOB, "cancelled in CUPS");
    ASSERT_GT(cancelled, 0);
    ASSERT_TRUE(Meet({{kPopupTitle, {}}})) << mWorld.QuorvelLog();
    // The title names the brand once.
    EXPECT_EQ(FirstLine(mDisplay.XdoTool({"getwindowname", mstrLastWindow})), "Quorvel \u2013 Print Job");
    ASSERT_TRUE(mWorld.Cupsd().CancelJob(cancelled));
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return VisibleWindow(kPopupTitle).empty(); }, std::chrono::seconds(30)))
        << mWorld.QuorvelLog();
    EXPECT_TRUE(mWorld.WaitForJobState(cancelled, IPP_JSTATE_CANCELED));
    EXPECT_FALSE(mWorld.BackendRan(cancelled));
    for (const StandIn::RecordedRequest& request : mWorld.Server().RequestsTo("PUT", "printapi/rules/process"))
        EXPECT_EQ(request.QueryValue("startStage"), "0") << "the end rules ran for the job";
    // The job thread says so once its window has closed.
    EXPECT_TRUE(TestSupport::WaitUntil(
        [&] { return mWorld.QuorvelLog().find("its hook went while the user was asked") != std::string::npos; },
        std::chrono::seconds(10)));

    int printed = mWorld.Submit(kQueue, CVK_SAMPLE_JOB, "printed after");
    ASSERT_GT(printed, 0);
    ASSERT_TRUE(Meet({{kPopupTitle, {kClickPrint}}})) << mWorld.QuorvelLog();
    EXPECT_TRUE(mWorld.WaitForJobState(printed, IPP_JSTATE_COMPLETED)) << mWorld.QuorvelLog();
    EXPECT_EQ(mWorld.StopClient(), 0);
}

// Escape in the job pop-up cancels the job: it ends in CUPS at once, while
// the alert that tells the person so is still up, and nothing is printed.
TEST_F(ClientOnADisplay, EscapeInThePopupEndsTheJobBeforeTheAlertIsDismissed)
{
    ASSERT_TRUE(mDisplay.Running()) << mDisplay.Output();
    mWorld.ScriptRules(Tracking::WithPopup);
    ASSERT_TRUE(StartOnTheDisplay());

    int cancelled = mWorld.Submit(kQueue, CVK_SAMPLE_JOB, "escaped");
    ASSERT_GT(cancelled, 0);
    ASSERT_TRUE(Meet({{kPopupTitle, {Keys("Escape")}}})) << mWorld.QuorvelLog();
    EXPECT_TRUE(mWorld.WaitForJobState(cancelled, IPP_JSTATE_CANCELED)) << mWorld.QuorvelLog();
    // The alert comes after the job has ended, and nobody has answered it.
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return !VisibleWindow(kAlertTitle).empty(); }, std::chrono::seconds(10)))
        << mWorld.QuorvelLog();
    ASSERT_TRUE(Meet({{kAlertTitle, {Keys("Return")}}})) << mWorld.QuorvelLog();
    EXPECT_FALSE(mWorld.BackendRan(cancelled));
    EXPECT_EQ(mWorld.StopClient(), 0);
}

// A desktop with a window manager, where the person minimizes the job's
// pop-up and forgets it: the next job of the person brings it back, restored
// and in front, and each job gets its own answer.
TEST_F(ClientOnADisplay, AMinimizedPopupComesBackForTheNextJob)
{
    ASSERT_TRUE(mDisplay.Running()) << mDisplay.Output();
    const std::string managerOutput = mWorld.Root().Path() + "/openbox.out";
    pid_t manager = TestSupport::StartProgram(
        {"/usr/bin/env", "DISPLAY=" + mDisplay.Display(), "openbox", "--sm-disable"}, managerOutput);
    ASSERT_GT(manager, 0);
    // The manager is there once it tells the desktops it manages.
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return !mDisplay.XdoTool({"get_num_desktops"}, 5).empty(); },
                                       std::chrono::seconds(30)))
        << TestSupport::ReadFileText(managerOutput);
    mWorld.ScriptRules(Tracking::WithPopup);
    ASSERT_TRUE(StartOnTheDisplay());

    int first = mWorld.Submit(kQueue, CVK_SAMPLE_JOB, "minimized");
    ASSERT_GT(first, 0);
    ASSERT_TRUE(Meet({{kPopupTitle, {}}})) << mWorld.QuorvelLog();
    const std::string popup = mstrLastWindow;
    mDisplay.XdoTool({"windowminimize", "--sync", popup});
    ASSERT_TRUE(TestSupport::WaitUntil([&] { return VisibleWindow(kPopupTitle).empty(); }, std::chrono::seconds(10)));

    // A queue prints one job at a time: the next job goes to another printer.
    ASSERT_TRUE(mWorld.AddQueue("Back_Office", QueueKind::Tracked, DataPath::SpoolFile));
    int second = mWorld.Submit("Back_Office", CVK_SAMPLE_JOB, "next");
    ASSERT_GT(second, 0);
    EXPECT_TRUE(TestSupport::WaitUntil([&] { return VisibleWindow(kPopupTitle) == popup; }, std::chrono::seconds(30)))
        << mWorld.QuorvelLog();
    EXPECT_EQ(FirstLine(mDisplay.XdoTool({"getactivewindow"})), popup);
    // Return is Print, Escape cancels.
    Keys("Return")(mDisplay, popup);
    EXPECT_TRUE(mWorld.WaitForJobState(first, IPP_JSTATE_COMPLETED)) << mWorld.QuorvelLog();
    ASSERT_TRUE(Meet({{kPopupTitle, {Keys("Escape")}}, {kAlertTitle, {Keys("Return")}}})) << mWorld.QuorvelLog();
    EXPECT_TRUE(mWorld.WaitForJobState(second, IPP_JSTATE_CANCELED)) << mWorld.QuorvelLog();
    EXPECT_TRUE(mWorld.BackendRan(first));
    EXPECT_FALSE(mWorld.BackendRan(second));
    EXPECT_EQ(mWorld.StopClient(), 0);
    TestSupport::StopProgram(manager);
}

// The trays a desktop's panel brings: the X desktops' tray protocol, or the
// StatusNotifierItem watcher on the session bus, with its host (the panel)
// there at once or registered a moment after the watcher.
struct DesktopTray {
    const char* Name;
    bool statusNotifier;
    const char* hostAfterMs;  // of the StatusNotifierItem watcher
};
const DesktopTray kTrays[] = {
    {"XEmbed", false, ""}, {"StatusNotifier", true, "0"}, {"StatusNotifierHostLater", true, "1500"}};

class ATrayAfterTheClient : public ClientOnADisplay, public testing::WithParamInterface<DesktopTray> {};

// The desktop's panel (its tray) starts after the client, as it often does
// when both start with the session: the client shows its icon once the tray
// is there.
TEST_P(ATrayAfterTheClient, GetsTheClientsIcon)
{
    ASSERT_TRUE(mDisplay.Running()) << mDisplay.Output();
    TestSupport::PrivateBus session;
    ASSERT_TRUE(session.Running());
    const std::string onTheBus = "DBUS_SESSION_BUS_ADDRESS=" + session.Address();
    mWorld.ScriptRules(Tracking::Silently);
    ASSERT_TRUE(StartOnTheDisplay({onTheBus}));
    ASSERT_TRUE(TestSupport::WaitUntil(
        [&] { return mWorld.QuorvelLog().find("has no tray yet") != std::string::npos; }, std::chrono::seconds(30)))
        << mWorld.QuorvelLog();
    if (!GetParam().statusNotifier) {
        StandInTray tray(mDisplay.Display());
        EXPECT_TRUE(tray.WaitForIcon(std::chrono::seconds(30))) << mWorld.QuorvelLog();
    } else {
        std::string registered = mWorld.Root().Path() + "/watcher.out";
        pid_t pid = TestSupport::StartProgram(
            {"/usr/bin/env", onTheBus, CVK_STATUS_NOTIFIER_WATCHER, "--host-after-ms", GetParam().hostAfterMs},
            registered);
        EXPECT_TRUE(TestSupport::WaitUntil(
            [&] { return TestSupport::ReadFileText(registered).find("RegisterStatusNotifierItem") != std::string::npos; },
            std::chrono::seconds(30)))
            << TestSupport::ReadFileText(registered) << mWorld.QuorvelLog();
        TestSupport::StopProgram(pid);
    }
    EXPECT_NE(mWorld.QuorvelLog().find("a tray appeared"), std::string::npos);
    EXPECT_EQ(mWorld.StopClient(), 0);
}

INSTANTIATE_TEST_SUITE_P(Desktops, ATrayAfterTheClient, testing::ValuesIn(kTrays), TestSupport::CaseName());

// A job the rules refuse gets one alert, which the person dismisses; no
// second alert follows and the job is cancelled at once.
TEST_F(ClientOnADisplay, ARefusedJobGetsOneAlert)
{
    ASSERT_TRUE(mDisplay.Running()) << mDisplay.Output();
    CVClientData::JobMessage refusal;
    refusal.Type = CVClientData::JobMessage::JobCancelled;
    refusal.Title = "Colour printing is not allowed here";
    mWorld.ScriptRules(Tracking::Cancel, EndToEndWorld::MonoPageCost, EndToEndWorld::ColourPageCost, {refusal});
    ASSERT_TRUE(StartOnTheDisplay());

    int refused = mWorld.Submit(kQueue, CVK_SAMPLE_JOB, "refused");
    ASSERT_GT(refused, 0);
    ASSERT_TRUE(Meet({{kAlertTitle, {Keys("Return")}}})) << mWorld.QuorvelLog();
    EXPECT_TRUE(mWorld.WaitForJobState(refused, IPP_JSTATE_CANCELED)) << mWorld.QuorvelLog();
    EXPECT_TRUE(VisibleWindow(kAlertTitle).empty());
    EXPECT_FALSE(mWorld.BackendRan(refused));
    EXPECT_EQ(mWorld.StopClient(), 0);
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
