#include "tests/Support/PrivateSnmpd.h"

#include "tests/Support/ChildProgram.h"
#include "tests/Support/TempRoot.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <sys/socket.h>

namespace TestSupport {

namespace {

constexpr int kStartAttempts = 3;

}  // namespace

PrivateSnmpd::PrivateSnmpd(const std::string& community, const std::vector<std::string>& extraConfig)
{
    char pattern[] = "/tmp/cvksnmp.XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    mstrFolder = pattern;
    // Another test may take a port between our look and snmpd's bind.
    for (int attempt = 0; attempt < kStartAttempts && !Running(); ++attempt)
        mblnStart(community, extraConfig);
}

PrivateSnmpd::~PrivateSnmpd()
{
    StopProgram(mintPid);
    std::error_code ignored;
    std::filesystem::remove_all(mstrFolder, ignored);
}

std::string PrivateSnmpd::Log() const
{
    return ReadFileText(mstrFolder + "/snmpd.log");
}

bool PrivateSnmpd::mblnStart(const std::string& community, const std::vector<std::string>& extraConfig)
{
    mintPort = FreeLoopbackPort(SOCK_DGRAM);
    std::string config = "agentaddress udp:127.0.0.1:" + std::to_string(mintPort) + "\n";
    config += "rocommunity " + community + " 127.0.0.1\n";
    for (const auto& line : extraConfig)
        config += line + "\n";
    WriteFileText(mstrFolder + "/snmpd.conf", config);
    std::filesystem::remove(mstrFolder + "/snmpd.log");

    // snmpd finds its persistent folder through the environment only; the
    // caller's setting is put back once the agent has it.
    const char* callerSetting = std::getenv("SNMP_PERSISTENT_DIR");
    std::string saved = callerSetting != nullptr ? callerSetting : "";
    setenv("SNMP_PERSISTENT_DIR", mstrFolder.c_str(), 1);
    pid_t pid = StartProgram({"snmpd", "-f", "-C", "-c", mstrFolder + "/snmpd.conf", "-Lf", mstrFolder + "/snmpd.log",
                              "-p", mstrFolder + "/snmpd.pid"});
    if (callerSetting != nullptr)
        setenv("SNMP_PERSISTENT_DIR", saved.c_str(), 1);
    else
        unsetenv("SNMP_PERSISTENT_DIR");
    if (pid < 0)
        return false;
    bool ready = WaitUntil(
        [&] {
            std::string log = Log();
            return log.find("NET-SNMP version") != std::string::npos || log.find("Error opening") != std::string::npos;
        },
        std::chrono::seconds(10));
    if (!ready || Log().find("NET-SNMP version") == std::string::npos) {
        StopProgram(pid);
        return false;
    }
    mintPid = pid;
    return true;
}

}  // namespace TestSupport
