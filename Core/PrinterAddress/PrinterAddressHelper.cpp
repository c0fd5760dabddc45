#include "Core/PrinterAddress/PrinterAddressHelper.h"

#include "Common/StringFormat.h"
#include "Core/PrinterAddress/SWMIBAccess.h"
#include "CoreLogger/ComponentLog.h"
#include "CoreLogger/DebugScope.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <netdb.h>
#include <strings.h>
#include <unistd.h>

#include <cups/http.h>

namespace CVClientData {

namespace {

constexpr auto kComponent = LogComponents::CoreCups;
using Log = ComponentLog<kComponent>;

enum class DeviceKind { IpPrinter, PrintServerPrinter, LocalPrinter };

// The kind of device a URI scheme stands for.
DeviceKind mDeviceKindForScheme(const char* scheme)
{
    for (const char* ip : {"SOCKET", "MDNS", "DNSSD"})
        if (strcasecmp(scheme, ip) == 0)
            return DeviceKind::IpPrinter;
    for (const char* server : {"SMB", "PAP", "IPP", "LPD", "HTTP"})
        if (strcasecmp(scheme, server) == 0)
            return DeviceKind::PrintServerPrinter;
    return DeviceKind::LocalPrinter;
}

// Resolves a host name; the text becomes each address found in turn, so the
// last one remains. False when the name does not resolve.
bool mResolveHost(std::string& host)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_flags = AI_ADDRCONFIG;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) {
        Log::Error(
            "CupsJobHelper::DetermineHostAndPort - getaddrinfo failed - unable to determine IP Address of device.");
        return false;
    }
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, &freeaddrinfo);
    Log::Debug("Found the following IP addresses for %s", host);
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        std::array<char, NI_MAXHOST> text{};
        if (getnameinfo(entry->ai_addr, entry->ai_addrlen, text.data(), text.size(), nullptr, 0, NI_NUMERICHOST) != 0)
            continue;
        Log::Debug("   %s", text.data());
        host = text.data();
    }
    return true;
}

}  // namespace

PrinterDeviceAddress PrinterAddressHelper::DeterminePrinterDeviceAddress(const std::string& deviceUri)
{
    DebugScope scope(kComponent, "DeterminePrinterHostAndPort");
    PrinterDeviceAddress result;
    Log::Debug("Device URI: %s", deviceUri);
    if (deviceUri.empty()) {
        Log::Debug("CupsJobHelper::mDetermineHostAndPort - Printer URI is empty.");
        return result;
    }

    Log::Debug("**");
    std::array<char, HTTP_MAX_URI> scheme{}, userName{}, host{}, resource{};
    int port = 0;
    http_uri_status_t status = httpSeparateURI(HTTP_URI_CODING_MOST, deviceUri.c_str(), scheme.data(),
                                               static_cast<int>(scheme.size()), userName.data(),
                                               static_cast<int>(userName.size()), host.data(),
                                               static_cast<int>(host.size()), &port, resource.data(),
                                               static_cast<int>(resource.size()));
    if (status < HTTP_URI_STATUS_OK) {
        Log::Error("Unable to read the device URI %s (status %d).", deviceUri, static_cast<int>(status));
        return result;
    }
    Log::Debug("** Method: %s", scheme.data());
    Log::Debug("** Username: %s", userName.data());
    Log::Debug("** Host: %s", host.data());
    Log::Debug("** Port: %d", port);
    Log::Debug("** Resource: %s", resource.data());

    std::string hostText = host.data();
    std::string resourceText = resource.data();
    switch (mDeviceKindForScheme(scheme.data())) {
    case DeviceKind::LocalPrinter:
        Log::Debug("** Treating device as Local Printer");
        FixPrinterUrlString(resourceText);
        result.Host = GetLocalHostName();
        result.Port = std::string(scheme.data()) + ":" + resourceText;
        break;
    case DeviceKind::PrintServerPrinter:
        Log::Debug("** Treating device as Windows Printer");
        FixPrinterUrlString(resourceText);
        result.Host = hostText;
        result.Port = "\\\\" + hostText + "\\" + resourceText;
        break;
    case DeviceKind::IpPrinter: {
        Log::Debug("** Treating device as IP Printer");
        std::string portText;
        if (IsValidIPAddress(hostText.c_str()))
            portText = hostText;
        else
            mResolveHost(hostText);
        if (!portText.empty()) {
            result.MACAddress = GetMacAddressForIp(portText);
        } else {
            Log::Debug(
                "CupsJobHelper::DetermineHostAndPort - IP matching failed, falling back to non-IP device matching");
            result.Host = hostText;
            portText = hostText;
        }
        result.Port = portText + stringFormat(":%d", port);
        break;
    }
    }
    Log::Debug("**");
    return result;
}

void PrinterAddressHelper::FixPrinterUrlString(std::string& text)
{
    StringReplaceAll(text, "%20", " ");
    StringReplaceAll(text, "_", " ");
}

void PrinterAddressHelper::StringReplaceAll(std::string& text, std::string_view find, std::string_view replacement)
{
    if (find.empty())
        return;
    size_t position = 0;
    while ((position = text.find(find, position)) != std::string::npos) {
        text.replace(position, find.size(), replacement);
        // Go on after the replacement, so a replacement that holds the
        // searched text is not searched again.
        position += replacement.size();
    }
}

bool PrinterAddressHelper::IsValidIPAddress(const char* text)
{
    if (text == nullptr)
        return false;
    std::string_view value(text);
    if (value.size() < 7 || value.size() > 15)
        return false;
    bool digitsAndDots = std::all_of(value.begin(), value.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
    if (!digitsAndDots)
        Log::Debug("CupsJobHelper::mDetermineHostAndPort - Hostname is not an IP Address");
    return digitsAndDots;
}

std::string PrinterAddressHelper::GetLocalHostName()
{
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) != 0)
        return std::string();
    return std::string(name.data(), strnlen(name.data(), name.size() - 1));
}

std::string PrinterAddressHelper::GetMacAddressForIp(const std::string& address)
{
    DebugScope scope(kComponent, "GetMacAddressForIp");
    MacAddress mac{};
    size_t length = 0;
    std::string result = address;
    if (SWMIBAccess().GetMACAddress(address.c_str(), mac, length) && length == mac.size())
        result = stringFormat("%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return result;
}

}  // namespace CVClientData
