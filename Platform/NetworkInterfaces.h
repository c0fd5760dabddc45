#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

// The hardware address column of the completed entry of the system's ARP
// table whose IP address is exactly the given dotted address (Linux keeps the
// table in /proc/net/arp; entries still being resolved are skipped).
std::optional<std::string> ArpHardwareAddressText(std::string_view dottedAddress);

// The same look-up in a table text of /proc/net/arp's form.
std::optional<std::string> ArpHardwareAddressText(std::string_view arpTable, std::string_view dottedAddress);

// The link-layer address of the local interface that holds the IPv4 address
// (network byte order); none when no interface holds it or it has none.
std::optional<std::vector<unsigned char>> InterfaceHardwareAddress(uint32_t ipv4Address);

}  // namespace Platform
