#include "Core/PrinterAddress/PrinterAddressHelper.h"
#include "Core/PrinterAddress/SWMIBAccess.h"

#include "tests/PrinterAddress/LocalInterfaces.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/PrivateSnmpd.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <algorithm>
#include <chrono>
#include <unistd.h>
#include <fcntl.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>

using CVClientData::MacAddress;
using CVClientData::PrinterAddressHelper;
using CVClientData::SWMIBAccess;
using namespace PrinterAddressTests;

namespace {

const uint32_t kLoopback = htonl(INADDR_LOOPBACK);

// "0A-0B-..." of a found address.
std::string Format(const MacAddress& mac)
{
    char text[18];
    snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

uint32_t Address(const std::string& dotted)
{
    in_addr value{};
    inet_pton(AF_INET, dotted.c_str(), &value);
    return value.s_addr;
}

// Interface table rows that the agent answers in place of the real ones:
// no address, a three-byte address, then a six-byte one.
const std::vector<std::string> kShapedTable = {
    "override .1.3.6.1.2.1.2.2.1.6.1 octet_str \"\"",
    "override .1.3.6.1.2.1.2.2.1.6.2 octet_str \"abc\"",
    "override .1.3.6.1.2.1.2.2.1.6.3 octet_str 0x0a0b0c0d0e0f",
};

}  // namespace

TEST(HardwareAddress, OwnInterfaceIsFoundByItsExactAddress)
{
    TestSupport::TempRoot root;
    auto own = FirstEthernetInterface();
    if (!own)
        GTEST_SKIP() << "no interface with an IPv4 and a hardware address";
    MacAddress mac{};
    size_t length = 0;
    ASSERT_TRUE(SWMIBAccess().mblnFindInterfaceMatch(Address(own->ipv4), mac, length));
    EXPECT_EQ(length, 6u);
    EXPECT_EQ(Format(mac), own->macHyphened);
    EXPECT_EQ(PrinterAddressHelper::GetMacAddressForIp(own->ipv4), own->macHyphened);

    // Loopback has no hardware address; an address on no interface has none.
    EXPECT_FALSE(SWMIBAccess().mblnFindInterfaceMatch(kLoopback, mac, length));
    EXPECT_FALSE(SWMIBAccess().mblnFindInterfaceMatch(Address("203.0.113.77"), mac, length));
}

TEST(HardwareAddress, ArpTableEntryIsFound)
{
    TestSupport::TempRoot root;
    auto entry = FirstArpEntry();
    if (!entry)
        GTEST_SKIP() << "the ARP table holds no completed entry";
    MacAddress mac{};
    size_t length = 0;
    ASSERT_TRUE(SWMIBAccess().mblnFindARPMatch(Address(entry->first), mac, length));
    EXPECT_EQ(Format(mac), entry->second);
    EXPECT_EQ(PrinterAddressHelper::GetMacAddressForIp(entry->first), entry->second);
}

// The first walk sets the SNMP library up (each test runs in a process of
// its own): it loads no MIB file, so no missing MIB module fills standard
// error, where the client's journal would keep it.
TEST(HardwareAddress, SnmpWalkTakesTheFirstSixByteAddress)
{
    TestSupport::TempRoot root;
    TestSupport::PrivateSnmpd agent("quelba", kShapedTable);
    ASSERT_TRUE(agent.Running()) << agent.Log();
    MacAddress mac{};
    size_t length = 0;
    std::string errors = root.Path() + "/stderr.txt";
    int savedError = dup(STDERR_FILENO);
    int errorFile = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(errorFile, 0);
    dup2(errorFile, STDERR_FILENO);
    bool walked = SWMIBAccess(static_cast<uint16_t>(agent.Port())).mblnGetMACViaSNMP(kLoopback, mac, length);
    dup2(savedError, STDERR_FILENO);
    close(savedError);
    close(errorFile);
    std::string written = TestSupport::ReadFileText(errors);
    EXPECT_EQ(written.find("Cannot find module"), std::string::npos) << written;
    EXPECT_EQ(written.find("MIB search path"), std::string::npos) << written;
    ASSERT_TRUE(walked);
    EXPECT_EQ(length, 6u);
    EXPECT_EQ(Format(mac), "0A-0B-0C-0D-0E-0F");
    // The whole look-up by name ends in the same walk: loopback is in no
    // ARP table and has no hardware address.
    mac = {};
    ASSERT_TRUE(SWMIBAccess(static_cast<uint16_t>(agent.Port())).GetMACAddress("127.0.0.1", mac, length));
    EXPECT_EQ(Format(mac), "0A-0B-0C-0D-0E-0F");
}

TEST(HardwareAddress, SnmpWalkOfTheAgentsRealInterfaceTable)
{
    TestSupport::TempRoot root;
    TestSupport::PrivateSnmpd agent;
    ASSERT_TRUE(agent.Running()) << agent.Log();
    TestSupport::ProgramResult walk = TestSupport::RunProgram(
        {"snmpwalk", "-v1", "-c", "quelba", "-On", "-Ox", "127.0.0.1:" + std::to_string(agent.Port()), "1.3.6.1.2.1.2.2.1.6"});
    // The first row whose value has six bytes: "... = Hex-STRING: 0A 9F 00 C8 D6 4B".
    std::string expected;
    std::stringstream rows(walk.output);
    for (std::string row; expected.empty() && std::getline(rows, row);) {
        size_t at = row.find("Hex-STRING: ");
        if (at == std::string::npos)
            continue;
        std::string bytes = row.substr(at + 12);
        while (!bytes.empty() && bytes.back() == ' ')
            bytes.pop_back();
        if (bytes.size() == 17) {
            std::replace(bytes.begin(), bytes.end(), ' ', '-');
            expected = bytes;
        }
    }
    if (expected.empty())
        GTEST_SKIP() << "the agent lists no interface with a hardware address";
    MacAddress mac{};
    size_t length = 0;
    ASSERT_TRUE(SWMIBAccess(static_cast<uint16_t>(agent.Port())).mblnGetMACViaSNMP(kLoopback, mac, length));
    EXPECT_EQ(Format(mac), expected);
}

TEST(HardwareAddress, SilentOrRefusingAgentFailsWithinItsTimeOut)
{
    TestSupport::TempRoot root;
    TestSupport::PrivateSnmpd agent("another-community");
    ASSERT_TRUE(agent.Running()) << agent.Log();
    for (int port : {agent.Port(), TestSupport::FreeLoopbackPort(SOCK_DGRAM)}) {
        auto start = std::chrono::steady_clock::now();
        MacAddress mac{};
        size_t length = 7;
        EXPECT_FALSE(SWMIBAccess(static_cast<uint16_t>(port)).mblnGetMACViaSNMP(kLoopback, mac, length));
        EXPECT_EQ(length, 7u);
        // One second and one retry.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3500));
    }
}

TEST(HardwareAddress, ConcurrentWalksShareNothing)
{
    TestSupport::TempRoot root;
    TestSupport::PrivateSnmpd agent("quelba", kShapedTable);
    ASSERT_TRUE(agent.Running()) << agent.Log();
    std::vector<std::thread> threads;
    std::vector<std::string> results(6);
    for (size_t i = 0; i < results.size(); ++i)
        threads.emplace_back([&, i] {
            for (int round = 0; round < 3; ++round) {
                MacAddress mac{};
                size_t length = 0;
                if (SWMIBAccess(static_cast<uint16_t>(agent.Port())).mblnGetMACViaSNMP(kLoopback, mac, length))
                    results[i] += Format(mac);
            }
        });
    for (auto& thread : threads)
        thread.join();
    for (const auto& result : results)
        EXPECT_EQ(result, "0A-0B-0C-0D-0E-0F0A-0B-0C-0D-0E-0F0A-0B-0C-0D-0E-0F");
}
