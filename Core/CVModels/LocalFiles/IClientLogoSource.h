#pragma once

#include <cstdint>
#include <string>

namespace CVClientData {

// The server's answer to a logo check.
enum ClientLogoResult : int32_t {
    StandardLogo = 0,   // show the product's own logo
    LogoUnchanged = 1,  // the logo last sent still holds
    NewLogo = 2,        // a new logo comes with the answer
};

// What the logo cache needs of the server connection. The web service
// implements it; the records library stays free of the network.
class IClientLogoSource {
public:
    virtual ~IClientLogoSource() = default;

    // Checks the logo against the change date the client holds. The date goes
    // into the request's query, so the implementation escapes it there. On a
    // new logo the image bytes come in data and the new change date in date.
    virtual bool GetClientLogo(ClientLogoResult& result, std::string& data, std::string& date) = 0;
};

}  // namespace CVClientData
