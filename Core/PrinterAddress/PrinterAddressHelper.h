#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace CVClientData {

// What the device URI of a queue says about the printer: its host, its
// "port" (the server's name for the device's address) and its hardware
// address. A value that is not worked out stays unset.
struct PrinterDeviceAddress {
    std::optional<std::string> Host;
    std::optional<std::string> Port;
    std::optional<std::string> MACAddress;
};

// Works out a printer's host, port and hardware address from its device URI,
// and the text clean-ups used on printer names and locations. The CUPS job
// helper offers these under its own name.
class PrinterAddressHelper {
public:
    // The device's address from a device URI; nothing is set for an empty URI.
    static PrinterDeviceAddress DeterminePrinterDeviceAddress(const std::string& deviceUri);

    // Turns "%20" and underscores into blanks.
    static void FixPrinterUrlString(std::string& text);

    // Replaces every occurrence of find, scanning on after each replacement.
    static void StringReplaceAll(std::string& text, std::string_view find, std::string_view replacement);

    // True for a text of 7 to 15 digits and dots.
    static bool IsValidIPAddress(const char* text);

    // This computer's host name.
    static std::string GetLocalHostName();

    // The device's hardware address as "XX-XX-XX-XX-XX-XX", or the address
    // text itself when none was found.
    static std::string GetMacAddressForIp(const std::string& address);
};

}  // namespace CVClientData
