#pragma once

#include <string>

namespace CVClientData {

class ClientSettings;

// What the client settings need of the server connection. The web service
// implements it; the records library stays free of the network.
class IClientSettingsSource {
public:
    virtual ~IClientSettingsSource() = default;

    // Whether the server answers its ping.
    virtual bool CanReach() = 0;

    // Fills the settings for the computer of the given name (its dots already
    // replaced by "_"), keeping the record's own storage path; false on failure.
    virtual bool GetClientSettings(const std::string& computerName, ClientSettings& settings) = 0;
};

}  // namespace CVClientData
