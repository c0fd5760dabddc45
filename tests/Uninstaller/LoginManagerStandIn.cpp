#include "tests/Uninstaller/LoginManagerStandIn.h"

#include "tests/Support/ChildProgram.h"
#include "tests/Support/PrivateBus.h"
#include "tests/Support/TempRoot.h"

#include <chrono>
#include <cstdlib>

namespace UninstallerTests {

namespace {

constexpr auto kStartLimit = std::chrono::seconds(20);

// The process's system bus: started on first use, before Qt connects to it.
const TestSupport::PrivateBus& SystemBus()
{
    static TestSupport::PrivateBus bus;
    static bool named = [] { return setenv("DBUS_SYSTEM_BUS_ADDRESS", bus.Address().c_str(), 1) == 0; }();
    static_cast<void>(named);
    return bus;
}

}  // namespace

LoginManagerStandIn::LoginManagerStandIn(const std::string& folder, bool refuse)
    : mstrRecord(folder + "/logind.record")
{
    const TestSupport::PrivateBus& bus = SystemBus();
    if (!bus.Running())
        return;
    std::string output = folder + "/logind.out";
    mintPid = TestSupport::StartProgram({CVK_LOGIND_STANDIN, bus.Address(), mstrRecord, refuse ? "refuse" : "accept"},
                                        output);
    auto ready = [&] { return TestSupport::ReadFileText(output).find("ready") != std::string::npos; };
    mblnServing = mintPid > 0 && TestSupport::WaitUntil(ready, kStartLimit);
}

LoginManagerStandIn::~LoginManagerStandIn()
{
    TestSupport::StopProgram(mintPid);
}

std::string LoginManagerStandIn::Calls() const
{
    return TestSupport::ReadFileText(mstrRecord);
}

}  // namespace UninstallerTests
