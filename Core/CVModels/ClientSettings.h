#pragma once

#include "Core/CVModels/SerializableModel.h"

#include <string>

namespace CVClientData {

class IClientSettingsSource;

// The settings the server sends for this computer: how users are identified,
// where the pop-up appears and what becomes of jobs taken while the server
// was unreachable. Cached as one CBOR item in "<folder>/.cvklocal.set" so the
// client and the hook can work from the last known settings.
class ClientSettings : public SerializableModel {
public:
    static constexpr const char* LocalStorageFileName = "/.cvklocal.set";

    // No storage path.
    ClientSettings();
    // Stored in the given client folder.
    explicit ClientSettings(const std::string& clientDirectory);
    ClientSettings(const ClientSettings& other);
    ClientSettings& operator=(const ClientSettings&) = default;
    ~ClientSettings() override;

    void ToJson(nlohmann::json& json) const override;
    void FromJson(const nlohmann::json& json) override;

    // Takes every setting of another record but keeps this record's path.
    void CopySettingsFrom(const ClientSettings& other);

    // Authentication types 0 and 1 identify the user automatically.
    bool IsAutomaticAuthentication() const { return AuthenticationType < 2; }
    // Types 4 and 5 ask through the network login window.
    bool IsNetworkAuthentication() const { return AuthenticationType == 4 || AuthenticationType == 5; }

    // Reads the cache file; false when it is missing or unusable, and the
    // settings are then left as they were.
    bool FromLocalStorageFile();
    // Writes the cache file; false when it cannot be written.
    bool ToLocalStorageFile() const;

    // Fetches the settings for this computer from the server and, when save
    // is set, caches them; false when the server is unreachable or refuses.
    bool LoadFromNetwork(IClientSettingsSource& service, bool save);

    const std::string& GetLocalStoragePath() const { return mstrLocalStoragePath; }

    int32_t AuthenticationType = 0;  // CVAuthenticationOption
    std::string PINLabel;
    std::string PINPasswordLabel;
    bool AlwaysPopEarly = true;
    uint64_t NumberDecimalPlaces = 0;
    int32_t PercentageModifierOption = 1;  // CVPercentageModifierOption
    int32_t NetworkType = 0;
    bool AlwaysPopSecure = false;
    bool DisplayClientTrayIcon = false;
    bool SupportThirdPartyJobs = false;
    int32_t DisconnectedJobOption = 3;
    uint64_t DisconnectedJobsOldIn = 0;  // days
    std::string DisconnectedJobsMesg;
    bool PreAuthenticationRequired = false;

private:
    std::string mstrLocalStoragePath;
};

}  // namespace CVClientData
