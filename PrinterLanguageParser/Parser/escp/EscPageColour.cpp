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
    mintDataLeft = 0;
    mDataKind = DataKind::None;
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
        mBeginImage(command, unitPoints);
    } else if (name == "ecrI") {
        mImage.mblnOpen = false;
    } else if (name == "cu{I" || name == "plr{E") {
        mBeginData(command);
    } else if (mblnFillColour && command.DataLength() > 0 && name.find("bi{") == 0) {
        mblnUnjudged = true;
    }
}

// GS 2;format;0;compression;width;height;drawn width;drawn height;0 scrI:
// a colour raster image whose pixels follow (GS 1;... a grey one). Those that are read count by
// their colour, the others by the whole area drawn.
void EscPageColour::mBeginImage(const EscPageCommand& command, double unitPoints)
{
    constexpr double FORMAT_ONE_BIT = 201, FORMAT_RGB = 102, FORMAT_MAP_8 = 204, FORMAT_MAP_4 = 203;
    mImage = Image{};
    if (command.ParameterCount() < 8) {
        mblnUnjudged = true;
        return;
    }
    // GS 1;... scrI: grey samples (the monochrome lasers' pictures).
    if (command.Parameter(0) == 1)
        return;
    const double format = command.Parameter(1);
    const double width = command.Parameter(4), height = command.Parameter(5);
    const double drawnWidth = command.Parameter(6), drawnHeight = command.Parameter(7);
    const uint32_t bits = format == FORMAT_RGB ? 24 : format == FORMAT_MAP_8 ? 8 : format == FORMAT_MAP_4 ? 4 : 0;
    const bool readable = command.Parameter(0) == 2 && command.Parameter(3) == 0 && bits != 0 &&
                          (bits == 24 || mblnMapKnown) && width >= 1 && height >= 1 && width <= 1e9;
    if (!readable) {
        // A one-bit image prints the fill colour through the colour map.
        const bool neutralMask = format == FORMAT_ONE_BIT && command.Parameter(3) == 0 && !mblnFillColour &&
                                 mblnMapKnown && std::find(mvecMapColour.begin(), mvecMapColour.end(), true) ==
                                                     mvecMapColour.end();
        if (!neutralMask)
            mAddArea(std::max(drawnWidth, width), std::max(drawnHeight, height), unitPoints);
        return;
    }
    mImage.mblnOpen = true;
    mImage.mintBits = bits;
    mImage.mintWidth = static_cast<uint64_t>(width);
    mImage.mdblPixelArea = std::max(std::fabs(drawnWidth), 1.0) / width * std::max(std::fabs(drawnHeight), 1.0) / height;
    mdblUnitPoints = unitPoints;
}

// The data of GS bytes;rows cu{I (pixels of the open image) or GS
// bytes;x;x;entries;entries plr{E (the colour map), read while the page may
// still be mono.
void EscPageColour::mBeginData(const EscPageCommand& command)
{
    const uint64_t length = command.DataLength();
    mvecPartial.clear();
    if (command.Name() == "plr{E") {
        mblnMapKnown = false;
        mvecMapColour.clear();
        const double entries = command.Parameter(3);
        if (length == 0 || !(entries >= 1 && entries <= static_cast<double>(mintMAX_MAP_ENTRIES)) ||
            length % static_cast<uint64_t>(entries) != 0 || length / static_cast<uint64_t>(entries) > 16)
            return;
        mintEntryBytes = length / static_cast<uint64_t>(entries);
        mDataKind = DataKind::ColourMap;
        mintDataLeft = length;
        return;
    }
    if (!mImage.mblnOpen || length == 0 || Colour())
        return;
    mDataKind = DataKind::Pixels;
    mintDataLeft = length;
    mintColumn = 0;
}

void EscPageColour::Feed(std::span<const unsigned char> data)
{
    data = data.first(std::min<uint64_t>(data.size(), mintDataLeft));
    mintDataLeft -= data.size();
    if (mDataKind == DataKind::Pixels) {
        mFeedPixels(data);
    } else if (mDataKind == DataKind::ColourMap) {
        for (const unsigned char byte : data) {
            mvecPartial.push_back(byte);
            if (mvecPartial.size() < mintEntryBytes)
                continue;
            const auto [low, high] = std::minmax_element(mvecPartial.begin(), mvecPartial.end());
            mvecMapColour.push_back(*high - *low > ColourRule::NEUTRAL_TOLERANCE);
            mvecPartial.clear();
        }
        mblnMapKnown = mintDataLeft == 0;
    }
    if (mintDataLeft == 0)
        mDataKind = DataKind::None;
}

// Counts the non-neutral pixels of image data as they come: direct RGB, or
// indexes into the colour map (an index past its end is not known, and
// counts); a row of 4-bit indexes ends at a whole byte.
void EscPageColour::mFeedPixels(std::span<const unsigned char> data)
{
    uint64_t colour = 0;
    const auto advance = [this] {
        if (++mintColumn >= mImage.mintWidth)
            mintColumn = 0;
    };
    const auto mapped = [this](unsigned index) { return index >= mvecMapColour.size() || mvecMapColour[index]; };
    size_t at = 0;
    if (mImage.mintBits == 24) {
        while (!mvecPartial.empty() && at < data.size()) {
            mvecPartial.push_back(data[at++]);
            if (mvecPartial.size() == 3) {
                colour += !ColourRule::IsNeutral(mvecPartial[0], mvecPartial[1], mvecPartial[2]);
                mvecPartial.clear();
            }
        }
        if (mvecPartial.empty()) {
            for (; at + 3 <= data.size(); at += 3)
                colour += !ColourRule::IsNeutral(data[at], data[at + 1], data[at + 2]);
            mvecPartial.assign(data.begin() + static_cast<std::ptrdiff_t>(at), data.end());
        }
    } else if (mImage.mintBits == 8) {
        for (const unsigned char index : data)
            colour += mapped(index);
    } else {
        for (const unsigned char pair : data) {
            colour += mapped(pair >> 4);
            advance();
            if (mintColumn == 0)
                continue;  // the low half is the row's padding
            colour += mapped(pair & 0x0F);
            advance();
        }
    }
    if (colour > 0)
        mAddArea(static_cast<double>(colour) * mImage.mdblPixelArea, 1, mdblUnitPoints);
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
