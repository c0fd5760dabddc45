#pragma once

#include "Core/CVModels/SerializableModel.h"

#include <string>

namespace CVClientData {

// An entry of the server's special application list. The client passes
// "Ignore" and "BehaviorFlags" on without interpreting them.
class Application : public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;
    void FromJson(const nlohmann::json& json) override;

    void CopyFrom(const Application& other) { *this = other; }

    std::string ProcessName;
    bool Ignore = false;
    int32_t BehaviorFlags = 0;
};

}  // namespace CVClientData
