#include "PrinterLanguageParser/Parser/escp/EscPageColour.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"

#include <algorithm>
#include <cmath>

namespace RawPrintData::ESCP {

bool EscPageColour::Colour() const
{
    return mblnUnjudged || mdblArea >= ColourRule::MINIMUM_COLOUR_AREA_MM2;
}

void EscPageColour::Act(const EscPageCommand& command, double unitPoints)
{
    const std::string_view name = command.Name();
    if (name == "fpE") {
        if (command.ParameterCount() >= 6) {
            const auto component = [&command](size_t index) {
                return static_cast<int>(std::clamp(command.Parameter(index), 0.0, 255.0));
            };
            mblnFillColour = !ColourRule::IsNeutral(component(3), component(4), component(5));
        }
    } else if (name == "bgpG") {
        mblnPathEmpty = true;
        mblnPathUnbounded = false;
    } else if (name == "mvpG") {
        mAddPoints(command, 1);
    } else if (name == "lnpG" || name == "bzpG") {
        mAddPoints(command, 2);
    } else if (name == "rrpG") {
        // GS 0;x1;y1;x2;y2;rx;ry rrpG: a (rounded) box.
        mAddPoints(command, 1, 5);
    } else if (name == "enpG") {
        mdblPathWidth = mblnPathEmpty ? 0 : mdblRight - mdblLeft;
        mdblPathHeight = mblnPathEmpty ? 0 : mdblBottom - mdblTop;
        mblnLastPathUnbounded = mblnPathUnbounded;
    } else if (name == "drpG") {
        if (mblnFillColour) {
            mblnUnjudged = mblnUnjudged || mblnLastPathUnbounded;
            mAddArea(mdblPathWidth, mdblPathHeight, unitPoints);
        }
    } else if (name == "db{F" || name == "db{") {
        // GS size;id;width;height;0 db{ and its bitmap.
        if (mGlyphs.size() < mintMAX_GLYPHS || mGlyphs.count(static_cast<int64_t>(command.Parameter(1))) > 0)
            mGlyphs[static_cast<int64_t>(command.Parameter(1))] = {command.Parameter(2), command.Parameter(3)};
    } else if (name == "dbF") {
        if (mblnFillColour) {
            const auto glyph = mGlyphs.find(static_cast<int64_t>(command.Parameter(0)));
            if (glyph == mGlyphs.end())
                mblnUnjudged = true;
            else
                mAddArea(glyph->second.first, glyph->second.second, unitPoints);
        }
    } else if (name == "scrI") {
        // GS mode;bits;x;y;width;height;drawn width;drawn height;0 scrI.
        if (command.ParameterCount() >= 8)
            mAddArea(std::max(command.Parameter(6), command.Parameter(4)),
                     std::max(command.Parameter(7), command.Parameter(5)), unitPoints);
        else
            mblnUnjudged = true;
    } else if (mblnFillColour && command.DataLength() > 0 && name.find("bi{") == 0) {
        mblnUnjudged = true;
    }
}

// Points from the parameter first on (up to end), as x and y pairs.
void EscPageColour::mAddPoints(const EscPageCommand& command, size_t first, size_t end)
{
    if (command.ParameterCount() > EscPageCommand::mintMAX_PARAMETERS && end > EscPageCommand::mintMAX_PARAMETERS)
        mblnPathUnbounded = true;
    const size_t count = std::min({command.ParameterCount(), EscPageCommand::mintMAX_PARAMETERS, end});
    for (size_t index = first; index + 1 < count; index += 2) {
        const double x = command.Parameter(index), y = command.Parameter(index + 1);
        if (mblnPathEmpty) {
            mdblLeft = mdblRight = x;
            mdblTop = mdblBottom = y;
            mblnPathEmpty = false;
        }
        mdblLeft = std::min(mdblLeft, x);
        mdblRight = std::max(mdblRight, x);
        mdblTop = std::min(mdblTop, y);
        mdblBottom = std::max(mdblBottom, y);
    }
}

// A mark of width by height units; a line (no width or no height) covers at
// least one unit across.
void EscPageColour::mAddArea(double width, double height, double unitPoints)
{
    const double mmPerUnit = unitPoints / 72 * ColourRule::MM_PER_INCH;
    const double area = std::max(std::fabs(width), 1.0) * std::max(std::fabs(height), 1.0) * mmPerUnit * mmPerUnit;
    if (std::isfinite(area))
        mdblArea += area;
    else
        mblnUnjudged = true;
}

}  // namespace RawPrintData::ESCP
