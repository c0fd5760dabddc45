#include "Platform/NetworkInterfaces.h"

#include <charconv>
#include <fstream>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <memory>
#include <netinet/in.h>
#include <sstream>
#include <string.h>

namespace Platform {

namespace {

// ARP flag of an entry whose hardware address is known (ATF_COM).
constexpr unsigned kArpEntryComplete = 0x2;

// Splits a line into its blank-separated words.
std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t position = 0;
    while (position < line.size()) {
        size_t start = line.find_first_not_of(" \t", position);
        if (start == std::string_view::npos)
            break;
        size_t end = line.find_first_of(" \t", start);
        if (end == std::string_view::npos)
            end = line.size();
        words.push_back(line.substr(start, end - start));
        position = end;
    }
    return words;
}

// Reads a flags word such as "0x2".
std::optional<unsigned> HexFlags(std::string_view word)
{
    if (word.starts_with("0x") || word.starts_with("0X"))
        word.remove_prefix(2);
    unsigned value = 0;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
    if (error != std::errc() || end != word.data() + word.size())
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::string> ArpHardwareAddressText(std::string_view arpTable, std::string_view dottedAddress)
{
    size_t position = 0;
    bool header = true;
    while (position < arpTable.size()) {
        size_t end = arpTable.find('\n', position);
        if (end == std::string_view::npos)
            end = arpTable.size();
        std::string_view line = arpTable.substr(position, end - position);
        position = end + 1;
        if (header) {
            header = false;
            continue;
        }
        // IP address, HW type, Flags, HW address, Mask, Device
        auto words = Words(line);
        if (words.size() < 4 || words[0] != dottedAddress)
            continue;
        auto flags = HexFlags(words[2]);
        if (flags && (*flags & kArpEntryComplete) != 0)
            return std::string(words[3]);
    }
    return std::nullopt;
}

std::optional<std::string> ArpHardwareAddressText(std::string_view dottedAddress)
{
    std::ifstream table("/proc/net/arp");
    if (!table)
        return std::nullopt;
    std::ostringstream text;
    text << table.rdbuf();
    return ArpHardwareAddressText(text.str(), dottedAddress);
}

std::optional<std::vector<unsigned char>> InterfaceHardwareAddress(uint32_t ipv4Address)
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return std::nullopt;
    std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> owner(list, &freeifaddrs);

    std::optional<std::string> interfaceName;
    for (const ifaddrs* entry = list; entry != nullptr && !interfaceName; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        sockaddr_in address{};
        memcpy(&address, entry->ifa_addr, sizeof address);
        if (address.sin_addr.s_addr == ipv4Address)
            interfaceName = entry->ifa_name;
    }
    if (!interfaceName)
        return std::nullopt;

    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_PACKET || *interfaceName != entry->ifa_name)
            continue;
        sockaddr_ll link{};
        memcpy(&link, entry->ifa_addr, sizeof link);
        size_t length = std::min<size_t>(link.sll_halen, sizeof link.sll_addr);
        if (length == 0)
            return std::nullopt;
        return std::vector<unsigned char>(link.sll_addr, link.sll_addr + length);
    }
    return std::nullopt;
}

}  // namespace Platform
