#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace TestSupport {

// A private SNMP agent (net-snmp's snmpd) for one test: its own
// configuration, persistent folder and log in a temporary folder, answering
// only on a free UDP port of 127.0.0.1 with a read-only community. Extra
// configuration lines (such as "override OID TYPE VALUE") shape the answers.
// Stopped and removed with everything in it on destruction.
class PrivateSnmpd {
public:
    explicit PrivateSnmpd(const std::string& community = "quelba", const std::vector<std::string>& extraConfig = {});
    ~PrivateSnmpd();
    PrivateSnmpd(const PrivateSnmpd&) = delete;
    PrivateSnmpd& operator=(const PrivateSnmpd&) = delete;

    // True once the agent has started and answers.
    bool Running() const { return mintPid > 0; }
    int Port() const { return mintPort; }
    const std::string& Folder() const { return mstrFolder; }
    std::string Log() const;

private:
    bool mblnStart(const std::string& community, const std::vector<std::string>& extraConfig);

    std::string mstrFolder;
    int mintPort = -1;
    pid_t mintPid = -1;
};

}  // namespace TestSupport
