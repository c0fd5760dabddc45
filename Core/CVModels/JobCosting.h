#pragma once

#include "Core/CVModels/CostModifier.h"
#include "Core/CVModels/JobCalculations.h"
#include "Core/CVModels/PageSet.h"
#include "Core/CVModels/PricingPaperSize.h"
#include "Core/CVModels/SerializableModel.h"

#include <optional>
#include <vector>

namespace CVClientData {

// A job's costing inputs: the pricing unit and base costs the server's rules
// set, the user's overrides, the job's copies, duplex and n-up, its page sets
// and the server's price table by paper size. It is also the cost engine:
// the client prices the job exactly as the server will charge it, so the
// pop-up shows the right costs and balances are checked before printing.
class JobCosting : public SerializableModel {
public:
    void ToJson(nlohmann::json& json) const override;

    // "PageSets" is required; "PaperSizes" is read only when present.
    void FromJson(const nlohmann::json& json) override;

    // Gives every page set its unit costs: from the matching entry of the
    // price table when pricing by paper size, else the base costs.
    void UpdatePageSetPricing();

    // The first price-table entry whose size range holds the size (bounds
    // inclusive), if any.
    std::optional<PricingPaperSize> GetMatchingSize(int64_t width, int64_t height) const;

    // Logical pages as the page sets give them; answers their total.
    int32_t CalculateLogicalPages(int32_t& bwPages, int32_t& colorPages) const;

    // Physical pages: sheets when "CountAsPhysical" is set (n-up and duplex
    // folded in), else the logical pages; with copies when asked. The ratio
    // is physical over logical pages (1 when pages are not counted as
    // sheets). Answers the total; every output may be absent.
    int32_t CalculatePhysicalPages(bool applyCopies, double* ratio = nullptr, int32_t* bwPages = nullptr,
                                   int32_t* colorPages = nullptr) const;

    // Billable units, copies included: pages when pricing per page or by
    // paper size, else the pages' area or length scaled by the sheet ratio.
    // Answers the total; every output may be absent.
    double CalculateTotalUnits(double* ratio = nullptr, double* bwUnits = nullptr, double* colorUnits = nullptr) const;

    // Unit costs before modifiers: the base costs, or when pricing by paper
    // size the page sets' costs weighted by their share of the pages.
    void CalculateBaseCosts(double& bwCost, double& colorCost) const;

    // Applies every modifier's fixed amounts, in list order.
    void CalculateCostModifiers(const std::vector<CostModifier>& modifiers, double& bwCost, double& colorCost,
                                double& addedCost) const;

    // Applies every modifier's percentages one after the other, in list order.
    void CalculateAppliedPercentageModifiers(const std::vector<CostModifier>& modifiers, double& bwCost,
                                             double& colorCost, double& addedCost) const;

    // Combines the modifiers' percentages by "PercentageModifierOption",
    // starting from 100 each.
    void CalculateOtherPercentageModifiers(const std::vector<CostModifier>& modifiers, int32_t& bwPercent,
                                           int32_t& colorPercent, int32_t& allPercent) const;

    // Unit costs and added cost after modifiers (or the user's overrides when
    // applied), and the job's total cost; every output may be absent.
    double CalculateJobCosts(const std::vector<CostModifier>& modifiers, double* bwCost, double* colorCost,
                             double* addedCost, bool applyOverrides) const;

    // Fills every count, unit and cost of the calculations. The total cost
    // leaves the overrides out; the final costs and the minimum cost use them.
    void CalculateCosts(const std::vector<CostModifier>& modifiers, JobCalculations& calculations) const;

    // Forgets the user's overrides.
    void ClearOverrides();

    int32_t PriceOption = 0;  // CVPriceOption
    double BaseBWUnitCost = 0.0;
    double BaseColorUnitCost = 0.0;
    bool OverrodeCostPerUnit = false;
    double OverriddenBWUnitCost = 0.0;
    double OverriddenColorUnitCost = 0.0;
    bool OverrodeAddedCosts = false;
    double OverriddenAddedCosts = 0.0;
    int32_t PercentageModifierOption = 1;  // CVPercentageModifierOption
    uint64_t Copies = 1;
    bool IsDuplex = false;
    uint64_t NUpCount = 1;
    bool CountAsPhysical = false;
    std::vector<PageSet> PageSets;
    std::vector<PricingPaperSize> PaperSizes;

private:
    struct PageSums {
        int64_t BW = 0;
        int64_t Color = 0;
    };
    struct PhysicalPages {
        int64_t BW = 0;
        int64_t Color = 0;
        double Ratio = 1.0;
    };

    // Page totals over all page sets, summed wide so that no count overflows.
    PageSums mSumPages() const;
    // Physical pages of one copy, with the ratio to the logical pages.
    PhysicalPages mPhysicalPagesOfOneCopy() const;
};

}  // namespace CVClientData
