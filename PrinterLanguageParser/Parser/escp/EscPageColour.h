#pragma once

#include "PrinterLanguageParser/Parser/escp/EscPageCommand.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>

namespace RawPrintData::ESCP {

// The colour of an ESC/Page page by the colour rule (ColourRule.h): what is
// painted in a fill colour that is not neutral (GS 1;2;3;r;g;b fpE) counts
// with its area, in the unit of GS 0;u muE: a path (GS bgpG to enpG, drawn by
// GS drpG) by its bounding box, a downloaded glyph (GS ... db{ defines its
// width and height, GS id dbF draws it) by its cell; colour raster images
// (GS ... scrI) count by the area they are drawn over, their pixels unread.
// So a mark counts as larger than its ink, never smaller. What cannot be
// measured (a path with more points than a command's parameters kept, a bit
// image in a colour, a glyph not defined) counts as colour.
class EscPageColour {
public:
    // At most this many glyph sizes are kept; further ones count as colour
    // when drawn in colour.
    static constexpr size_t mintMAX_GLYPHS = 65536;

    void Act(const EscPageCommand& command, double unitPoints);
    bool Colour() const;
    bool Unjudged() const { return mblnUnjudged; }
    void NewPage()
    {
        mdblArea = 0;
        mblnUnjudged = false;
    }

private:
    void mAddArea(double width, double height, double unitPoints);
    void mAddPoints(const EscPageCommand& command, size_t first, size_t end = SIZE_MAX);

    bool mblnFillColour = false;
    // The path being built: its bounding box, in the unit.
    bool mblnPathEmpty = true;
    bool mblnPathUnbounded = false;
    double mdblLeft = 0, mdblTop = 0, mdblRight = 0, mdblBottom = 0;
    // The last path's box, drawn by drpG.
    double mdblPathWidth = 0, mdblPathHeight = 0;
    bool mblnLastPathUnbounded = false;
    std::unordered_map<int64_t, std::pair<double, double>> mGlyphs;
    double mdblArea = 0;
    bool mblnUnjudged = false;
};

}  // namespace RawPrintData::ESCP
