#pragma once

#include "Core/CVModels/ClientJob.h"
#include "Core/CVModels/CostModifier.h"
#include "Core/CVModels/CustomField.h"
#include "Core/CVModels/PricingPaperSize.h"
#include "Core/CVModels/ProcessJobResult.h"
#include "Core/CVModels/SerializableModel.h"

#include <vector>

namespace CVClientData {

// The server's answer to a rules call as it comes over the wire: the result
// for the job thread and the decisions that are written into the job. Each
// "...Set" or "...Changed" flag says whether its decision is to be applied.
class WebDataServiceProcessJobResult : public ProcessJobResult, public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;

    // Scalars are lenient; "ProcessModifier", "UserModifier", "PaperSizes",
    // "Messages" and "CustomFields" are required.
    void FromJson(const nlohmann::json& json) override;

    // Writes the rules' decisions into the job, in the order the server
    // applies them; the page sets are always priced again.
    void MapProcessResultsToJob(ClientJob& job) const;

    bool TrackOptionSet = false;
    bool PricingChanged = false;
    bool CountPagesAsPhysical = false;
    bool IgnoreBalancesSet = false;
    bool IgnoreBalances = false;  // the server will not charge the user
    bool CustomFieldsAreSet = false;
    int32_t TrackOption = 0;  // CVTrackOption
    int32_t PriceOption = 0;  // CVPriceOption
    int32_t SpecialFlags = 0;
    int32_t JobType = 1;
    double BWUnitCost = 0.0;
    double ColorUnitCost = 0.0;
    CostModifier ProcessModifier;
    CostModifier UserModifier;
    std::vector<PricingPaperSize> PaperSizes;
    std::vector<CustomField> CustomFields;
};

}  // namespace CVClientData
