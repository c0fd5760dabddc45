#include "tests/Support/PrivateBus.h"

#include "tests/Support/ChildProgram.h"
#include "tests/Support/TempRoot.h"

#include <chrono>
#include <filesystem>
#include <stdexcept>

namespace TestSupport {

namespace {

constexpr auto kStartLimit = std::chrono::seconds(20);

std::string Configuration(const std::string& folder)
{
    return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n"
           "  <type>custom</type>\n"
           "  <listen>unix:path="
           + folder
           + "/bus</listen>\n"
             "  <auth>EXTERNAL</auth>\n"
             "  <policy context=\"default\">\n"
             "    <allow user=\"*\"/>\n"
             "    <allow own=\"*\"/>\n"
             "    <allow send_destination=\"*\"/>\n"
             "    <allow receive_sender=\"*\"/>\n"
             "  </policy>\n"
             "</busconfig>\n";
}

}  // namespace

PrivateBus::PrivateBus()
{
    char pattern[] = "/tmp/cvkbus.XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    mstrFolder = pattern;
    WriteFileText(mstrFolder + "/bus.conf", Configuration(mstrFolder));
    std::string addressFile = mstrFolder + "/address";
    mintPid = StartProgram({"dbus-daemon", "--config-file=" + mstrFolder + "/bus.conf", "--nofork", "--nopidfile",
                            "--print-address"},
                           addressFile);
    if (mintPid < 0)
        return;
    // The address is printed once the bus listens, among any warnings.
    auto printedAddress = [&] {
        std::string printed = ReadFileText(addressFile);
        size_t start = printed.find("unix:");
        size_t end = start == std::string::npos ? start : printed.find('\n', start);
        return end == std::string::npos ? std::string() : printed.substr(start, end - start);
    };
    WaitUntil([&] { return !printedAddress().empty(); }, kStartLimit);
    mstrAddress = printedAddress();
}

PrivateBus::~PrivateBus()
{
    StopProgram(mintPid);
    std::error_code ignored;
    std::filesystem::remove_all(mstrFolder, ignored);
}

}  // namespace TestSupport
