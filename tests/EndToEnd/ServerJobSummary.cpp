#include "tests/EndToEnd/ServerJobSummary.h"

#include "Core/CVModels/Job.h"
#include "Core/CVModels/JobCalculations.h"

namespace EndToEnd {

std::optional<ServerJobSummary> SummariseServerJob(const nlohmann::json& job)
{
    if (!job.is_object())
        return std::nullopt;
    CVClientData::Job record;
    try {
        record.FromJson(job);
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
    ServerJobSummary summary;
    summary.printer = job.value("DeviceDisplayName", std::string());
    summary.document = record.DocumentName;
    for (const CVClientData::PageSet& pageSet : record.Costing.PageSets) {
        summary.paper.push_back({pageSet.SizeName, pageSet.Width, pageSet.Height, pageSet.BWPages,
                                 pageSet.ColorPages});
        summary.monoPages += pageSet.BWPages;
        summary.colourPages += pageSet.ColorPages;
    }
    summary.copies = record.Costing.Copies;
    summary.duplex = record.Costing.IsDuplex;
    summary.trackOption = record.TrackOption;
    CVClientData::JobCalculations calculations;
    record.UpdateCalcs(calculations);
    summary.cost = calculations.TotalCost;
    return summary;
}

}  // namespace EndToEnd
