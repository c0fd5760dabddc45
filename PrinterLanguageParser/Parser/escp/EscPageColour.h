#pragma once

#include "PrinterLanguageParser/Parser/escp/EscPageCommand.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

namespace RawPrintData::ESCP {

// The colour of an ESC/Page page by the colour rule (ColourRule.h): what is
// painted in a fill colour that is not neutral (GS 1;2;3;r;g;b fpE) counts
// with its area, in the unit of GS 0;u muE: a path (GS bgpG to enpG, drawn by
// GS drpG) by its bounding box, a downloaded glyph (GS ... db{ defines its
// width and height, GS id dbF draws it) by its cell. Colour raster images
// (GS 2;format;...;sw;sh;dw;dh;0 scrI, their pixels in the GS n;rows cu{I
// that follow) are read when uncompressed: 24-bit RGB pixels (format 102),
// or 8-bit and 4-bit indexes (204, 203) into the colour map of GS ... plr{E;
// each non-neutral pixel counts with the area it is drawn over. One-bit
// images (201), which print in the fill colour, and other formats or
// compressions count by their whole area; grey images (GS 1;... scrI, as
// monochrome lasers send pictures) count nothing. So a mark counts as larger than
// its ink, never smaller. What cannot be measured (a path with more points
// than a command's parameters kept, a bit image in a colour, a glyph not
// defined) counts as colour.
class EscPageColour {
public:
    // At most this many glyph sizes are kept; further ones count as colour
    // when drawn in colour.
    static constexpr size_t mintMAX_GLYPHS = 65536;
    // The longest colour map kept, in entries; a longer one is not known.
    static constexpr size_t mintMAX_MAP_ENTRIES = 4096;

    void Act(const EscPageCommand& command, double unitPoints);
    // After Act: how many of the command's data bytes to give to Feed (all
    // of them, or none when they are not read).
    uint64_t DataWanted() const { return mintDataLeft; }
    void Feed(std::span<const unsigned char> data);
    bool Colour() const;
    bool Unjudged() const { return mblnUnjudged; }
    void NewPage()
    {
        mdblArea = 0;
        mblnUnjudged = false;
    }

private:
    enum class DataKind : uint8_t { None, ColourMap, Pixels };
    // The image of the last scrI, whose pixels the next cu{I carries.
    struct Image {
        bool mblnOpen = false;
        // Bits a pixel: 24 direct RGB, 8 or 4 through the colour map.
        uint32_t mintBits = 0;
        uint64_t mintWidth = 0;
        // The area of one pixel on the page, in square units.
        double mdblPixelArea = 0;
    };

    void mBeginImage(const EscPageCommand& command, double unitPoints);
    void mBeginData(const EscPageCommand& command);
    void mEndData();
    void mFeedPixels(std::span<const unsigned char> data);
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

    // The colour map (plr{E): whether each entry is not neutral; whether it
    // is known at all.
    std::vector<bool> mvecMapColour;
    bool mblnMapKnown = false;
    Image mImage;
    // The data being read: what it is, its bytes still to come, the bytes
    // of a pixel or map entry cut by a chunk, the pixel's column in its row.
    DataKind mDataKind = DataKind::None;
    uint64_t mintDataLeft = 0;
    uint64_t mintEntryBytes = 0;
    std::vector<unsigned char> mvecPartial;
    uint64_t mintColumn = 0;
    uint64_t mintColourPixels = 0;
    double mdblUnitPoints = 0;
};

}  // namespace RawPrintData::ESCP
