#pragma once

#include "Core/CVModels/SerializableModel.h"

#include <string>

namespace CVClientData {

// One entry of the server's price table by paper size: the size range it
// covers (tenths of a millimetre, bounds inclusive) and its unit costs.
class PricingPaperSize : public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;
    void FromJson(const nlohmann::json& json) override;

    uint64_t Id = 0;
    std::string SizeName;
    int32_t PageUnits = 0;
    int64_t FromWidth = 0;
    int64_t FromHeight = 0;
    int64_t ToWidth = 0;
    int64_t ToHeight = 0;
    double BWCost = 0.0;
    double ColorCost = 0.0;
};

}  // namespace CVClientData
