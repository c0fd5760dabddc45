#include "PrinterLanguageParser/Parser/pcl6/PxlMarkGeometry.h"

#include <algorithm>
#include <cmath>

namespace RawPrintData::PCL6 {

namespace {

// PointType values: ubyte, sbyte, uint16, sint16.
constexpr uint32_t POINT_TYPES = 4;
// A font header's scaling technology of bitmap fonts.
constexpr uint8_t SCALING_BITMAP = 254;
// A glyph's header: format, class (0: bitmap), left and top offsets, width
// and height, big-endian as all font data.
constexpr size_t CHAR_HEADER_BYTES = 10;

// A number of the stream as a whole number from 0 to the limit (a value of
// any element type may stand where a count or a code is expected).
uint32_t Whole(double value, uint32_t limit)
{
    return value >= 0 && value <= limit ? static_cast<uint32_t>(value) : value > limit ? limit : 0;
}

}  // namespace

void PxlMarkGeometry::Execute(uint32_t operatorTag, const AttributeSet& attributes, bool littleEndian,
                              double sessionUnitsX, double sessionUnitsY)
{
    mblnLittleEndian = littleEndian;
    switch (operatorTag) {
    case OPERATOR_BEGIN_SESSION:
        mFonts.clear();
        mintGlyphs = 0;
        break;
    case OPERATOR_BEGIN_PAGE:
        mPath = PathBox{};
        mblnCursorKnown = false;
        break;
    case OPERATOR_SET_CURSOR:
        if (const AttributeValue* point = attributes.Find(ATTRIBUTE_POINT)) {
            mdblCursorX = point->Element(0);
            mdblCursorY = point->Element(1);
            mblnCursorKnown = true;
        }
        break;
    case OPERATOR_SET_CURSOR_REL:
        if (const AttributeValue* point = attributes.Find(ATTRIBUTE_POINT)) {
            mdblCursorX += point->Element(0);
            mdblCursorY += point->Element(1);
        }
        break;
    case OPERATOR_NEW_PATH:
        mPath = PathBox{};
        break;
    case OPERATOR_CHORD:
    case OPERATOR_ELLIPSE:
    case OPERATOR_PIE:
    case OPERATOR_RECTANGLE:
    case OPERATOR_ROUND_RECTANGLE:
        // A figure painted at once becomes the current path.
        mPath = PathBox{};
        mPathBox(attributes);
        break;
    case OPERATOR_ARC_PATH:
    case OPERATOR_CHORD_PATH:
    case OPERATOR_ELLIPSE_PATH:
    case OPERATOR_PIE_PATH:
    case OPERATOR_RECTANGLE_PATH:
    case OPERATOR_ROUND_RECTANGLE_PATH:
        mPathBox(attributes);
        break;
    case OPERATOR_LINE_PATH:
    case OPERATOR_LINE_REL_PATH:
    case OPERATOR_BEZIER_PATH:
    case OPERATOR_BEZIER_REL_PATH:
        mPathSegments(attributes, operatorTag == OPERATOR_LINE_REL_PATH || operatorTag == OPERATOR_BEZIER_REL_PATH,
                      operatorTag == OPERATOR_BEZIER_PATH || operatorTag == OPERATOR_BEZIER_REL_PATH);
        break;
    case OPERATOR_TEXT_PATH:
        // Glyph outlines join the path where the text's advances put them.
        mUnbounded();
        mblnCursorKnown = false;
        break;
    case OPERATOR_TEXT:
        // The cursor moves by the glyphs' advances, which are not read.
        mblnCursorKnown = false;
        break;
    case OPERATOR_BEGIN_FONT_HEADER:
    case OPERATOR_BEGIN_CHAR:
        if (const AttributeValue* name = attributes.Find(ATTRIBUTE_FONT_NAME))
            mstrFontDefined.assign(name->Text());
        if (operatorTag == OPERATOR_BEGIN_FONT_HEADER)
            mvecFontHeader.clear();
        break;
    case OPERATOR_READ_FONT_HEADER:
        mDataUse = DataUse::FontHeader;
        break;
    case OPERATOR_END_FONT_HEADER:
        mEndFontHeader(sessionUnitsX, sessionUnitsY);
        break;
    case OPERATOR_READ_CHAR: {
        const AttributeValue* code = attributes.Find(ATTRIBUTE_CHAR_CODE);
        mintCharCode = code != nullptr ? Whole(code->Element(0), UINT32_MAX) : 0;
        mDataUse = DataUse::CharHeader;
        mvecPartial.clear();
        break;
    }
    case OPERATOR_REMOVE_FONT:
        if (const AttributeValue* name = attributes.Find(ATTRIBUTE_FONT_NAME)) {
            if (const auto font = mFonts.find(name->Text()); font != mFonts.end()) {
                mintGlyphs -= font->second.mGlyphs.size();
                mFonts.erase(font);
            }
        }
        break;
    default:
        break;
    }
}

void PxlMarkGeometry::Feed(std::span<const uint8_t> data)
{
    switch (mDataUse) {
    case DataUse::None:
        return;
    case DataUse::FontHeader: {
        const size_t room = mintMAX_FONT_HEADER_BYTES - std::min(mintMAX_FONT_HEADER_BYTES, mvecFontHeader.size());
        const size_t take = std::min(data.size(), room);
        mvecFontHeader.insert(mvecFontHeader.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(take));
        return;
    }
    case DataUse::CharHeader:
        mFeedCharHeader(data);
        return;
    case DataUse::Points:
        mFeedPoints(data);
        return;
    }
}

void PxlMarkGeometry::EndData()
{
    // Points the data did not hold leave the path's extent unknown.
    if (mDataUse == DataUse::Points)
        mUnbounded();
    mDataUse = DataUse::None;
}

std::optional<double> PxlMarkGeometry::PathArea(double penWidth) const
{
    if (mPath.mblnUnbounded)
        return std::nullopt;
    if (mPath.mblnEmpty)
        return 0.0;
    return (mPath.mdblRight - mPath.mdblLeft + penWidth) * (mPath.mdblBottom - mPath.mdblTop + penWidth);
}

bool PxlMarkGeometry::IsBitmapFont(std::string_view font) const
{
    const auto found = mFonts.find(font);
    return found != mFonts.end() && found->second.mblnBitmap;
}

// Each character's glyph cell; characters whose code is not read (a long
// array of 16-bit codes) or whose glyph was not downloaded take the font's
// largest cell.
std::optional<double> PxlMarkGeometry::BitmapTextArea(std::string_view fontName, const AttributeValue& text,
                                                      double unitsPerInchX, double unitsPerInchY) const
{
    const auto found = mFonts.find(fontName);
    if (found == mFonts.end() || found->second.mintLargestCell == 0)
        return std::nullopt;
    const Font& font = found->second;
    const std::span<const unsigned char> bytes = text.Bytes();
    const size_t count = text.Count();
    const size_t known = !bytes.empty() ? bytes.size() : count <= AttributeValue::mintMAX_ELEMENTS ? count : 0;
    uint64_t dots = 0;
    for (size_t index = 0; index < count; ++index) {
        if (index >= known) {
            dots += font.mintLargestCell * (count - index);
            break;
        }
        const uint32_t code = !bytes.empty() ? bytes[index] : Whole(text.Element(index), UINT32_MAX);
        const auto glyph = font.mGlyphs.find(code);
        dots += glyph != font.mGlyphs.end() ? uint64_t{glyph->second.first} * glyph->second.second
                                            : font.mintLargestCell;
    }
    const double area =
        static_cast<double>(dots) * (unitsPerInchX / font.mdblResolutionX) * (unitsPerInchY / font.mdblResolutionY);
    if (!std::isfinite(area))
        return std::nullopt;
    return area;
}

void PxlMarkGeometry::mUnbounded()
{
    mPath.mblnEmpty = false;
    mPath.mblnUnbounded = true;
}

void PxlMarkGeometry::mPathPoint(double x, double y)
{
    if (mPath.mblnEmpty) {
        mPath.mdblLeft = mPath.mdblRight = x;
        mPath.mdblTop = mPath.mdblBottom = y;
        mPath.mblnEmpty = false;
    }
    mPath.mdblLeft = std::min(mPath.mdblLeft, x);
    mPath.mdblRight = std::max(mPath.mdblRight, x);
    mPath.mdblTop = std::min(mPath.mdblTop, y);
    mPath.mdblBottom = std::max(mPath.mdblBottom, y);
}

// ArcPath, EllipsePath, RectanglePath and the like: a figure within its
// bounding box, which leaves the cursor where it cannot be told.
void PxlMarkGeometry::mPathBox(const AttributeSet& attributes)
{
    mblnCursorKnown = false;
    const AttributeValue* box = attributes.Find(ATTRIBUTE_BOUNDING_BOX);
    if (box == nullptr) {
        mUnbounded();
        return;
    }
    mPathPoint(box->Element(0), box->Element(1));
    mPathPoint(box->Element(2), box->Element(3));
}

// LinePath, LineRelPath, BezierPath and BezierRelPath: points given as
// attributes, or as embedded data that follows (NumberOfPoints of
// PointType). The first segment starts at the cursor.
void PxlMarkGeometry::mPathSegments(const AttributeSet& attributes, bool relative, bool curve)
{
    if (!mblnCursorKnown) {
        mUnbounded();
        return;
    }
    mPathPoint(mdblCursorX, mdblCursorY);
    mPlacing = !relative ? PointPlacing::Absolute : curve ? PointPlacing::CurveRelative : PointPlacing::Relative;
    mintCurvePoint = 0;
    mdblCurveStartX = mdblCursorX;
    mdblCurveStartY = mdblCursorY;
    if (const AttributeValue* end = attributes.Find(ATTRIBUTE_END_POINT)) {
        if (curve) {
            for (const AttributeId control : {ATTRIBUTE_CONTROL_POINT_1, ATTRIBUTE_CONTROL_POINT_2}) {
                const AttributeValue* point = attributes.Find(control);
                if (point == nullptr) {
                    mUnbounded();
                    return;
                }
                mPlacePoint(point->Element(0), point->Element(1));
            }
        }
        mPlacePoint(end->Element(0), end->Element(1));
        return;
    }
    const AttributeValue* count = attributes.Find(ATTRIBUTE_NUMBER_OF_POINTS);
    const AttributeValue* type = attributes.Find(ATTRIBUTE_POINT_TYPE);
    const uint32_t pointType = type != nullptr ? Whole(type->Element(0), POINT_TYPES) : POINT_TYPES;
    if (count == nullptr || pointType >= POINT_TYPES) {
        mUnbounded();
        return;
    }
    mintPointsLeft = Whole(count->Element(0), UINT32_MAX);
    if (mintPointsLeft == 0)
        return;  // no points
    mintPointBytes = pointType < 2 ? 1 : 2;
    mblnPointSigned = pointType % 2 == 1;
    mblnHaveX = false;
    mvecPartial.clear();
    mDataUse = DataUse::Points;
}

// A point of a segment: the cursor moves to it (to a curve's end point).
void PxlMarkGeometry::mPlacePoint(double x, double y)
{
    switch (mPlacing) {
    case PointPlacing::Absolute:
        break;
    case PointPlacing::Relative:
        x += mdblCursorX;
        y += mdblCursorY;
        break;
    case PointPlacing::CurveRelative:
        x += mdblCurveStartX;
        y += mdblCurveStartY;
        break;
    }
    mPathPoint(x, y);
    mdblCursorX = x;
    mdblCursorY = y;
    if (mPlacing == PointPlacing::CurveRelative && ++mintCurvePoint == 3) {
        mintCurvePoint = 0;
        mdblCurveStartX = x;
        mdblCurveStartY = y;
    }
}

// Points as pairs of elements in the stream's byte order.
void PxlMarkGeometry::mFeedPoints(std::span<const uint8_t> data)
{
    for (const uint8_t byte : data) {
        mvecPartial.push_back(byte);
        if (mvecPartial.size() < mintPointBytes)
            continue;
        uint32_t raw = mvecPartial[0];
        if (mintPointBytes == 2)
            raw = mblnLittleEndian ? mvecPartial[0] | mvecPartial[1] << 8 : mvecPartial[0] << 8 | mvecPartial[1];
        mvecPartial.clear();
        const uint32_t signBit = mintPointBytes == 2 ? 0x8000 : 0x80;
        const double value = mblnPointSigned && (raw & signBit) != 0 ? static_cast<double>(raw) - 2.0 * signBit
                                                                      : static_cast<double>(raw);
        if (!mblnHaveX) {
            mdblPendingX = value;
            mblnHaveX = true;
            continue;
        }
        mblnHaveX = false;
        mPlacePoint(mdblPendingX, value);
        if (--mintPointsLeft == 0) {
            mDataUse = DataUse::None;
            return;
        }
    }
}

// A glyph's header: a bitmap glyph of a bitmap font keeps its cell.
void PxlMarkGeometry::mFeedCharHeader(std::span<const uint8_t> data)
{
    const size_t take = std::min(data.size(), CHAR_HEADER_BYTES - mvecPartial.size());
    mvecPartial.insert(mvecPartial.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(take));
    if (mvecPartial.size() < CHAR_HEADER_BYTES)
        return;
    mDataUse = DataUse::None;
    const auto font = mFonts.find(mstrFontDefined);
    if (font == mFonts.end() || !font->second.mblnBitmap || mvecPartial[1] != 0)
        return;
    const auto width = static_cast<uint16_t>(mvecPartial[6] << 8 | mvecPartial[7]);
    const auto height = static_cast<uint16_t>(mvecPartial[8] << 8 | mvecPartial[9]);
    auto& glyphs = font->second.mGlyphs;
    if (mintGlyphs >= mintMAX_GLYPHS && !glyphs.contains(mintCharCode))
        return;
    if (glyphs.insert_or_assign(mintCharCode, std::pair{width, height}).second)
        ++mintGlyphs;
    font->second.mintLargestCell = std::max(font->second.mintLargestCell, uint64_t{width} * height);
}

// The end of a font header: a bitmap font takes the resolution of its BR
// segment, else the session's.
void PxlMarkGeometry::mEndFontHeader(double sessionUnitsX, double sessionUnitsY)
{
    const std::vector<uint8_t>& header = mvecFontHeader;
    if (mstrFontDefined.empty() || (mFonts.size() >= mintMAX_FONTS && !mFonts.contains(mstrFontDefined)))
        return;
    if (const auto old = mFonts.find(mstrFontDefined); old != mFonts.end())
        mintGlyphs -= old->second.mGlyphs.size();
    Font& font = mFonts[mstrFontDefined];
    font = Font{};
    font.mblnBitmap = header.size() > 4 && header[4] == SCALING_BITMAP;
    font.mdblResolutionX = sessionUnitsX;
    font.mdblResolutionY = sessionUnitsY;
    // Segments after the 8 bytes of the header: a two-byte signature and a
    // four-byte size.
    for (size_t at = 8; at + 6 <= header.size();) {
        const uint64_t size = uint64_t{header[at + 2]} << 24 | uint64_t{header[at + 3]} << 16 |
                              uint64_t{header[at + 4]} << 8 | header[at + 5];
        if (header[at] == 'B' && header[at + 1] == 'R' && size >= 4 && at + 10 <= header.size()) {
            font.mdblResolutionX = header[at + 6] << 8 | header[at + 7];
            font.mdblResolutionY = header[at + 8] << 8 | header[at + 9];
            break;
        }
        at += 6 + static_cast<size_t>(std::min<uint64_t>(size, header.size()));
    }
    mvecFontHeader.clear();
}

}  // namespace RawPrintData::PCL6
