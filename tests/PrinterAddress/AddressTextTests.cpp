#include "Core/PrinterAddress/PrinterAddressHelper.h"
#include "Core/PrinterAddress/SWMIBAccess.h"
#include "Platform/NetworkInterfaces.h"

#include "tests/Support/TempRoot.h"

#include <gtest/gtest.h>

using CVClientData::MacAddress;
using CVClientData::PrinterAddressHelper;
using CVClientData::SWMIBAccess;

TEST(AddressText, StringReplaceAllEndsForEveryInput)
{
    struct Case {
        std::string text, find, replacement, expected;
    };
    const Case cases[] = {
        {"Office_Printer_2", "_", " ", "Office Printer 2"},
        {"%20%20x%20", "%20", " ", "  x "},
        {"Bob\xE2\x80\x99s desk", "\xE2\x80\x99", "_", "Bob_s desk"},
        {"abc", "", "x", "abc"},                      // nothing to find
        {"a-a", "a", "aa", "aa-aa"},                  // replacement holds the text
        {"aaa", "aa", "a", "aa"},                     // no re-scan of the replacement
        {"", "x", "y", ""},
        {"xyz", "xyz", "", ""},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        PrinterAddressHelper::StringReplaceAll(text, c.find, c.replacement);
        EXPECT_EQ(text, c.expected) << c.text << " / " << c.find;
    }
}

TEST(AddressText, FixPrinterUrlStringMakesBlanks)
{
    std::string text = "/printers/Front%20Desk_Laser";
    PrinterAddressHelper::FixPrinterUrlString(text);
    EXPECT_EQ(text, "/printers/Front Desk Laser");
}

TEST(AddressText, IsValidIPAddressLooksOnlyAtLengthAndCharacters)
{
    TestSupport::TempRoot root;
    struct Case {
        const char* text;
        bool expected;
    };
    const Case cases[] = {
        {"1.2.3.4", true},       {"10.0.0.12", true},        {"255.255.255.255", true},
        {"1.2.3.4567", true},    {"192.168.001.100", true},  {"1.2.3", false},
        {"1234567890123456", false}, {"printer1", false},    {"10.0.0.1a", false},
        {"fe80::1", false},      {"", false},                {nullptr, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrinterAddressHelper::IsValidIPAddress(c.text), c.expected) << (c.text ? c.text : "null");
}

TEST(AddressText, MacTextIsReadOnlyWhenSixGroupsAreWellFormed)
{
    struct Case {
        std::string text;
        size_t start;
        bool valid;
        MacAddress expected;
    };
    const Case cases[] = {
        {"00:1b:a9:ff:2:3", 0, true, {0x00, 0x1b, 0xa9, 0xff, 0x02, 0x03}},
        {"0:0:0:0:0:0", 0, true, {0, 0, 0, 0, 0, 0}},
        {"at aa:BB:cc:dd:ee:ff [ether] on en0\n", 3, true, {0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff}},
        {"aa:bb:cc:dd:ee:f\nnext line", 0, true, {0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0x0f}},
        {"aa:bb:cc", 0, false, {}},
        {"aa:bb:cc:dd:ee:", 0, false, {}},
        {"aa:bb:cc:dd:ee:fff", 0, false, {}},
        {"aa:bb:cc:dd:ee:gg", 0, false, {}},
        {"aa::cc:dd:ee:ff", 0, false, {}},
        {"(incomplete)", 0, false, {}},
        {"aa:bb:cc:dd:ee:ff", 40, false, {}},
    };
    for (const auto& c : cases) {
        MacAddress mac{};
        size_t length = 99;
        SWMIBAccess::mParseMacFromString(c.text, c.start, mac, length);
        EXPECT_EQ(length, c.valid ? 6u : 0u) << c.text;
        if (c.valid) {
            EXPECT_EQ(mac, c.expected) << c.text;
        }
    }
}

TEST(AddressText, ArpTableMatchesTheWholeAddressOfACompletedEntry)
{
    const std::string table =
        "IP address       HW type     Flags       HW address            Mask     Device\n"
        "10.0.0.12        0x1         0x2         02:00:00:00:00:12     *        eth0\n"
        "10.0.0.1         0x1         0x2         02:00:00:00:00:01     *        eth0\n"
        "10.0.0.7         0x1         0x0         00:00:00:00:00:00     *        eth0\n"
        "10.0.0.9         0x1\n"
        "10.0.0.8         0x1         0x6         02:00:00:00:00:08     *        eth1";
    struct Case {
        const char* address;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"10.0.0.1", "02:00:00:00:00:01"},
        {"10.0.0.12", "02:00:00:00:00:12"},
        {"10.0.0.8", "02:00:00:00:00:08"},  // last line without a newline
        {"10.0.0.7", std::nullopt},          // not yet resolved
        {"10.0.0.9", std::nullopt},          // cut short
        {"10.0.0.", std::nullopt},
        {"IP", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Platform::ArpHardwareAddressText(table, c.address), c.expected) << c.address;
}
