#include "Core/CVModels/Printer.h"

namespace CVClientData {

void Printer::ToJson(nlohmann::json& json) const
{
    json["Id"] = Id;
    json["Name"] = Name;
    json["Port"] = Port;
    json["Host"] = Host;
    json["LogicalKey"] = LogicalKey;
    json["NetworkShare"] = NetworkShare;
    json["MACAddress"] = MACAddress;
    json["Location"] = Location;
    json["Serial"] = Serial;
    json["ManufacturerModel"] = ManufacturerModel;
    json["Driver"] = Driver;
    json["DriverVersion"] = DriverVersion;
    json["ColorCapable"] = ColorCapable;
    json["DuplexCapable"] = DuplexCapable;
    json["IsVirtual"] = IsVirtual;
    json["SecureQueueId"] = SecureQueueId;
}

void Printer::FromJson(const nlohmann::json& json)
{
    Id = SafeJsonToULong(json, "Id");
    Name = SafeJsonToString(json, "Name");
    Port = SafeJsonToString(json, "Port");
    Host = SafeJsonToString(json, "Host");
    LogicalKey = SafeJsonToString(json, "LogicalKey");
    NetworkShare = SafeJsonToString(json, "NetworkShare");
    MACAddress = SafeJsonToString(json, "MACAddress");
    Location = SafeJsonToString(json, "Location");
    Serial = SafeJsonToString(json, "Serial");
    ManufacturerModel = SafeJsonToString(json, "ManufacturerModel");
    Driver = SafeJsonToString(json, "Driver");
    DriverVersion = SafeJsonToString(json, "DriverVersion");
    ColorCapable = SafeJsonToBool(json, "ColorCapable");
    DuplexCapable = SafeJsonToBool(json, "DuplexCapable");
    IsVirtual = SafeJsonToBool(json, "IsVirtual");
    SecureQueueId = SafeJsonToULong(json, "SecureQueueId");
}

}  // namespace CVClientData
