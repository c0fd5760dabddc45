#pragma once

#include "Core/CVModels/CostModifier.h"
#include "Core/CVModels/JobCosting.h"
#include "Core/CVModels/PageSet.h"

#include <cstdint>
#include <vector>

namespace CostTest {

struct Pages {
    int32_t BW = 0;
    int32_t Color = 0;
    int32_t Width = 2100;  // A4 unless a case says otherwise
    int32_t Height = 2970;
    double BWCost = 0.0;  // the page set's own unit costs
    double ColorCost = 0.0;
};

inline CVClientData::PageSet MakePageSet(const Pages& pages)
{
    CVClientData::PageSet pageSet;
    pageSet.Width = pages.Width;
    pageSet.Height = pages.Height;
    pageSet.BWPages = pages.BW;
    pageSet.ColorPages = pages.Color;
    pageSet.BaseBWUnitCost = pages.BWCost;
    pageSet.BaseColorUnitCost = pages.ColorCost;
    return pageSet;
}

inline CVClientData::JobCosting MakeCosting(const std::vector<Pages>& pageSets)
{
    CVClientData::JobCosting costing;
    for (const Pages& pages : pageSets)
        costing.PageSets.push_back(MakePageSet(pages));
    return costing;
}

inline CVClientData::CostModifier MakeModifier(int32_t type, double bw, double color = 0.0)
{
    CVClientData::CostModifier modifier;
    modifier.ModifierType = type;
    modifier.BWModifier = bw;
    modifier.ColorModifier = color;
    return modifier;
}

}  // namespace CostTest
