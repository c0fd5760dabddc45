#include "PrinterLanguageParser/Parser/pcl6/PxlColourJudge.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"
#include "PrinterLanguageParser/Parser/pcl6/PxlJpeg.h"

#include <algorithm>
#include <cmath>

namespace RawPrintData::PCL6 {

namespace {

// ColorMapping and ColorDepth values.
constexpr uint32_t MAPPING_DIRECT = 0;
constexpr uint32_t MAPPING_INDEXED = 1;
constexpr std::array<uint32_t, 3> DEPTH_BITS = {1, 4, 8};
// Measure values: inches, millimetres, tenths of a millimetre.
constexpr std::array<double, 3> MEASURE_PER_INCH = {1.0, 25.4, 254.0};

bool IsRgbSpace(uint32_t colorSpace)
{
    return colorSpace == COLOR_SPACE_RGB || colorSpace == COLOR_SPACE_CRGB || colorSpace == COLOR_SPACE_SRGB;
}

// A value given as a single number, or the first of its elements.
double Number(const AttributeValue* value, double otherwise)
{
    return value != nullptr ? value->Element(0) : otherwise;
}

// A colour component on the scale of 0 to 255: ubyte values as they are,
// real32 ones from 0 to 1.
int Component(const AttributeValue& value, size_t index)
{
    const double element = value.Element(index);
    const double scaled = value.DataType() == TAG_REAL32_ARRAY ? element * 255.0 : element;
    return static_cast<int>(std::clamp(std::lround(scaled), 0L, 255L));
}

// The sample of a pixel's component, scaled to 0 to 255, from a row of
// packed samples of bits each.
uint32_t Sample(std::span<const uint8_t> row, uint64_t index, uint32_t bits)
{
    switch (bits) {
    case 8:
        return row[index];
    case 4: {
        const uint8_t byte = row[index / 2];
        return index % 2 == 0 ? byte >> 4 : byte & 0x0F;
    }
    default:
        return (row[index / 8] >> (7 - index % 8)) & 1;
    }
}

// What an RGB pixel is.
uint8_t RgbPixel(int red, int green, int blue)
{
    if (red == 255 && green == 255 && blue == 255)
        return PIXEL_WHITE;
    return ColourRule::IsNeutral(red, green, blue) ? 0 : PIXEL_COLOUR;
}

// Whether the raster operation's result depends on the brush where the
// source bit is the one given: a ROP3 value holds the result for each brush,
// source and destination bit at the bit (brush << 2 | source << 1 | dest).
bool RopTakesBrush(uint32_t rop, unsigned source)
{
    for (unsigned dest = 0; dest < 2; ++dest)
        if (((rop >> (source << 1 | dest)) & 1) != ((rop >> (4 | source << 1 | dest)) & 1))
            return true;
    return false;
}

uint32_t Scaled(uint32_t sample, uint32_t bits)
{
    return bits == 8 ? sample : bits == 4 ? sample * 17 : sample * 255;
}

}  // namespace

void PxlColourJudge::Execute(uint32_t operatorTag, const AttributeSet& attributes, bool littleEndian)
{
    mblnLittleEndian = littleEndian;
    switch (operatorTag) {
    case OPERATOR_BEGIN_SESSION:
        mBeginSession(attributes);
        break;
    case OPERATOR_BEGIN_PAGE:
        mBeginPage();
        break;
    case OPERATOR_VENDOR_UNIQUE:
        // Vendor data is not read: in an RGB space (JetReady's colour
        // raster) it may be colour; mono lasers send theirs in grey or in a
        // space of their own (hpcups' LaserJet 1010 family, space 7).
        if (Number(attributes.Find(ATTRIBUTE_VU_DATA_LENGTH), 0) > 0 && IsRgbSpace(mState.mintColorSpace))
            mUnjudged("vendor data in an RGB space");
        break;
    case OPERATOR_PUSH_GS:
        if (mvecSaved.size() < mintMAX_SAVED_STATES)
            mvecSaved.push_back(mState);
        else
            ++mintUnsavedPushes;
        break;
    case OPERATOR_POP_GS:
        if (mintUnsavedPushes > 0) {
            --mintUnsavedPushes;
        } else if (!mvecSaved.empty()) {
            mState = std::move(mvecSaved.back());
            mvecSaved.pop_back();
        }
        break;
    case OPERATOR_SET_COLOR_SPACE:
        mSetColorSpace(attributes);
        break;
    case OPERATOR_SET_BRUSH_SOURCE:
        mState.mBrush = mInkOf(attributes);
        break;
    case OPERATOR_SET_PEN_SOURCE:
        mState.mPen = mInkOf(attributes);
        break;
    case OPERATOR_SET_ROP:
        mState.mintRop = static_cast<uint32_t>(Number(attributes.Find(ATTRIBUTE_ROP3), mState.mintRop)) & 0xFF;
        break;
    case OPERATOR_SET_SOURCE_TX_MODE:
        mState.mblnSourceTransparent = Number(attributes.Find(ATTRIBUTE_TX_MODE), 0) == 1;
        break;
    case OPERATOR_SET_PEN_WIDTH:
        mState.mdblPenWidth = std::max(0.0, Number(attributes.Find(ATTRIBUTE_PEN_WIDTH), mState.mdblPenWidth));
        break;
    case OPERATOR_CHORD:
    case OPERATOR_ELLIPSE:
    case OPERATOR_PIE:
    case OPERATOR_RECTANGLE:
    case OPERATOR_ROUND_RECTANGLE:
        mPaintBox(attributes);
        break;
    case OPERATOR_SET_PAGE_DEFAULT_CTM:
        mState.mdblScaleX = mState.mdblScaleY = 1;
        mState.mblnScaleKnown = true;
        break;
    case OPERATOR_SET_PAGE_SCALE:
        mSetPageScale(attributes);
        break;
    case OPERATOR_SET_FONT:
        mSetFont(attributes);
        break;
    case OPERATOR_SET_CHAR_SCALE:
        if (const AttributeValue* scale = attributes.Find(ATTRIBUTE_CHAR_SCALE)) {
            mState.mdblCharScaleX = std::abs(scale->Element(0));
            mState.mdblCharScaleY = std::abs(scale->Element(1));
        }
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
        mNewPath();
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
        // Glyph outlines join the path where the text's advance puts them.
        mPath.mblnEmpty = false;
        mPath.mblnUnbounded = true;
        mblnCursorKnown = false;
        break;
    case OPERATOR_PAINT_PATH:
        mPaintPath();
        break;
    case OPERATOR_TEXT:
        mPaintText(attributes);
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
        mEndFontHeader();
        break;
    case OPERATOR_READ_CHAR:
        mintCharCode = static_cast<uint32_t>(Number(attributes.Find(ATTRIBUTE_CHAR_CODE), 0));
        mDataUse = DataUse::CharHeader;
        mvecPartial.clear();
        break;
    case OPERATOR_REMOVE_FONT:
        if (const AttributeValue* name = attributes.Find(ATTRIBUTE_FONT_NAME)) {
            if (const auto font = mFonts.find(name->Text()); font != mFonts.end()) {
                mintGlyphs -= font->second.mGlyphs.size();
                mFonts.erase(font);
            }
        }
        break;
    case OPERATOR_BEGIN_SCAN:
        mPaintUnknownArea(mState.mBrush, "scan lines");
        break;
    case OPERATOR_BEGIN_IMAGE:
        mBeginRaster(attributes, false);
        break;
    case OPERATOR_BEGIN_RAST_PATTERN:
        mBeginRaster(attributes, true);
        break;
    case OPERATOR_READ_IMAGE:
    case OPERATOR_READ_RAST_PATTERN:
        mReadRaster(attributes, littleEndian);
        break;
    case OPERATOR_END_IMAGE:
    case OPERATOR_END_RAST_PATTERN:
        mEndRaster();
        break;
    default:
        break;
    }
}

void PxlColourJudge::mBeginSession(const AttributeSet& attributes)
{
    mPatterns.clear();
    mFonts.clear();
    mintGlyphs = 0;
    mdblUnitsX = mdblUnitsY = 0;
    const AttributeValue* units = attributes.Find(ATTRIBUTE_UNITS_PER_MEASURE);
    const auto measure = static_cast<size_t>(Number(attributes.Find(ATTRIBUTE_MEASURE), MEASURE_PER_INCH.size()));
    if (units == nullptr || measure >= MEASURE_PER_INCH.size())
        return;
    mdblUnitsX = units->Element(0) * MEASURE_PER_INCH[measure];
    mdblUnitsY = units->Element(1) * MEASURE_PER_INCH[measure];
    if (!(mdblUnitsX > 0 && mdblUnitsY > 0 && std::isfinite(mdblUnitsX) && std::isfinite(mdblUnitsY)))
        mdblUnitsX = mdblUnitsY = 0;
}

// A page starts in grey with a black brush and pen.
void PxlColourJudge::mBeginPage()
{
    mArea.Clear();
    mblnUnjudged = false;
    mState = GraphicsState{};
    mvecSaved.clear();
    mintUnsavedPushes = 0;
    mblnInRaster = false;
    mNewPath();
    mblnCursorKnown = false;
}

void PxlColourJudge::mSetColorSpace(const AttributeSet& attributes)
{
    const AttributeValue* colorSpace = attributes.Find(ATTRIBUTE_COLOR_SPACE);
    if (colorSpace == nullptr)
        return;
    mState.mintColorSpace = static_cast<uint32_t>(colorSpace->Element(0));
    mState.mvecPalette.clear();
    mState.mblnPalette = false;
    const AttributeValue* palette = attributes.Find(ATTRIBUTE_PALETTE_DATA);
    if (palette == nullptr)
        return;
    mState.mblnPalette = true;
    const std::span<const unsigned char> bytes = palette->Bytes();
    if (IsRgbSpace(mState.mintColorSpace)) {
        for (size_t entry = 0; entry + 3 <= bytes.size(); entry += 3)
            mState.mvecPalette.push_back(RgbPixel(bytes[entry], bytes[entry + 1], bytes[entry + 2]));
    } else if (mState.mintColorSpace == COLOR_SPACE_GRAY) {
        for (const unsigned char level : bytes)
            mState.mvecPalette.push_back(level == 255 ? PIXEL_WHITE : 0);
    } else {
        mState.mvecPalette.assign(bytes.size(), PIXEL_COLOUR);  // not known
    }
}

// The ink a SetBrushSource or SetPenSource selects.
Ink PxlColourJudge::mInkOf(const AttributeSet& attributes) const
{
    if (attributes.Find(ATTRIBUTE_NULL_BRUSH) != nullptr || attributes.Find(ATTRIBUTE_NULL_PEN) != nullptr)
        return Ink::None;
    if (attributes.Find(ATTRIBUTE_GRAY_LEVEL) != nullptr)
        return Ink::Neutral;
    const AttributeValue* rgb = attributes.Find(ATTRIBUTE_RGB_COLOR);
    if (rgb == nullptr)
        rgb = attributes.Find(ATTRIBUTE_PRIMARY_ARRAY);
    if (rgb != nullptr) {
        if (mState.mintColorSpace == COLOR_SPACE_GRAY)
            return Ink::Neutral;
        if (!IsRgbSpace(mState.mintColorSpace) || rgb->Count() < 3)
            return Ink::Unknown;
        return ColourRule::IsNeutral(Component(*rgb, 0), Component(*rgb, 1), Component(*rgb, 2)) ? Ink::Neutral
                                                                                                : Ink::Colour;
    }
    if (const AttributeValue* index = attributes.Find(ATTRIBUTE_PALETTE_INDEX)) {
        const auto entry = static_cast<size_t>(index->Element(0));
        if (mState.mintColorSpace == COLOR_SPACE_GRAY)
            return Ink::Neutral;
        if (entry >= mState.mvecPalette.size())
            return Ink::Unknown;
        return (mState.mvecPalette[entry] & PIXEL_COLOUR) != 0 ? Ink::Colour : Ink::Neutral;
    }
    if (const AttributeValue* pattern = attributes.Find(ATTRIBUTE_PATTERN_SELECT_ID)) {
        const auto found = mPatterns.find(static_cast<int32_t>(pattern->Element(0)));
        return found != mPatterns.end() ? found->second : Ink::Unknown;
    }
    return mState.mintColorSpace == COLOR_SPACE_GRAY ? Ink::Neutral : Ink::Unknown;
}

// A figure in its bounding box: the box, grown by the pen's width when the
// pen paints, covers all its ink.
void PxlColourJudge::mPaintBox(const AttributeSet& attributes)
{
    const Ink ink = std::max(mState.mBrush, mState.mPen);
    if (ink == Ink::None || ink == Ink::Neutral || PageIsColour())
        return;
    const AttributeValue* box = attributes.Find(ATTRIBUTE_BOUNDING_BOX);
    if (ink == Ink::Unknown || box == nullptr) {
        mPaintUnknownArea(ink, "a figure");
        return;
    }
    const double pen = mState.mPen == Ink::Colour ? mState.mdblPenWidth : 0;
    const double width = std::abs(box->Element(2) - box->Element(0)) + pen;
    const double height = std::abs(box->Element(3) - box->Element(1)) + pen;
    mAddUserArea(width * height);
}

// An area in square user units: at the resolution of the user units, the
// session's under the page scale.
void PxlColourJudge::mAddUserArea(double area)
{
    if (mdblUnitsX == 0 || !mState.mblnScaleKnown || !(area >= 0) || !std::isfinite(area)) {
        mUnjudged("a mark whose size is not known");
        return;
    }
    mArea.SetResolution(mdblUnitsX / mState.mdblScaleX, mdblUnitsY / mState.mdblScaleY);
    mArea.AddDots(static_cast<uint64_t>(std::min(std::ceil(area), 1e18)));
}

// SetPageScale: a scale of the user units, or new units of measure given
// against the session's.
void PxlColourJudge::mSetPageScale(const AttributeSet& attributes)
{
    double x = 0, y = 0;
    const AttributeValue* units = attributes.Find(ATTRIBUTE_UNITS_PER_MEASURE);
    const auto measure = static_cast<size_t>(Number(attributes.Find(ATTRIBUTE_MEASURE), MEASURE_PER_INCH.size()));
    if (const AttributeValue* scale = attributes.Find(ATTRIBUTE_PAGE_SCALE)) {
        x = scale->Element(0);
        y = scale->Element(1);
    } else if (units != nullptr && measure < MEASURE_PER_INCH.size() && units->Element(0) > 0 &&
               units->Element(1) > 0) {
        x = mdblUnitsX / (units->Element(0) * MEASURE_PER_INCH[measure]);
        y = mdblUnitsY / (units->Element(1) * MEASURE_PER_INCH[measure]);
    } else {
        return;
    }
    mState.mdblScaleX *= std::abs(x);
    mState.mdblScaleY *= std::abs(y);
    // A scale of nothing would hide every mark.
    if (!(mState.mdblScaleX > 1e-9 && mState.mdblScaleY > 1e-9 && mState.mdblScaleX < 1e9 &&
          mState.mdblScaleY < 1e9))
        mState.mblnScaleKnown = false;
}

void PxlColourJudge::mSetFont(const AttributeSet& attributes)
{
    if (const AttributeValue* name = attributes.Find(ATTRIBUTE_FONT_NAME))
        mState.mstrFont.assign(name->Text());
    mState.mdblCharSize = std::abs(Number(attributes.Find(ATTRIBUTE_CHAR_SIZE), 0));
}

void PxlColourJudge::mNewPath()
{
    mPath = PathBox{};
}

void PxlColourJudge::mPathPoint(double x, double y)
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
void PxlColourJudge::mPathBox(const AttributeSet& attributes)
{
    const AttributeValue* box = attributes.Find(ATTRIBUTE_BOUNDING_BOX);
    if (box == nullptr) {
        mPath.mblnEmpty = false;
        mPath.mblnUnbounded = true;
        return;
    }
    mPathPoint(box->Element(0), box->Element(1));
    mPathPoint(box->Element(2), box->Element(3));
    mblnCursorKnown = false;
}

// LinePath, LineRelPath, BezierPath and BezierRelPath: points given as
// attributes, or as embedded data that follows (NumberOfPoints of
// PointType). Each segment starts at the cursor.
void PxlColourJudge::mPathSegments(const AttributeSet& attributes, bool relative, bool curve)
{
    if (!mblnCursorKnown) {
        mPath.mblnEmpty = false;
        mPath.mblnUnbounded = true;
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
                mPlacePoint(point != nullptr ? point->Element(0) : 0, point != nullptr ? point->Element(1) : 0);
            }
        }
        mPlacePoint(end->Element(0), end->Element(1));
        return;
    }
    const AttributeValue* count = attributes.Find(ATTRIBUTE_NUMBER_OF_POINTS);
    const auto type = static_cast<uint32_t>(Number(attributes.Find(ATTRIBUTE_POINT_TYPE), 4));
    if (count == nullptr || type > 3) {
        mPath.mblnUnbounded = true;
        return;
    }
    // PointType: ubyte, sbyte, uint16, sint16.
    mintPointsLeft = static_cast<uint64_t>(std::max(0.0, count->Element(0)));
    mintPointBytes = type < 2 ? 1 : 2;
    mblnPointSigned = type % 2 == 1;
    mblnHaveX = false;
    mvecPartial.clear();
    mDataUse = DataUse::Points;
}

// A point of a segment: the cursor moves to it (to a curve's end point).
void PxlColourJudge::mPlacePoint(double x, double y)
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

// PaintPath: the path's box, grown by the pen's width when the pen paints.
void PxlColourJudge::mPaintPath()
{
    const Ink ink = std::max(mState.mBrush, mState.mPen);
    if (ink == Ink::None || ink == Ink::Neutral || PageIsColour() || mPath.mblnEmpty)
        return;
    if (ink == Ink::Unknown || mPath.mblnUnbounded) {
        mUnjudged("a path");
        return;
    }
    const double pen = mState.mPen == Ink::Colour ? mState.mdblPenWidth : 0;
    mAddUserArea((mPath.mdblRight - mPath.mdblLeft + pen) * (mPath.mdblBottom - mPath.mdblTop + pen));
}

// Text: a cell for each character, from a downloaded bitmap glyph's size at
// its font's resolution, else the font's size squared under the character
// scale. The cursor moves by advances that are not read.
void PxlColourJudge::mPaintText(const AttributeSet& attributes)
{
    mblnCursorKnown = false;
    const Ink ink = mState.mBrush;
    if (ink == Ink::None || ink == Ink::Neutral || PageIsColour())
        return;
    const AttributeValue* text = attributes.Find(ATTRIBUTE_TEXT_DATA);
    if (ink == Ink::Unknown || text == nullptr) {
        mPaintUnknownArea(ink, "text");
        return;
    }
    const auto found = mFonts.find(mState.mstrFont);
    if (found == mFonts.end() || !found->second.mblnBitmap) {
        const double em = mState.mdblCharSize;
        if (!(em > 0)) {
            mUnjudged("text in a font of no size");
            return;
        }
        mAddUserArea(static_cast<double>(text->Count()) * em * mState.mdblCharScaleX * em * mState.mdblCharScaleY);
        return;
    }
    const Font& font = found->second;
    if (font.mintLargestCell == 0) {
        mUnjudged("text in a font without glyphs");
        return;
    }
    // The codes the value holds (every byte of a ubyte array, the first
    // elements of another); the others take the font's largest cell.
    const std::span<const unsigned char> bytes = text->Bytes();
    const size_t known = !bytes.empty() ? bytes.size() : std::min(text->Count(), AttributeValue::mintMAX_ELEMENTS);
    uint64_t dots = 0;
    for (size_t index = 0; index < text->Count(); ++index) {
        if (index >= known) {
            dots += font.mintLargestCell * (text->Count() - index);
            break;
        }
        const auto code = static_cast<uint32_t>(!bytes.empty() ? bytes[index] : text->Element(index));
        const auto glyph = font.mGlyphs.find(code);
        dots += glyph != font.mGlyphs.end() ? uint64_t{glyph->second.first} * glyph->second.second
                                            : font.mintLargestCell;
    }
    // Dots at the font's resolution, in square user units.
    const double unitsPerDotX = mdblUnitsX / font.mdblResolutionX / mState.mdblScaleX;
    const double unitsPerDotY = mdblUnitsY / font.mdblResolutionY / mState.mdblScaleY;
    mAddUserArea(static_cast<double>(dots) * unitsPerDotX * unitsPerDotY);
}

// The end of a font header: a bitmap font (scaling technology 254) takes
// the resolution of its BR segment, else the session's.
void PxlColourJudge::mEndFontHeader()
{
    constexpr uint8_t SCALING_BITMAP = 254;
    const std::vector<uint8_t>& header = mvecFontHeader;
    if (mstrFontDefined.empty() || (mFonts.size() >= mintMAX_FONTS && !mFonts.contains(mstrFontDefined)))
        return;
    if (const auto old = mFonts.find(mstrFontDefined); old != mFonts.end())
        mintGlyphs -= old->second.mGlyphs.size();
    Font& font = mFonts[mstrFontDefined];
    font = Font{};
    font.mblnBitmap = header.size() > 4 && header[4] == SCALING_BITMAP;
    font.mdblResolutionX = mdblUnitsX;
    font.mdblResolutionY = mdblUnitsY;
    // Segments after the 8 bytes of the header: a two-byte signature and a
    // four-byte size, big-endian as all font data.
    for (size_t at = 8; at + 6 <= header.size();) {
        const uint64_t size = uint64_t{header[at + 2]} << 24 | uint64_t{header[at + 3]} << 16 |
                              uint64_t{header[at + 4]} << 8 | header[at + 5];
        if (header[at] == 'B' && header[at + 1] == 'R' && size >= 4 && at + 10 <= header.size()) {
            font.mdblResolutionX = (header[at + 6] << 8) | header[at + 7];
            font.mdblResolutionY = (header[at + 8] << 8) | header[at + 9];
            break;
        }
        at += 6 + static_cast<size_t>(std::min<uint64_t>(size, header.size()));
    }
    mvecFontHeader.clear();
}

// Embedded data of a path's points, a font header or a glyph.
void PxlColourJudge::mFeedOther(std::span<const uint8_t> data)
{
    switch (mDataUse) {
    case DataUse::None:
        return;
    case DataUse::FontHeader:
        mvecFontHeader.insert(mvecFontHeader.end(), data.begin(),
                              data.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                 data.size(), mintMAX_FONT_HEADER_BYTES - std::min(mintMAX_FONT_HEADER_BYTES,
                                                                                                   mvecFontHeader.size()))));
        return;
    case DataUse::CharHeader: {
        // Format, class (0: bitmap), left and top offsets, width and height,
        // big-endian.
        constexpr size_t HEADER = 10;
        const size_t take = std::min(data.size(), HEADER - mvecPartial.size());
        mvecPartial.insert(mvecPartial.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(take));
        if (mvecPartial.size() < HEADER)
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
        mintGlyphs += glyphs.insert_or_assign(mintCharCode, std::pair{width, height}).second ? 1 : 0;
        font->second.mintLargestCell = std::max(font->second.mintLargestCell, uint64_t{width} * height);
        return;
    }
    case DataUse::Points:
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
        return;
    }
}

void PxlColourJudge::mPaintUnknownArea(Ink ink, const char* what)
{
    if (ink == Ink::Colour || ink == Ink::Unknown)
        mUnjudged(what);
}

void PxlColourJudge::mUnjudged(const char* what)
{
    if (mblnUnjudged)
        return;
    mblnUnjudged = true;
    mLog.Log(LOG_INFO, "PCL6Parser - The colour of %s cannot be measured; the page counts as colour.", what);
}

void PxlColourJudge::mBeginRaster(const AttributeSet& attributes, bool pattern)
{
    mblnInRaster = true;
    mRaster = Raster{};
    Raster& raster = mRaster;
    raster.mblnPattern = pattern;
    raster.mintPatternId = static_cast<int32_t>(Number(attributes.Find(ATTRIBUTE_PATTERN_DEFINE_ID), 0));
    raster.mintWidth = static_cast<uint32_t>(std::clamp(Number(attributes.Find(ATTRIBUTE_SOURCE_WIDTH), 0), 0.0, 1e9));
    raster.mintHeight = static_cast<uint32_t>(std::clamp(Number(attributes.Find(ATTRIBUTE_SOURCE_HEIGHT), 0), 0.0, 1e9));
    const AttributeValue* destination = attributes.Find(ATTRIBUTE_DESTINATION_SIZE);
    raster.mdblDestinationWidth = destination != nullptr ? std::abs(destination->Element(0)) : raster.mintWidth;
    raster.mdblDestinationHeight = destination != nullptr ? std::abs(destination->Element(1)) : raster.mintHeight;
    const auto mapping = static_cast<uint32_t>(Number(attributes.Find(ATTRIBUTE_COLOR_MAPPING), MAPPING_DIRECT));
    const auto depth = static_cast<size_t>(Number(attributes.Find(ATTRIBUTE_COLOR_DEPTH), 2));
    const uint32_t colorSpace = mState.mintColorSpace;

    // An image painted through a raster operation that takes the brush puts
    // the brush's colour where its source is dark (a mask in a colour), or
    // where it is white and not transparent.
    const Ink brush = mState.mBrush;
    if (!pattern && (brush == Ink::Colour || brush == Ink::Unknown)) {
        raster.mblnBrushOnDark = RopTakesBrush(mState.mintRop, 0);
        raster.mblnBrushOnWhite = RopTakesBrush(mState.mintRop, 1) && !mState.mblnSourceTransparent;
        if ((raster.mblnBrushOnDark || raster.mblnBrushOnWhite) && brush == Ink::Unknown)
            raster.mblnUnjudged = true;
    }
    if (raster.mintWidth == 0 || raster.mintHeight == 0)
        return;  // no pixels: its data draws nothing
    const bool grey = colorSpace == COLOR_SPACE_GRAY;
    const bool known = (grey || IsRgbSpace(colorSpace)) && depth < DEPTH_BITS.size() &&
                       (mapping == MAPPING_DIRECT || (mapping == MAPPING_INDEXED && mState.mblnPalette));
    if (!known) {
        raster.mblnNeutral = false;
        raster.mblnUnjudged = true;
        return;
    }
    raster.mintBits = DEPTH_BITS[depth];
    raster.mblnIndexed = mapping == MAPPING_INDEXED;
    raster.mintComponents = raster.mblnIndexed || grey ? 1 : 3;
    if (raster.mblnIndexed) {
        raster.mvecPalette = mState.mvecPalette;
        // Indexes past the palette's end are not known.
        raster.mvecPalette.resize(size_t{1} << raster.mintBits, PIXEL_COLOUR);
    } else if (grey) {
        // Grey levels as a palette: white at the top.
        raster.mvecPalette.assign(size_t{1} << raster.mintBits, 0);
        raster.mvecPalette.back() = PIXEL_WHITE;
        raster.mblnIndexed = true;
    }
    const bool ownColour = raster.mblnIndexed ? std::any_of(raster.mvecPalette.begin(), raster.mvecPalette.end(),
                                                            [](uint8_t pixel) { return (pixel & PIXEL_COLOUR) != 0; })
                                              : true;
    raster.mblnNeutral = !ownColour && !raster.mblnBrushOnDark && !raster.mblnBrushOnWhite;
    const uint64_t rowBytes = (uint64_t{raster.mintWidth} * raster.mintBits * raster.mintComponents + 7) / 8;
    if (!raster.mblnNeutral && rowBytes > mintMAX_ROW_BYTES)
        raster.mblnUnjudged = true;
}

// ReadImage and ReadRastPattern: a block of rows whose data follows.
void PxlColourJudge::mReadRaster(const AttributeSet& attributes, bool littleEndian)
{
    if (!mblnInRaster)
        return;
    Raster& raster = mRaster;
    const double start = Number(attributes.Find(ATTRIBUTE_START_LINE), 0);
    const double rows = Number(attributes.Find(ATTRIBUTE_BLOCK_HEIGHT), 0);
    const double rowsLeft = std::max(0.0, static_cast<double>(raster.mintHeight) - std::max(0.0, start));
    raster.mintBlockRows = static_cast<uint32_t>(std::clamp(rows, 0.0, rowsLeft));
    raster.mintCompression = static_cast<PxlCompression>(Number(attributes.Find(ATTRIBUTE_COMPRESS_MODE), 0));
    raster.mstrJpeg.clear();
    raster.mblnJpegTooLong = false;
    mblnDataExpected = true;
    // A JPEG's pixels are judged by their own colour alone.
    if (raster.mintCompression == COMPRESS_JPEG && (raster.mblnBrushOnDark || raster.mblnBrushOnWhite))
        raster.mblnUnjudged = true;
    if (raster.mblnNeutral || raster.mblnUnjudged)
        return;
    if (raster.mintCompression != COMPRESS_NONE && raster.mintCompression != COMPRESS_RLE &&
        raster.mintCompression != COMPRESS_DELTA_ROW && raster.mintCompression != COMPRESS_JPEG) {
        raster.mblnUnjudged = true;
        return;
    }
    if (!raster.mblnRowsBegun) {
        raster.mblnRowsBegun = true;
        const auto rowBytes =
            static_cast<uint32_t>((uint64_t{raster.mintWidth} * raster.mintBits * raster.mintComponents + 7) / 8);
        const double pad = Number(attributes.Find(ATTRIBUTE_PAD_BYTES_MULTIPLE), 4);
        mRows.BeginImage(rowBytes, static_cast<uint32_t>(std::clamp(pad, 1.0, 255.0)), littleEndian);
        raster.mvecPaints.assign(raster.mintWidth, 0);
        raster.mintRowPaints = 0;
    }
    if (raster.mintCompression != COMPRESS_JPEG)
        mRows.BeginBlock(raster.mintCompression, raster.mintBlockRows);
}

bool PxlColourJudge::mWantsPixels() const
{
    if (!mblnInRaster || mRaster.mblnNeutral || mRaster.mblnUnjudged)
        return false;
    // An image on a page already colour, or a pattern already known to be,
    // changes nothing more.
    return mRaster.mblnPattern ? mRaster.mintColourPixels == 0 : !PageIsColour();
}

bool PxlColourJudge::StartData(uint64_t length)
{
    mblnOtherData = mDataUse != DataUse::None;
    if (mblnOtherData) {
        mblnDataExpected = false;
        mblnReading = false;
        return true;
    }
    const bool expected = mblnDataExpected;
    mblnDataExpected = false;
    mblnReading = expected && mWantsPixels();
    if (mblnReading && mRaster.mintCompression == COMPRESS_JPEG && length > mintMAX_JPEG_BYTES) {
        mRaster.mblnUnjudged = true;
        mblnReading = false;
    }
    return mblnReading;
}

void PxlColourJudge::Feed(std::span<const uint8_t> data)
{
    if (mblnOtherData) {
        mFeedOther(data);
        return;
    }
    if (!mblnReading || !mWantsPixels())
        return;
    if (mRaster.mintCompression == COMPRESS_JPEG) {
        if (mRaster.mstrJpeg.size() + data.size() > mintMAX_JPEG_BYTES)
            mRaster.mblnJpegTooLong = true;
        else
            mRaster.mstrJpeg.append(reinterpret_cast<const char*>(data.data()), data.size());
        return;
    }
    mRows.Feed(data, [this](std::span<const uint8_t> row, std::span<const PxlRowDecoder::ByteRange> changed) {
        mJudgeRow(row, changed);
    });
}

void PxlColourJudge::EndData()
{
    if (mblnOtherData) {
        // Points the data did not hold leave the path's extent unknown.
        if (mDataUse == DataUse::Points)
            mPath.mblnUnbounded = true;
        mblnOtherData = false;
        mDataUse = DataUse::None;
        return;
    }
    if (!mblnReading)
        return;
    mblnReading = false;
    if (!mWantsPixels())
        return;
    Raster& raster = mRaster;
    if (raster.mintCompression == COMPRESS_JPEG) {
        const uint64_t enough = raster.mblnPattern ? 1 : UINT64_MAX;
        const std::optional<uint64_t> colour =
            raster.mblnJpegTooLong
                ? std::nullopt
                : CountJpegColourPixels(raster.mstrJpeg, mintJPEG_MEMORY, uint64_t{raster.mintWidth} * raster.mintBlockRows,
                                        enough);
        raster.mstrJpeg.clear();
        raster.mstrJpeg.shrink_to_fit();
        if (!colour.has_value()) {
            raster.mblnUnjudged = true;
            return;
        }
        mAddImageDots(*colour);
        return;
    }
    if (mRows.RowsMissing() > 0)
        raster.mblnUnjudged = true;
}

// Whether a pixel of a row puts colour on the page: its own, or the brush's
// through the raster operation.
uint8_t PxlColourJudge::mPaints(std::span<const uint8_t> row, uint64_t column) const
{
    const Raster& raster = mRaster;
    const uint32_t bits = raster.mintBits;
    uint8_t pixel = 0;
    if (raster.mblnIndexed) {
        pixel = raster.mvecPalette[Sample(row, column, bits)];
    } else if (bits == 8) {
        pixel = RgbPixel(row[column * 3], row[column * 3 + 1], row[column * 3 + 2]);
    } else {
        pixel = RgbPixel(static_cast<int>(Scaled(Sample(row, column * 3, bits), bits)),
                         static_cast<int>(Scaled(Sample(row, column * 3 + 1, bits), bits)),
                         static_cast<int>(Scaled(Sample(row, column * 3 + 2, bits), bits)));
    }
    if ((pixel & PIXEL_COLOUR) != 0)
        return 1;
    return (pixel & PIXEL_WHITE) != 0 ? raster.mblnBrushOnWhite : raster.mblnBrushOnDark;
}

// Judges the pixels of the row's changed bytes again and counts the row.
void PxlColourJudge::mJudgeRow(std::span<const uint8_t> row, std::span<const PxlRowDecoder::ByteRange> changed)
{
    Raster& raster = mRaster;
    const uint64_t pixelBits = uint64_t{raster.mintBits} * raster.mintComponents;
    for (const PxlRowDecoder::ByteRange& range : changed) {
        const uint64_t first = uint64_t{range.mintFrom} * 8 / pixelBits;
        const uint64_t last =
            std::min<uint64_t>(raster.mintWidth, (uint64_t{range.mintTo} * 8 + pixelBits - 1) / pixelBits);
        for (uint64_t column = first; column < last; ++column) {
            const uint8_t paints = mPaints(row, column);
            raster.mintRowPaints += paints;
            raster.mintRowPaints -= raster.mvecPaints[column];
            raster.mvecPaints[column] = paints;
        }
    }
    mAddImageDots(raster.mintRowPaints);
}

// Non-neutral pixels of the raster: on the page at the image's resolution,
// or the pattern's colour.
void PxlColourJudge::mAddImageDots(uint64_t pixels)
{
    Raster& raster = mRaster;
    raster.mintColourPixels += pixels;
    if (raster.mblnPattern || pixels == 0)
        return;
    if (mdblUnitsX == 0) {
        raster.mblnUnjudged = true;
        return;
    }
    if (raster.mdblDestinationWidth <= 0 || raster.mdblDestinationHeight <= 0)
        return;  // drawn at no size
    if (!mState.mblnScaleKnown) {
        raster.mblnUnjudged = true;
        return;
    }
    // The image's pixels per inch on the page, its destination size in user
    // units.
    mArea.SetResolution(raster.mintWidth * mdblUnitsX / (raster.mdblDestinationWidth * mState.mdblScaleX),
                        raster.mintHeight * mdblUnitsY / (raster.mdblDestinationHeight * mState.mdblScaleY));
    mArea.AddDots(pixels);
}

// EndImage and EndRastPattern: what could not be judged counts as colour;
// a pattern keeps its ink for the brushes and pens that select it.
void PxlColourJudge::mEndRaster()
{
    if (!mblnInRaster)
        return;
    mblnInRaster = false;
    mblnDataExpected = false;
    const Raster& raster = mRaster;
    if (!raster.mblnPattern) {
        if (raster.mblnUnjudged)
            mUnjudged("an image");
        return;
    }
    const Ink ink = raster.mblnUnjudged        ? Ink::Unknown
                    : raster.mintColourPixels > 0 ? Ink::Colour
                                                  : Ink::Neutral;
    if (mPatterns.size() < mintMAX_PATTERNS || mPatterns.contains(raster.mintPatternId))
        mPatterns[raster.mintPatternId] = ink;
}

void PxlColourJudge::EndSession()
{
    mblnOtherData = false;
    mDataUse = DataUse::None;
    if (mblnReading && mWantsPixels())
        mRaster.mblnUnjudged = true;
    mblnReading = false;
    mblnDataExpected = false;
}

}  // namespace RawPrintData::PCL6
