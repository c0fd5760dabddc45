#include "PrinterLanguageParser/Parser/pcl6/PxlColourJudge.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"
#include "PrinterLanguageParser/Parser/pcl6/PxlJpeg.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

// A value given as a single number, or the first of its elements; a real32
// that is not a number (NaN, infinite) gives `otherwise`.
double Number(const AttributeValue* value, double otherwise)
{
    const double number = value != nullptr ? value->Element(0) : otherwise;
    return std::isfinite(number) ? number : otherwise;
}

// A value as an integer of type T (of 32 bits at most), cut toward zero, or
// `otherwise` when it is missing. One that is not a number or that T cannot
// hold gives T's largest value, which no attribute takes: unknown.
template <typename T>
T WholeNumber(const AttributeValue* value, T otherwise)
{
    static_assert(sizeof(T) <= 4);
    if (value == nullptr)
        return otherwise;
    const double number = value->Element(0);
    constexpr double low = static_cast<double>(std::numeric_limits<T>::min());
    constexpr double high = static_cast<double>(std::numeric_limits<T>::max());
    return number > low - 1.0 && number < high + 1.0 ? static_cast<T>(number) : std::numeric_limits<T>::max();
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
    if (operatorTag == OPERATOR_BEGIN_SESSION)
        mBeginSession(attributes);
    const bool geometryWanted = WantsGeometry();
    if (PxlMarkGeometry::ActsOn(operatorTag) && (geometryWanted || !PxlMarkGeometry::IsPathOperator(operatorTag)))
        mGeometry.Execute(operatorTag, attributes, littleEndian, mdblUnitsX, mdblUnitsY);
    mExecute(operatorTag, attributes, littleEndian);
    if (!geometryWanted && WantsGeometry())
        mGeometry.Forget();
}

void PxlColourJudge::mExecute(uint32_t operatorTag, const AttributeSet& attributes, bool littleEndian)
{
    switch (operatorTag) {
    case OPERATOR_BEGIN_PAGE:
        mBeginPage();
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
        mState.mintRop = WholeNumber<uint32_t>(attributes.Find(ATTRIBUTE_ROP3), mState.mintRop) & 0xFF;
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
    case OPERATOR_PAINT_PATH:
        // A figure painted at once is the path its bounding box makes.
        mPaintPath();
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
    case OPERATOR_TEXT:
        mPaintText(attributes);
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
    mdblUnitsX = mdblUnitsY = 0;
    const AttributeValue* units = attributes.Find(ATTRIBUTE_UNITS_PER_MEASURE);
    const auto measure = size_t{WholeNumber<uint32_t>(attributes.Find(ATTRIBUTE_MEASURE), MEASURE_PER_INCH.size())};
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
    mJetReady.BeginPage();
}

void PxlColourJudge::mSetColorSpace(const AttributeSet& attributes)
{
    const AttributeValue* colorSpace = attributes.Find(ATTRIBUTE_COLOR_SPACE);
    if (colorSpace == nullptr)
        return;
    mState.mintColorSpace = WholeNumber<uint32_t>(colorSpace, UINT32_MAX);
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
        const auto entry = size_t{WholeNumber<uint32_t>(index, UINT32_MAX)};
        if (mState.mintColorSpace == COLOR_SPACE_GRAY)
            return Ink::Neutral;
        if (entry >= mState.mvecPalette.size())
            return Ink::Unknown;
        return (mState.mvecPalette[entry] & PIXEL_COLOUR) != 0 ? Ink::Colour : Ink::Neutral;
    }
    if (const AttributeValue* pattern = attributes.Find(ATTRIBUTE_PATTERN_SELECT_ID)) {
        const auto found = mPatterns.find(WholeNumber<int32_t>(pattern, 0));
        return found != mPatterns.end() ? found->second : Ink::Unknown;
    }
    return mState.mintColorSpace == COLOR_SPACE_GRAY ? Ink::Neutral : Ink::Unknown;
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
    const auto measure = size_t{WholeNumber<uint32_t>(attributes.Find(ATTRIBUTE_MEASURE), MEASURE_PER_INCH.size())};
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

// PaintPath, or a figure: the path's box, grown by the pen's width when the
// pen paints.
void PxlColourJudge::mPaintPath()
{
    const Ink ink = std::max(mState.mBrush, mState.mPen);
    if (ink == Ink::None || ink == Ink::Neutral || PageIsColour())
        return;
    const std::optional<double> area = mGeometry.PathArea(mState.mPen == Ink::Colour ? mState.mdblPenWidth : 0);
    if (ink == Ink::Unknown || !area.has_value()) {
        mUnjudged("a path");
        return;
    }
    mAddUserArea(*area);
}

// Text: a cell for each character, from a downloaded bitmap glyph's size at
// its font's resolution, else the font's size squared under the character
// scale.
void PxlColourJudge::mPaintText(const AttributeSet& attributes)
{
    const Ink ink = mState.mBrush;
    if (ink == Ink::None || ink == Ink::Neutral || PageIsColour())
        return;
    const AttributeValue* text = attributes.Find(ATTRIBUTE_TEXT_DATA);
    if (ink == Ink::Unknown || text == nullptr) {
        mPaintUnknownArea(ink, "text");
        return;
    }
    if (!mGeometry.IsBitmapFont(mState.mstrFont)) {
        const double em = mState.mdblCharSize;
        if (!(em > 0)) {
            mUnjudged("text in a font of no size");
            return;
        }
        mAddUserArea(static_cast<double>(text->Count()) * em * mState.mdblCharScaleX * em * mState.mdblCharScaleY);
        return;
    }
    const std::optional<double> area = mGeometry.BitmapTextArea(mState.mstrFont, *text, mdblUnitsX / mState.mdblScaleX,
                                                                mdblUnitsY / mState.mdblScaleY);
    if (!area.has_value()) {
        mUnjudged("text in a bitmap font without glyphs");
        return;
    }
    mAddUserArea(*area);
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
    raster.mintPatternId = WholeNumber<int32_t>(attributes.Find(ATTRIBUTE_PATTERN_DEFINE_ID), 0);
    raster.mintWidth = static_cast<uint32_t>(std::clamp(Number(attributes.Find(ATTRIBUTE_SOURCE_WIDTH), 0), 0.0, 1e9));
    raster.mintHeight = static_cast<uint32_t>(std::clamp(Number(attributes.Find(ATTRIBUTE_SOURCE_HEIGHT), 0), 0.0, 1e9));
    const AttributeValue* destination = attributes.Find(ATTRIBUTE_DESTINATION_SIZE);
    raster.mdblDestinationWidth = destination != nullptr ? std::abs(destination->Element(0)) : raster.mintWidth;
    raster.mdblDestinationHeight = destination != nullptr ? std::abs(destination->Element(1)) : raster.mintHeight;
    const auto mapping = WholeNumber<uint32_t>(attributes.Find(ATTRIBUTE_COLOR_MAPPING), MAPPING_DIRECT);
    const auto depth = size_t{WholeNumber<uint32_t>(attributes.Find(ATTRIBUTE_COLOR_DEPTH), 2)};
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
    raster.mintCompression = static_cast<PxlCompression>(WholeNumber<uint32_t>(attributes.Find(ATTRIBUTE_COMPRESS_MODE), COMPRESS_NONE));
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
    mblnGeometryData = mGeometry.WantsData();
    if (mblnGeometryData) {
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

// Vendor data in an RGB space may be colour: JetReady's strips are read,
// other data counts as colour. Mono lasers send theirs in grey or in a space
// of their own (hpcups' LaserJet 1010 family, space 7), which prints grey.
bool PxlColourJudge::StartVendorData(const AttributeSet& attributes, uint64_t length)
{
    if (length == 0 || !IsRgbSpace(mState.mintColorSpace) || PageIsColour())
        return false;
    if (!mJetReady.Begin(attributes, length)) {
        mUnjudged("vendor data in an RGB space");
        return false;
    }
    mblnReading = mblnReadingVendor = true;
    return true;
}

void PxlColourJudge::Feed(std::span<const uint8_t> data)
{
    if (mblnReadingVendor) {
        mJetReady.Feed(data);
        return;
    }
    if (mblnGeometryData) {
        mGeometry.Feed(data);
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
    if (mblnGeometryData) {
        mblnGeometryData = false;
        mGeometry.EndData();
        return;
    }
    if (!mblnReading)
        return;
    mblnReading = false;
    if (mblnReadingVendor) {
        mblnReadingVendor = false;
        mEndVendorData();
        return;
    }
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

// A JetReady strip's pixels, at the session's resolution.
void PxlColourJudge::mEndVendorData()
{
    const std::optional<uint64_t> colour = mJetReady.End(mintJPEG_MEMORY, UINT64_MAX);
    if (!colour.has_value() || (*colour > 0 && mdblUnitsX == 0)) {
        mUnjudged("JetReady raster");
        return;
    }
    mArea.SetResolution(mdblUnitsX, mdblUnitsY);
    mArea.AddDots(*colour);
}

void PxlColourJudge::EndSession()
{
    if (mblnReadingVendor)
        mUnjudged("JetReady raster cut short");
    mblnReadingVendor = false;
    if (mblnGeometryData)
        mGeometry.EndData();
    mblnGeometryData = false;
    if (mblnReading && mWantsPixels())
        mRaster.mblnUnjudged = true;
    mblnReading = false;
    mblnDataExpected = false;
}

}  // namespace RawPrintData::PCL6
