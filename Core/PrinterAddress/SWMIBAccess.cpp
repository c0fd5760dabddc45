#include "Core/PrinterAddress/SWMIBAccess.h"

#include "Common/StringFormat.h"
#include "CoreLogger/ComponentLog.h"
#include "Platform/NetworkInterfaces.h"

#include <algorithm>
#include <arpa/inet.h>
#include <charconv>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <vector>

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

namespace CVClientData {

namespace {

constexpr auto kComponent = LogComponents::CoreCups;
using Log = ComponentLog<kComponent>;

// ifPhysAddress, the physical-address column of the standard interfaces table.
constexpr std::array<oid, 10> kPhysAddressColumn{1, 3, 6, 1, 2, 1, 2, 2, 1, 6};
constexpr char kReadCommunity[] = "quelba";
constexpr long kSnmpTimeoutMicroseconds = 1000000;
constexpr int kSnmpRetries = 1;
// A walk ends after this many interfaces even if the agent never ends it.
constexpr int kMaxWalkSteps = 4096;

// Sets the SNMP library up once per process, without reading configuration
// or persistent files: the session settings are all given in code. No MIB
// file is loaded either (the walk names its columns by number), so that no
// missing MIB module fills the log with errors.
void mEnsureSnmpLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
        netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
        char noMibs[] = "mibs :";
        netsnmp_config(noMibs);
        init_snmp("cvkclient");
    });
}

// Reads one group of one or two hexadecimal digits.
bool mReadHexByte(std::string_view group, unsigned char& value)
{
    if (group.empty() || group.size() > 2)
        return false;
    unsigned parsed = 0;
    auto [end, error] = std::from_chars(group.data(), group.data() + group.size(), parsed, 16);
    if (error != std::errc() || end != group.data() + group.size())
        return false;
    value = static_cast<unsigned char>(parsed);
    return true;
}

// Copies a link-layer address that is exactly six bytes and not all zero
// (Linux gives the loopback interface a zero address).
bool mTakeSixBytes(const std::vector<unsigned char>& bytes, MacAddress& mac, size_t& length)
{
    if (bytes.size() != mac.size() || std::all_of(bytes.begin(), bytes.end(), [](unsigned char b) { return b == 0; }))
        return false;
    std::copy(bytes.begin(), bytes.end(), mac.begin());
    length = mac.size();
    return true;
}

// The dotted text of an IPv4 address in network order.
std::string mDotted(uint32_t address)
{
    in_addr value{};
    value.s_addr = address;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &value, text, sizeof text);
    return text;
}

struct SessionCloser {
    void operator()(void* session) const { snmp_sess_close(session); }
};
struct PduFree {
    void operator()(netsnmp_pdu* pdu) const { snmp_free_pdu(pdu); }
};

}  // namespace

bool SWMIBAccess::GetMACAddress(const char* host, MacAddress& mac, size_t& length)
{
    length = 0;
    if (host == nullptr || *host == '\0')
        return false;
    in_addr address{};
    if (inet_pton(AF_INET, host, &address) != 1) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        addrinfo* found = nullptr;
        if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr)
            return false;
        std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, &freeaddrinfo);
        sockaddr_in first{};
        memcpy(&first, found->ai_addr, sizeof first);
        address = first.sin_addr;
    }
    return GetMACAddress(address.s_addr, mac, length);
}

bool SWMIBAccess::GetMACAddress(uint32_t address, MacAddress& mac, size_t& length)
{
    length = 0;
    return mblnFindARPMatch(address, mac, length) || mblnFindInterfaceMatch(address, mac, length)
        || mblnGetMACViaSNMP(address, mac, length);
}

bool SWMIBAccess::mblnFindARPMatch(uint32_t address, MacAddress& mac, size_t& length)
{
    auto text = Platform::ArpHardwareAddressText(mDotted(address));
    if (!text)
        return false;
    mParseMacFromString(*text, 0, mac, length);
    return length == mac.size();
}

bool SWMIBAccess::mblnFindInterfaceMatch(uint32_t address, MacAddress& mac, size_t& length)
{
    auto bytes = Platform::InterfaceHardwareAddress(address);
    return bytes && mTakeSixBytes(*bytes, mac, length);
}

bool SWMIBAccess::mblnGetMACViaSNMP(uint32_t address, MacAddress& mac, size_t& length)
{
    mEnsureSnmpLibrary();
    std::string peer = stringFormat("udp:%s:%u", mDotted(address), static_cast<unsigned>(mintSnmpPort));
    std::string community = kReadCommunity;

    netsnmp_session settings;
    snmp_sess_init(&settings);
    settings.version = SNMP_VERSION_1;
    settings.peername = peer.data();
    settings.community = reinterpret_cast<u_char*>(community.data());
    settings.community_len = community.size();
    settings.timeout = kSnmpTimeoutMicroseconds;
    settings.retries = kSnmpRetries;
    std::unique_ptr<void, SessionCloser> session(snmp_sess_open(&settings));
    if (!session) {
        Log::Debug("Unable to open an SNMP session to %s", peer);
        return false;
    }

    std::vector<oid> current(kPhysAddressColumn.begin(), kPhysAddressColumn.end());
    for (int step = 0; step < kMaxWalkSteps; ++step) {
        netsnmp_pdu* request = snmp_pdu_create(SNMP_MSG_GETNEXT);
        if (request == nullptr)
            return false;
        snmp_add_null_var(request, current.data(), current.size());
        netsnmp_pdu* answer = nullptr;
        int status = snmp_sess_synch_response(session.get(), request, &answer);
        std::unique_ptr<netsnmp_pdu, PduFree> response(answer);
        if (status != STAT_SUCCESS || !response || response->errstat != SNMP_ERR_NOERROR)
            return false;
        const netsnmp_variable_list* variable = response->variables;
        if (variable == nullptr || variable->name_length < kPhysAddressColumn.size()
            || !std::equal(kPhysAddressColumn.begin(), kPhysAddressColumn.end(), variable->name))
            return false;
        // GETNEXT must move forward; an agent that answers the same name again
        // would otherwise keep the walk going for ever.
        if (snmp_oid_compare(variable->name, variable->name_length, current.data(), current.size()) <= 0)
            return false;
        if (variable->type == ASN_OCTET_STR && variable->val_len == mac.size()) {
            std::copy_n(variable->val.string, mac.size(), mac.begin());
            length = mac.size();
            return true;
        }
        // An interface without a six-byte hardware address: ask for the next.
        current.assign(variable->name, variable->name + variable->name_length);
    }
    return false;
}

void SWMIBAccess::mParseMacFromString(std::string_view text, size_t start, MacAddress& mac, size_t& length)
{
    length = 0;
    size_t position = start;
    for (size_t index = 0; index < mac.size(); ++index) {
        if (position > text.size())
            return;
        size_t end;
        if (index + 1 < mac.size()) {
            end = text.find(':', position);
            if (end == std::string_view::npos)
                return;
        } else {
            end = text.find_first_of(" \t\r\n", position);
            if (end == std::string_view::npos)
                end = text.size();
        }
        if (!mReadHexByte(text.substr(position, end - position), mac.at(index)))
            return;
        position = end + 1;
    }
    length = mac.size();
}

}  // namespace CVClientData
