#pragma once

#include "PrinterLanguageParser/Parser/ColourArea.h"
#include "PrinterLanguageParser/Parser/IAbstractLogger.h"
#include "PrinterLanguageParser/Parser/pcl6/AttributeSet.h"
#include "PrinterLanguageParser/Parser/pcl6/JetReady.h"
#include "PrinterLanguageParser/Parser/pcl6/PxlMarkGeometry.h"
#include "PrinterLanguageParser/Parser/pcl6/PxlRowDecoder.h"

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace RawPrintData::PCL6 {

// What a brush or pen paints with: nothing, a neutral colour, a colour that
// is not neutral, or a colour the data does not tell.
enum class Ink : uint8_t { None, Neutral, Colour, Unknown };

// What a pixel of an image is, as bits: a non-neutral colour, white.
inline constexpr uint8_t PIXEL_COLOUR = 1;
inline constexpr uint8_t PIXEL_WHITE = 2;

// Judges the colour of a PCL XL page by the colour rule (ColourRule.h):
// non-neutral ink over the minimal area, in the session's units of measure.
// Images are decoded row by row (uncompressed, run-length, delta-row or JPEG
// blocks; grey or RGB, direct or through a palette, 1, 4 or 8 bits) and each
// non-neutral pixel counts with the area it covers at the image's
// destination size. Rectangles, ellipses, chords and pies count their
// bounding box, and a painted path the box of its points (Bezier control
// points included), with the pen's width when the pen paints in colour.
// Text counts a cell for each character: a downloaded bitmap glyph's own
// size at its font's resolution, else the font's size squared (its em).
// Every area is in the page's user units: the session's, under the scale
// SetPageScale sets. Scan lines painted in a non-neutral colour, whose area
// is not read, make the page colour, and so does what cannot be judged
// (vendor data in an RGB space other than JetReady's JPEG strips, an unknown compression or colour space,
// damaged image data, a path point placed from a cursor that cannot be
// told, text in a bitmap font with no glyphs): it is logged once a page.
// Images in grey, or through a palette of neutral colours only, and data
// that follows once the page is colour, are passed over undecoded.
class PxlColourJudge {
public:
    // The longest image row decoded, in bytes, and the longest JPEG block
    // kept; larger ones count as colour.
    static constexpr uint32_t mintMAX_ROW_BYTES = 1u << 20;
    static constexpr size_t mintMAX_JPEG_BYTES = 32u << 20;
    static constexpr size_t mintJPEG_MEMORY = 32u << 20;
    // The raster patterns whose colour is remembered, and the depth of saved
    // graphics states.
    static constexpr size_t mintMAX_PATTERNS = 4096;
    static constexpr size_t mintMAX_SAVED_STATES = 64;

    explicit PxlColourJudge(IAbstractLogger& log) : mLog(log) {}

    // The operators the judge acts on: its own, and those of the marks'
    // geometry (figures and text among them).
    static constexpr bool ActsOn(uint32_t operatorTag)
    {
        switch (operatorTag) {
        case OPERATOR_BEGIN_SESSION:
        case OPERATOR_BEGIN_PAGE:
        case OPERATOR_POP_GS:
        case OPERATOR_PUSH_GS:
        case OPERATOR_SET_BRUSH_SOURCE:
        case OPERATOR_SET_COLOR_SPACE:
        case OPERATOR_SET_PEN_SOURCE:
        case OPERATOR_SET_PEN_WIDTH:
        case OPERATOR_SET_ROP:
        case OPERATOR_SET_SOURCE_TX_MODE:
        case OPERATOR_PAINT_PATH:
        case OPERATOR_BEGIN_IMAGE:
        case OPERATOR_READ_IMAGE:
        case OPERATOR_END_IMAGE:
        case OPERATOR_BEGIN_RAST_PATTERN:
        case OPERATOR_READ_RAST_PATTERN:
        case OPERATOR_END_RAST_PATTERN:
        case OPERATOR_BEGIN_SCAN:
        case OPERATOR_SET_CHAR_SCALE:
        case OPERATOR_SET_FONT:
        case OPERATOR_SET_PAGE_DEFAULT_CTM:
        case OPERATOR_SET_PAGE_SCALE:
            return true;
        default:
            return PxlMarkGeometry::ActsOn(operatorTag);
        }
    }

    // Whether the operators and attributes of paths and the cursor
    // (PxlMarkGeometry::IsPathOperator) are followed: while the brush or the
    // pen may paint colour on a page not yet colour. While they are not, the
    // parser may pass them over unread, and the judge ignores them; a path
    // built then and painted once the ink is colour counts as colour.
    bool WantsGeometry() const
    {
        const auto paints = [](Ink ink) { return ink == Ink::Colour || ink == Ink::Unknown; };
        return (paints(mState.mBrush) || paints(mState.mPen)) && !PageIsColour();
    }

    // Runs an operator with its attributes; littleEndian is the stream's
    // byte order (of delta-row counts).
    void Execute(uint32_t operatorTag, const AttributeSet& attributes, bool littleEndian);
    // Any operator: data that follows it is not the data of an earlier
    // ReadImage or ReadRastPattern.
    void OperatorComing()
    {
        mblnDataExpected = false;
        mGeometry.OperatorComing();
    }

    // Embedded data of length bytes follows the operator: whether the judge
    // reads it (Feed, then EndData).
    bool StartData(uint64_t length);
    // The raw data of a VendorUnique operator with these attributes follows:
    // whether the judge reads it (Feed, then EndData).
    bool StartVendorData(const AttributeSet& attributes, uint64_t length);
    void Feed(std::span<const uint8_t> data);
    void EndData();

    // The session ended (its patterns with it), or the stream ended inside
    // data: what was being read is left unjudged.
    void EndSession();

    bool PageIsColour() const { return mblnUnjudged || mArea.Reached(); }

private:
    struct GraphicsState {
        uint32_t mintColorSpace = COLOR_SPACE_GRAY;
        // What each palette entry is (PIXEL_COLOUR, PIXEL_WHITE or neither);
        // empty without a palette.
        std::vector<uint8_t> mvecPalette;
        bool mblnPalette = false;
        Ink mBrush = Ink::Neutral;
        Ink mPen = Ink::Neutral;
        double mdblPenWidth = 1;
        // The raster operation, and whether white source pixels are
        // transparent.
        uint32_t mintRop = 252;
        bool mblnSourceTransparent = false;
        // User units in session units across and down (SetPageScale), and
        // whether they are known.
        double mdblScaleX = 1;
        double mdblScaleY = 1;
        bool mblnScaleKnown = true;
        // The font (SetFont), its size and SetCharScale's scale.
        std::string mstrFont;
        double mdblCharSize = 0;
        double mdblCharScaleX = 1;
        double mdblCharScaleY = 1;
    };

    // The raster being read: an image, or a pattern.
    struct Raster {
        bool mblnPattern = false;
        int32_t mintPatternId = 0;
        uint32_t mintWidth = 0;
        uint32_t mintHeight = 0;
        double mdblDestinationWidth = 0;
        double mdblDestinationHeight = 0;
        uint32_t mintBits = 8;
        uint32_t mintComponents = 1;
        bool mblnIndexed = false;
        std::vector<uint8_t> mvecPalette;
        // The brush's colour reaches the page through the raster operation
        // where the source is dark, or where it is white.
        bool mblnBrushOnDark = false;
        bool mblnBrushOnWhite = false;
        // Nothing of it can be colour: its data is passed over.
        bool mblnNeutral = true;
        // Its colour could not be told.
        bool mblnUnjudged = false;
        uint64_t mintColourPixels = 0;
        // Whether the rows' geometry was set, at the first block.
        bool mblnRowsBegun = false;
        // The block being read.
        PxlCompression mintCompression = COMPRESS_NONE;
        uint32_t mintBlockRows = 0;
        std::string mstrJpeg;
        bool mblnJpegTooLong = false;
        // Whether each pixel of the last row puts colour on the page, and
        // how many do: a row is judged where it changed.
        std::vector<uint8_t> mvecPaints;
        uint64_t mintRowPaints = 0;
    };

    void mExecute(uint32_t operatorTag, const AttributeSet& attributes, bool littleEndian);
    void mBeginSession(const AttributeSet& attributes);
    void mBeginPage();
    void mSetColorSpace(const AttributeSet& attributes);
    Ink mInkOf(const AttributeSet& attributes) const;
    void mPaintUnknownArea(Ink ink, const char* what);
    void mAddUserArea(double area);
    void mSetPageScale(const AttributeSet& attributes);
    void mSetFont(const AttributeSet& attributes);
    void mPaintPath();
    void mPaintText(const AttributeSet& attributes);
    void mBeginRaster(const AttributeSet& attributes, bool pattern);
    void mReadRaster(const AttributeSet& attributes, bool littleEndian);
    void mEndRaster();
    void mJudgeRow(std::span<const uint8_t> row, std::span<const PxlRowDecoder::ByteRange> changed);
    uint8_t mPaints(std::span<const uint8_t> row, uint64_t column) const;
    void mAddImageDots(uint64_t pixels);
    void mUnjudged(const char* what);
    void mEndVendorData();
    // Whether the raster's pixels still need counting.
    bool mWantsPixels() const;

    IAbstractLogger& mLog;
    ColourArea mArea;
    bool mblnUnjudged = false;
    // Session units per inch across and down; 0 while the session gave none.
    double mdblUnitsX = 0;
    double mdblUnitsY = 0;
    GraphicsState mState;
    std::vector<GraphicsState> mvecSaved;
    uint64_t mintUnsavedPushes = 0;
    std::map<int32_t, Ink> mPatterns;

    PxlMarkGeometry mGeometry;
    // The embedded data being read is the geometry's.
    bool mblnGeometryData = false;

    bool mblnInRaster = false;
    Raster mRaster;
    PxlRowDecoder mRows;
    bool mblnDataExpected = false;
    bool mblnReading = false;
    JetReadyReader mJetReady;
    bool mblnReadingVendor = false;
};

}  // namespace RawPrintData::PCL6
