#pragma once

#include "Core/CVModels/SerializableModel.h"

#include <string>

namespace CVClientData {

// A printer as the server knows it, with its URI at the local CUPS server.
class Printer : public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;
    void FromJson(const nlohmann::json& json) override;

    uint64_t Id = 0;
    std::string Name;
    std::string Port;
    std::string Host;
    std::string LogicalKey;
    std::string NetworkShare;
    std::string MACAddress;
    std::string Location;
    std::string Serial;
    std::string ManufacturerModel;
    std::string Driver;
    std::string DriverVersion;
    bool ColorCapable = false;
    bool DuplexCapable = false;
    bool IsVirtual = false;
    uint64_t SecureQueueId = 0;
    // Set by the CUPS queries for their IPP requests; copied, never serialised.
    std::string PrinterUri;
};

}  // namespace CVClientData
