#include "Core/CVModels/JobCosting.h"

#include "Common/NumberConversion.h"
#include "Core/CVModels/CostingOptions.h"

#include <algorithm>
#include <cmath>

// The cost engine of a job's costing. Its arithmetic follows the server's
// step by step (rounding up of sheets, truncation of percentages, the order of
// floating-point operations), so that the price shown is the price charged.

namespace CVClientData {
namespace {

// A page count times the copies, clamped into the count's range.
int32_t TimesCopies(int64_t pages, uint64_t copies)
{
    return ClampToInteger<int32_t>(static_cast<double>(pages) * static_cast<double>(copies));
}

// A count divided by a positive divisor, rounded up.
uint64_t DivideRoundingUp(uint64_t count, uint64_t divisor)
{
    return count / divisor + (count % divisor != 0 ? 1 : 0);
}

}  // namespace

// Prices every page set from the table by paper size or from the base costs.
void JobCosting::UpdatePageSetPricing()
{
    for (PageSet& pageSet : PageSets) {
        std::optional<PricingPaperSize> size;
        if (PriceOption == PriceByPaperSize)
            size = GetMatchingSize(pageSet.Width, pageSet.Height);
        if (size) {
            pageSet.BaseBWUnitCost = size->BWCost;
            pageSet.BaseColorUnitCost = size->ColorCost;
            pageSet.SizeName = size->SizeName;
            pageSet.PageUnits = size->PageUnits;
        } else {
            pageSet.BaseBWUnitCost = BaseBWUnitCost;
            pageSet.BaseColorUnitCost = BaseColorUnitCost;
            pageSet.PageUnits = 0;
        }
    }
}

// The first entry of the price table whose ranges hold the size.
std::optional<PricingPaperSize> JobCosting::GetMatchingSize(int64_t width, int64_t height) const
{
    auto found = std::find_if(PaperSizes.begin(), PaperSizes.end(), [width, height](const PricingPaperSize& size) {
        return size.FromWidth <= width && width <= size.ToWidth && size.FromHeight <= height &&
               height <= size.ToHeight;
    });
    if (found == PaperSizes.end())
        return std::nullopt;
    return *found;
}

// Sums the page sets' pages.
JobCosting::PageSums JobCosting::mSumPages() const
{
    PageSums sums;
    for (const PageSet& pageSet : PageSets) {
        sums.BW += pageSet.BWPages;
        sums.Color += pageSet.ColorPages;
    }
    return sums;
}

// Logical pages: the page sets' own counts.
int32_t JobCosting::CalculateLogicalPages(int32_t& bwPages, int32_t& colorPages) const
{
    const PageSums sums = mSumPages();
    bwPages = ClampToInteger<int32_t>(sums.BW);
    colorPages = ClampToInteger<int32_t>(sums.Color);
    return ClampToInteger<int32_t>(sums.BW + sums.Color);
}

// Sheets of one copy when pages count as physical: the logical pages are
// put n-up, then on both sides, each rounded up, and the sheets are shared
// between black-and-white and colour in the pages' proportion.
JobCosting::PhysicalPages JobCosting::mPhysicalPagesOfOneCopy() const
{
    const PageSums sums = mSumPages();
    PhysicalPages physical{sums.BW, sums.Color, 1.0};
    const int64_t total = sums.BW + sums.Color;
    if (!CountAsPhysical || total <= 0)
        return physical;

    uint64_t sheets = static_cast<uint64_t>(total);
    if (NUpCount >= 2)
        sheets = DivideRoundingUp(sheets, NUpCount);
    if (IsDuplex)
        sheets = DivideRoundingUp(sheets, 2);
    const auto sheetCount = static_cast<int64_t>(sheets);  // never more than total
    physical.Ratio = static_cast<double>(sheetCount) / static_cast<double>(total);

    if (sums.BW == 0) {
        physical.BW = 0;
        physical.Color = sheetCount;
    } else if (sums.Color == 0) {
        physical.BW = sheetCount;
        physical.Color = 0;
    } else {
        physical.BW = static_cast<int64_t>(std::floor(static_cast<double>(sums.BW) * physical.Ratio));
        // A job with black-and-white pages on two or more sheets prints at
        // least one black-and-white sheet.
        if (physical.BW == 0 && sheetCount >= 2)
            physical.BW = 1;
        physical.Color = sheetCount - physical.BW;
    }
    return physical;
}

// Physical pages, with the copies when asked.
int32_t JobCosting::CalculatePhysicalPages(bool applyCopies, double* ratio, int32_t* bwPages,
                                           int32_t* colorPages) const
{
    const PhysicalPages physical = mPhysicalPagesOfOneCopy();
    const uint64_t copies = applyCopies ? Copies : 1;
    const int32_t bw = TimesCopies(physical.BW, copies);
    const int32_t color = TimesCopies(physical.Color, copies);
    if (ratio != nullptr)
        *ratio = physical.Ratio;
    if (bwPages != nullptr)
        *bwPages = bw;
    if (colorPages != nullptr)
        *colorPages = color;
    return ClampToInteger<int32_t>(static_cast<int64_t>(bw) + color);
}

// Billable units of the whole job.
double JobCosting::CalculateTotalUnits(double* ratio, double* bwUnits, double* colorUnits) const
{
    double pageRatio = 1.0;
    int32_t bwPages = 0;
    int32_t colorPages = 0;
    CalculatePhysicalPages(false, &pageRatio, &bwPages, &colorPages);

    double bw = 0.0;
    double color = 0.0;
    if (PriceOption == PricePerPage || PriceOption == PriceByPaperSize) {
        bw = bwPages;
        color = colorPages;
    } else {
        for (const PageSet& pageSet : PageSets) {
            const double units = pageSet.CalculateUnitsPerPage(PriceOption);
            bw += units * pageSet.BWPages;
            color += units * pageSet.ColorPages;
        }
        bw *= pageRatio;
        color *= pageRatio;
    }
    bw *= static_cast<double>(Copies);
    color *= static_cast<double>(Copies);

    if (ratio != nullptr)
        *ratio = pageRatio;
    if (bwUnits != nullptr)
        *bwUnits = bw;
    if (colorUnits != nullptr)
        *colorUnits = color;
    return bw + color;
}

// Unit costs before modifiers.
void JobCosting::CalculateBaseCosts(double& bwCost, double& colorCost) const
{
    bwCost = BaseBWUnitCost;
    colorCost = BaseColorUnitCost;
    if (PriceOption != PriceByPaperSize || PageSets.empty())
        return;

    bwCost = 0.0;
    colorCost = 0.0;
    const PageSums sums = mSumPages();
    for (const PageSet& pageSet : PageSets) {
        if (sums.BW > 0)
            bwCost += pageSet.BWPages / static_cast<double>(sums.BW) * pageSet.BaseBWUnitCost;
        if (sums.Color > 0)
            colorCost += pageSet.ColorPages / static_cast<double>(sums.Color) * pageSet.BaseColorUnitCost;
    }
}

// Adds the modifiers' fixed amounts in list order.
void JobCosting::CalculateCostModifiers(const std::vector<CostModifier>& modifiers, double& bwCost,
                                        double& colorCost, double& addedCost) const
{
    for (const CostModifier& modifier : modifiers)
        modifier.AddCostModifiers(bwCost, colorCost, addedCost);
}

// Applies the modifiers' percentages one after another.
void JobCosting::CalculateAppliedPercentageModifiers(const std::vector<CostModifier>& modifiers, double& bwCost,
                                                     double& colorCost, double& addedCost) const
{
    for (const CostModifier& modifier : modifiers)
        modifier.AddPercentageModifiers(bwCost, colorCost, addedCost);
}

// Combines the modifiers' percentages from 100 by the job's option.
void JobCosting::CalculateOtherPercentageModifiers(const std::vector<CostModifier>& modifiers, int32_t& bwPercent,
                                                   int32_t& colorPercent, int32_t& allPercent) const
{
    bwPercent = 100;
    colorPercent = 100;
    allPercent = 100;
    for (const CostModifier& modifier : modifiers)
        modifier.DeterminePercentageModifier(PercentageModifierOption, bwPercent, colorPercent, allPercent);
}

// Base costs, then fixed modifiers, then percentages, then the overrides
// when they apply; the total is units times unit costs plus the added cost.
double JobCosting::CalculateJobCosts(const std::vector<CostModifier>& modifiers, double* bwCost, double* colorCost,
                                     double* addedCost, bool applyOverrides) const
{
    double bw = 0.0;
    double color = 0.0;
    double added = 0.0;
    CalculateBaseCosts(bw, color);
    CalculateCostModifiers(modifiers, bw, color, added);

    int32_t bwPercent = 100;
    int32_t colorPercent = 100;
    int32_t allPercent = 100;
    if (PercentageModifierOption == PercentagesAppliedInTurn)
        CalculateAppliedPercentageModifiers(modifiers, bw, color, added);
    else
        CalculateOtherPercentageModifiers(modifiers, bwPercent, colorPercent, allPercent);

    if (OverrodeCostPerUnit && applyOverrides) {
        bw = OverriddenBWUnitCost;
        color = OverriddenColorUnitCost;
    } else {
        bw = bwPercent / 100.0 * bw * (allPercent / 100.0);
        color = colorPercent / 100.0 * color * (allPercent / 100.0);
    }
    if (OverrodeAddedCosts && applyOverrides)
        added = OverriddenAddedCosts;
    else
        added = allPercent / 100.0 * added;

    double bwUnits = 0.0;
    double colorUnits = 0.0;
    CalculateTotalUnits(nullptr, &bwUnits, &colorUnits);
    if (bwCost != nullptr)
        *bwCost = bw;
    if (colorCost != nullptr)
        *colorCost = color;
    if (addedCost != nullptr)
        *addedCost = added;
    return bwUnits * bw + colorUnits * color + added;
}

// Every figure the pop-up and the balance checks read.
void JobCosting::CalculateCosts(const std::vector<CostModifier>& modifiers, JobCalculations& calculations) const
{
    calculations.LogicalPages = CalculateLogicalPages(calculations.LogicalBWPages, calculations.LogicalColorPages);
    calculations.PhysicalPages =
        CalculatePhysicalPages(true, nullptr, &calculations.PhysicalBWPages, &calculations.PhysicalColorPages);
    calculations.TotalUnits = CalculateTotalUnits(nullptr, &calculations.BWUnits, &calculations.ColorUnits);
    calculations.TotalCost = CalculateJobCosts(modifiers, &calculations.BWUnitCost, &calculations.ColorUnitCost,
                                               &calculations.AddedCost, false);

    calculations.FinalBWUnitCost = calculations.BWUnitCost;
    calculations.FinalColorUnitCost = calculations.ColorUnitCost;
    calculations.FinalAddedCost = calculations.AddedCost;
    if (OverrodeCostPerUnit) {
        calculations.FinalBWUnitCost = OverriddenBWUnitCost;
        calculations.FinalColorUnitCost = OverriddenColorUnitCost;
    }
    if (OverrodeAddedCosts)
        calculations.FinalAddedCost = OverriddenAddedCosts;
    calculations.MinimumCost =
        std::min(calculations.FinalBWUnitCost, calculations.FinalColorUnitCost) + calculations.FinalAddedCost;
}

// Drops both override flags and the overridden values.
void JobCosting::ClearOverrides()
{
    OverrodeCostPerUnit = false;
    OverriddenBWUnitCost = 0.0;
    OverriddenColorUnitCost = 0.0;
    OverrodeAddedCosts = false;
    OverriddenAddedCosts = 0.0;
}

}  // namespace CVClientData
