#include "Core/PrinterAddress/PrinterAddressHelper.h"

#include "tests/PrinterAddress/LocalInterfaces.h"
#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

#include <unistd.h>

using CVClientData::PrinterAddressHelper;
using CVClientData::PrinterDeviceAddress;

namespace {

using Text = std::optional<std::string>;

std::string HostName()
{
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}

}  // namespace

TEST(DeviceAddress, EachKindOfDeviceUri)
{
    TestSupport::TempRoot root;
    struct Case {
        std::string uri;
        Text host, port, mac;
    };
    const Case cases[] = {
        {"", std::nullopt, std::nullopt, std::nullopt},
        {"ipp://printsrv.example:631/printers/Front%20Desk_Laser", "printsrv.example",
         "\\\\printsrv.example\\/printers/Front Desk Laser", std::nullopt},
        {"LPD://spooler.example/queue_1", "spooler.example", "\\\\spooler.example\\/queue 1", std::nullopt},
        {"smb://WORKGROUP/winserver/Shared_Printer", "WORKGROUP", "\\\\WORKGROUP\\/winserver/Shared Printer", std::nullopt},
        {"usb://Maker/Model_X%20200?serial=42", HostName(), "usb:/Model X 200?serial=42", std::nullopt},
        {"socket://no-such-printer.invalid:9101", "no-such-printer.invalid", "no-such-printer.invalid:9101", std::nullopt},
        // A name that resolves: its address stands as host and port.
        {"socket://localhost", "127.0.0.1", "127.0.0.1:9100", std::nullopt},
    };
    for (const auto& c : cases) {
        PrinterDeviceAddress address = PrinterAddressHelper::DeterminePrinterDeviceAddress(c.uri);
        EXPECT_EQ(address.Host, c.host) << c.uri;
        EXPECT_EQ(address.Port, c.port) << c.uri;
        EXPECT_EQ(address.MACAddress, c.mac) << c.uri;
    }
}

TEST(DeviceAddress, LiteralAddressGetsItsHardwareAddress)
{
    TestSupport::TempRoot root;
    auto own = PrinterAddressTests::FirstEthernetInterface();
    if (!own)
        GTEST_SKIP() << "no interface with an IPv4 and a hardware address";
    for (std::string scheme : {"socket", "SOCKET", "dnssd"}) {
        PrinterDeviceAddress address = PrinterAddressHelper::DeterminePrinterDeviceAddress(scheme + "://" + own->ipv4 + ":9100");
        EXPECT_FALSE(address.Host.has_value()) << scheme;
        EXPECT_EQ(address.Port, own->ipv4 + ":9100") << scheme;
        EXPECT_EQ(address.MACAddress, own->macHyphened) << scheme;
    }
}

TEST(DeviceAddress, AddressWithoutHardwareAddressKeepsTheAddressText)
{
    TestSupport::TempRoot root;
    // Loopback: in no ARP table, no hardware address, no agent on port 161.
    PrinterDeviceAddress address = PrinterAddressHelper::DeterminePrinterDeviceAddress("socket://127.0.0.1:9100");
    EXPECT_EQ(address.Port, "127.0.0.1:9100");
    EXPECT_EQ(address.MACAddress, "127.0.0.1");
}
