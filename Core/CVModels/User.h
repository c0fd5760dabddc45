#pragma once

#include "Core/CVModels/JobCalculations.h"
#include "Core/CVModels/SerializableModel.h"

#include <string>

namespace CVClientData {

// A user as the server knows it: names, balances and what the pop-up offers
// them, and the bearer token of their server login.
class User : public SerializableModel {
public:
    // The balance kinds of "Allowance"."Type".
    enum BalanceType : int32_t {
        NoBalance = 0,
        CostBalance = 1,       // money
        PageBalance = 2,       // pages of any kind, on the black-and-white balance
        BWPageBalance = 3,     // black-and-white pages
        ColorPageBalance = 4,  // colour pages, on the colour balance
        BothPageBalances = 5,  // black-and-white and colour pages, each on its own balance
    };

    // The five balance members travel as one object under "Allowance".
    void ToJson(nlohmann::json& json) const override;

    // "Allowance" is required.
    void FromJson(const nlohmann::json& json) override;

    // Whether the user has nothing left to print with: the balance of the
    // user's kind, overdraft included, is 0 or less. Always true for a kind
    // this client does not know.
    bool ZeroBalance() const;

    // Whether the job costs more than the user has left, overdraft included.
    // Page balances are cut to whole pages first. Always true for a kind this
    // client does not know.
    bool JobExceedsBalance(const JobCalculations& calculations) const;

    uint64_t Id = 0;  // 0 = no user
    std::string DisplayName;
    std::string NetworkName;
    std::string Domain;
    std::string UniqueKey;
    std::string SAMAccountName;
    int32_t Type = 0;  // balance type: 0 none, 1 cost, 2 pages, 3 mono pages, 4 colour pages, 5 both
    double BWBalanceRemaining = 0.0;
    double ColorBalanceRemaining = 0.0;
    double BWBalanceOverdraft = 0.0;
    double ColorBalanceOverdraft = 0.0;
    uint64_t MaxPendingJobs = 0;
    bool ShowComments = false;
    bool UseLastEntries = false;
    int32_t BatchMode = 0;  // CVBatchMode: 0 none, 1 manual, 2 automatic
    uint64_t BatchTimeout = 0;
    uint64_t MaxBatchSize = 0;
    bool AllowSnooze = false;
    bool AllowCostOverride = false;
    bool ShowCosts = false;
    bool UserCanAddCodes = false;
    bool IsNovell = false;
    std::string ServiceAuthToken;
};

}  // namespace CVClientData
