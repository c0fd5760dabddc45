#include "Core/CVModels/ClientSettings.h"

#include "Common/StringFormat.h"
#include "Core/CVModels/IClientSettingsSource.h"
#include "CoreLogger/ComponentLog.h"

#include <algorithm>
#include <array>
#include <unistd.h>

using Log = ComponentLog<LogComponents::Memory>;
using SettingsLog = ComponentLog<LogComponents::CoreSettings>;

namespace CVClientData {

ClientSettings::ClientSettings()
{
    Log::Debug("+++ Client Settings +++");
}

ClientSettings::ClientSettings(const std::string& clientDirectory)
    : mstrLocalStoragePath(stringFormat("%s%s", clientDirectory, LocalStorageFileName))
{
    Log::Debug("+++ Client Settings +++");
}

ClientSettings::ClientSettings(const ClientSettings& other)
    : SerializableModel(other)
{
    Log::Debug("+++ Client Settings +++");
    *this = other;
}

ClientSettings::~ClientSettings()
{
    Log::Debug("--- Client Settings ---");
}

void ClientSettings::ToJson(nlohmann::json& json) const
{
    json["AuthenticationType"] = AuthenticationType;
    json["PINLabel"] = PINLabel;
    json["PINPasswordLabel"] = PINPasswordLabel;
    json["AlwaysPopEarly"] = AlwaysPopEarly;
    json["NumberDecimalPlaces"] = NumberDecimalPlaces;
    json["PercentageModifierOption"] = PercentageModifierOption;
    json["NetworkType"] = NetworkType;
    json["AlwaysPopSecure"] = AlwaysPopSecure;
    json["DisplayClientTrayIcon"] = DisplayClientTrayIcon;
    json["SupportThirdPartyJobs"] = SupportThirdPartyJobs;
    json["DisconnectedJobOption"] = DisconnectedJobOption;
    json["DisconnectedJobsOldIn"] = DisconnectedJobsOldIn;
    json["DisconnectedJobsMesg"] = DisconnectedJobsMesg;
    json["PreAuthenticationRequired"] = PreAuthenticationRequired;
}

void ClientSettings::FromJson(const nlohmann::json& json)
{
    AuthenticationType = SafeJsonToInt(json, "AuthenticationType");
    PINLabel = SafeJsonToString(json, "PINLabel");
    PINPasswordLabel = SafeJsonToString(json, "PINPasswordLabel");
    AlwaysPopEarly = SafeJsonToBool(json, "AlwaysPopEarly");
    NumberDecimalPlaces = SafeJsonToULong(json, "NumberDecimalPlaces");
    PercentageModifierOption = SafeJsonToInt(json, "PercentageModifierOption");
    NetworkType = SafeJsonToInt(json, "NetworkType");
    AlwaysPopSecure = SafeJsonToBool(json, "AlwaysPopSecure");
    DisplayClientTrayIcon = SafeJsonToBool(json, "DisplayClientTrayIcon");
    SupportThirdPartyJobs = SafeJsonToBool(json, "SupportThirdPartyJobs");
    DisconnectedJobOption = SafeJsonToInt(json, "DisconnectedJobOption");
    DisconnectedJobsOldIn = SafeJsonToULong(json, "DisconnectedJobsOldIn");
    DisconnectedJobsMesg = SafeJsonToString(json, "DisconnectedJobsMesg");
    PreAuthenticationRequired = SafeJsonToBool(json, "PreAuthenticationRequired");
}

void ClientSettings::CopySettingsFrom(const ClientSettings& other)
{
    std::string path = mstrLocalStoragePath;
    *this = other;
    mstrLocalStoragePath = std::move(path);
}

bool ClientSettings::FromLocalStorageFile()
{
    return LoadFromBinaryFile(mstrLocalStoragePath);
}

bool ClientSettings::ToLocalStorageFile() const
{
    return WriteToBinaryFile(mstrLocalStoragePath, PrivateFileWriter::Durability::Cache);
}

// Asks the server for this computer's settings and caches them when asked to.
bool ClientSettings::LoadFromNetwork(IClientSettingsSource& service, bool save)
{
    if (!service.CanReach()) {
        SettingsLog::Debug("Unable to reach server. Disconnected state");
        return false;
    }
    std::array<char, 257> hostName{};
    if (gethostname(hostName.data(), hostName.size() - 1) != 0)
        hostName[0] = '\0';
    std::string computerName(hostName.data());
    std::replace(computerName.begin(), computerName.end(), '.', '_');

    if (!service.GetClientSettings(computerName, *this)) {
        SettingsLog::Error("LoadFromNetwork. Failed to load client settings from the network. ");
        return false;
    }
    if (save)
        WriteToBinaryFile(mstrLocalStoragePath, PrivateFileWriter::Durability::Cache);
    return true;
}

}  // namespace CVClientData
