#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace CVClientData {

// A hardware (MAC) address: six bytes.
using MacAddress = std::array<unsigned char, 6>;

// Finds the hardware address of a network device: in the system's ARP table,
// among this computer's own interfaces, and from the device itself over SNMP
// (the first interface with a hardware address in its interface table).
// Made on the stack for one look-up; shares nothing with other look-ups.
class SWMIBAccess {
public:
    static constexpr uint16_t DefaultSnmpPort = 161;

    // The SNMP agent is asked on the given UDP port (tests run their own).
    explicit SWMIBAccess(uint16_t snmpPort = DefaultSnmpPort) : mintSnmpPort(snmpPort) {}
    virtual ~SWMIBAccess() = default;

    // By host name or dotted IPv4 address. On success length is 6.
    bool GetMACAddress(const char* host, MacAddress& mac, size_t& length);

    // By IPv4 address in network byte order.
    bool GetMACAddress(uint32_t address, MacAddress& mac, size_t& length);

    bool mblnFindARPMatch(uint32_t address, MacAddress& mac, size_t& length);
    bool mblnFindInterfaceMatch(uint32_t address, MacAddress& mac, size_t& length);
    bool mblnGetMACViaSNMP(uint32_t address, MacAddress& mac, size_t& length);

    // Reads six hexadecimal groups ("0:1b:a9:ff:2:3") from start on. Length
    // is 6 when all six were well formed, else 0.
    static void mParseMacFromString(std::string_view text, size_t start, MacAddress& mac, size_t& length);

private:
    uint16_t mintSnmpPort;
};

}  // namespace CVClientData
