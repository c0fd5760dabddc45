#pragma once

#include <optional>
#include <string>

namespace PrinterAddressTests {

// One of this machine's network interfaces as the kernel's sysfs shows it.
struct LocalInterface {
    std::string name;
    std::string ipv4;         // dotted
    std::string macHyphened;  // "0A-1B-..." in upper case
};

// The first interface, other than loopback, with an IPv4 address and a
// six-byte hardware address that is not zero.
std::optional<LocalInterface> FirstEthernetInterface();

// A completed entry of /proc/net/arp: the IP address and its MAC as
// "0A-1B-...".
std::optional<std::pair<std::string, std::string>> FirstArpEntry();

// "0a:1b:..." as "0A-1B-...".
std::string Hyphened(std::string colonText);

}  // namespace PrinterAddressTests
