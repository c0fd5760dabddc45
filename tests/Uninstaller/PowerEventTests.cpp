// The power requests to the login manager (a stand-in on a private bus): each
// one's call, asking interactively, and its debug lines, whether the login
// manager takes it or refuses it.
#include "Uninstaller/SystemPowerEvent.h"
#include "tests/Support/NamedCases.h"
#include "tests/Support/TempRoot.h"
#include "tests/Uninstaller/LoginManagerStandIn.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using TestSupport::operator<<;

struct PowerCase {
    const char* Name;
    bool (*send)();
    bool refuse;
    const char* calls;    // what the login manager is asked
    const char* sending;  // the debug line before
    const char* outcome;  // the debug line after
};

const PowerCase kPowerCases[] = {
    {"Restart", SystemPowerEvent::Restart, false, "Reboot(true) interactive\n", "Sending Restart.",
     "Computer is going to restart!"},
    {"Shutdown", SystemPowerEvent::Shutdown, false, "PowerOff(true) interactive\n", "Sending Shutdown.",
     "Computer is going to Shutdown!"},
    {"Sleep", SystemPowerEvent::Sleep, false, "Suspend(true) interactive\n", "Sending Sleep.",
     "Computer is going to Sleep!"},
    {"LogOut", SystemPowerEvent::LogOut, false,
     "GetSession(auto) interactive\nTerminate /org/freedesktop/login1/session/_31 interactive\n", "Sending Logout.",
     "Computer is going to Logout!"},
    {"RestartRefused", SystemPowerEvent::Restart, true, "Reboot(true) interactive\n", "Sending Restart.",
     "Computer wouldn't restart"},
    {"ShutdownRefused", SystemPowerEvent::Shutdown, true, "PowerOff(true) interactive\n", "Sending Shutdown.",
     "Computer wouldn't Shutdown"},
    {"SleepRefused", SystemPowerEvent::Sleep, true, "Suspend(true) interactive\n", "Sending Sleep.",
     "Computer wouldn't Sleep"},
    {"LogOutRefused", SystemPowerEvent::LogOut, true, "GetSession(auto) interactive\n", "Sending Logout.",
     "Computer wouldn't Logout"},
};

// The login manager's refusal as the log tells it.
constexpr const char* kRefusalLine =
    "Login manager: org.freedesktop.DBus.Error.AccessDenied: Interactive authentication required.\n";

// The messages of the log's debug lines of the uninstaller, in order.
std::string UninstallerDebugLines(const std::string& log)
{
    const std::string marker = " - (Uninstaller, General): ";
    std::string lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) {
        size_t at = line.find(marker);
        if (line.starts_with("D ") && at != std::string::npos)
            lines += line.substr(at + marker.size()) + "\n";
    }
    return lines;
}

class PowerEventTest : public testing::TestWithParam<PowerCase> {
protected:
    TestSupport::TempRoot mRoot;
};

TEST_P(PowerEventTest, TheRequestReachesTheLoginManagerAndItsAnswerIsLogged)
{
    const PowerCase& test = GetParam();
    UninstallerTests::LoginManagerStandIn logind(mRoot.Path(), test.refuse);
    ASSERT_TRUE(logind.Serving());

    EXPECT_EQ(test.send(), !test.refuse);
    EXPECT_EQ(logind.Calls(), test.calls);
    std::string lines = std::string(test.sending) + "\n" + (test.refuse ? kRefusalLine : "") + test.outcome + "\n";
    EXPECT_EQ(UninstallerDebugLines(mRoot.ClientLogText()), lines);
}

INSTANTIATE_TEST_SUITE_P(Requests, PowerEventTest, testing::ValuesIn(kPowerCases), TestSupport::CaseName());

}  // namespace
