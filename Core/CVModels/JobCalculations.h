#pragma once

#include <cstdint>

namespace CVClientData {

// What the cost engine works out for a job: page counts, billable units and
// costs. The job pop-up shows them and the balance checks read them; they are
// never serialised.
struct JobCalculations {
    int32_t LogicalPages = 0;        // logical black-and-white plus colour pages
    int32_t LogicalBWPages = 0;      // sum over the page sets
    int32_t LogicalColorPages = 0;
    int32_t PhysicalPages = 0;       // copies included
    int32_t PhysicalBWPages = 0;
    int32_t PhysicalColorPages = 0;
    double TotalUnits = 0.0;         // billable units, black-and-white plus colour
    double BWUnits = 0.0;
    double ColorUnits = 0.0;
    double BWUnitCost = 0.0;         // after modifiers
    double ColorUnitCost = 0.0;
    double AddedCost = 0.0;
    double FinalBWUnitCost = 0.0;    // the unit cost in effect: modified or overridden
    double FinalColorUnitCost = 0.0;
    double FinalAddedCost = 0.0;
    double TotalCost = 0.0;          // units times unit costs plus added cost, overrides left out
    double MinimumCost = 0.0;        // the cheaper final unit cost plus the final added cost
};

}  // namespace CVClientData
