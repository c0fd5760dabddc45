#include "tests/PrinterAddress/LocalInterfaces.h"

#include "tests/Support/TempRoot.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <ifaddrs.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace PrinterAddressTests {

std::string Hyphened(std::string colonText)
{
    std::replace(colonText.begin(), colonText.end(), ':', '-');
    std::transform(colonText.begin(), colonText.end(), colonText.begin(), [](unsigned char c) { return std::toupper(c); });
    return colonText;
}

std::optional<LocalInterface> FirstEthernetInterface()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return std::nullopt;
    std::optional<LocalInterface> found;
    for (ifaddrs* entry = list; entry != nullptr && !found; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        std::string mac = TestSupport::ReadFileText(std::string("/sys/class/net/") + entry->ifa_name + "/address");
        while (!mac.empty() && std::isspace(static_cast<unsigned char>(mac.back())))
            mac.pop_back();
        if (mac.size() != 17 || mac == "00:00:00:00:00:00")
            continue;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(entry->ifa_addr)->sin_addr, text, sizeof text);
        found = LocalInterface{entry->ifa_name, text, Hyphened(mac)};
    }
    freeifaddrs(list);
    return found;
}

std::optional<std::pair<std::string, std::string>> FirstArpEntry()
{
    std::stringstream table(TestSupport::ReadFileText("/proc/net/arp"));
    std::string line;
    std::getline(table, line);
    while (std::getline(table, line)) {
        std::stringstream words(line);
        std::string ip, type, flags, mac;
        words >> ip >> type >> flags >> mac;
        if (flags == "0x2" && mac.size() == 17)
            return std::make_pair(ip, Hyphened(mac));
    }
    return std::nullopt;
}

}  // namespace PrinterAddressTests

namespace {

// The SNMP library keeps state files (certificate indexes) in its persistent
// folder, /var/lib/snmp unless told otherwise: these tests give it their own.
class SnmpStateFolder : public ::testing::Environment {
public:
    void SetUp() override
    {
        char pattern[] = "/tmp/cvksnmpstate.XXXXXX";
        if (mkdtemp(pattern) != nullptr) {
            mstrFolder = pattern;
            setenv("SNMP_PERSISTENT_DIR", mstrFolder.c_str(), 1);
        }
    }
    void TearDown() override
    {
        std::error_code ignored;
        if (!mstrFolder.empty())
            std::filesystem::remove_all(mstrFolder, ignored);
    }

private:
    std::string mstrFolder;
};

const auto* const kSnmpStateFolder = ::testing::AddGlobalTestEnvironment(new SnmpStateFolder);

}  // namespace
