#pragma once

#include "PrinterLanguageParser/Parser/pcl6/AttributeSet.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace RawPrintData::PCL6 {

// Where the marks of a PCL XL page lie, for their area in user units: the
// bounding box of the current path from its points (attributes, or the
// embedded data of LinePath, LineRelPath, BezierPath and BezierRelPath;
// Bezier control points bound their curve), the cursor the points are
// placed from, and the cells of the glyphs of downloaded bitmap fonts
// (their font header's resolution, each glyph's width and height).
class PxlMarkGeometry {
public:
    // The downloaded fonts and glyph cells remembered; text in a font or a
    // glyph past them has no known cells.
    static constexpr size_t mintMAX_FONTS = 256;
    static constexpr size_t mintMAX_GLYPHS = 65536;
    // The bytes of a font header looked at for its resolution.
    static constexpr size_t mintMAX_FONT_HEADER_BYTES = 4096;

    // The operators and attributes of paths and the cursor: the common
    // operators of vector drawing, which the judge follows only while they
    // may paint colour (see PxlColourJudge::WantsGeometry).
    static constexpr bool IsPathOperator(uint32_t operatorTag)
    {
        switch (operatorTag) {
        case OPERATOR_SET_CURSOR:
        case OPERATOR_SET_CURSOR_REL:
        case OPERATOR_NEW_PATH:
        case OPERATOR_ARC_PATH:
        case OPERATOR_BEZIER_PATH:
        case OPERATOR_BEZIER_REL_PATH:
        case OPERATOR_CHORD_PATH:
        case OPERATOR_ELLIPSE_PATH:
        case OPERATOR_LINE_PATH:
        case OPERATOR_LINE_REL_PATH:
        case OPERATOR_PIE_PATH:
        case OPERATOR_RECTANGLE_PATH:
        case OPERATOR_ROUND_RECTANGLE_PATH:
        case OPERATOR_TEXT_PATH:
            return true;
        default:
            return false;
        }
    }
    static constexpr bool IsPathAttribute(uint32_t id)
    {
        return id == ATTRIBUTE_END_POINT || id == ATTRIBUTE_POINT || id == ATTRIBUTE_NUMBER_OF_POINTS ||
               id == ATTRIBUTE_POINT_TYPE || id == ATTRIBUTE_CONTROL_POINT_1 || id == ATTRIBUTE_CONTROL_POINT_2;
    }

    // Path operators were passed over unfollowed: the path and the cursor
    // are no longer known (until NewPath and SetCursor).
    void Forget()
    {
        mUnbounded();
        mblnCursorKnown = false;
    }

    // The operators it acts on: those of paths and the cursor, and of
    // figures, text and downloaded fonts.
    static constexpr bool ActsOn(uint32_t operatorTag)
    {
        switch (operatorTag) {
        case OPERATOR_BEGIN_SESSION:
        case OPERATOR_BEGIN_PAGE:
        case OPERATOR_BEGIN_FONT_HEADER:
        case OPERATOR_READ_FONT_HEADER:
        case OPERATOR_END_FONT_HEADER:
        case OPERATOR_BEGIN_CHAR:
        case OPERATOR_READ_CHAR:
        case OPERATOR_REMOVE_FONT:
        case OPERATOR_CHORD:
        case OPERATOR_ELLIPSE:
        case OPERATOR_PIE:
        case OPERATOR_RECTANGLE:
        case OPERATOR_ROUND_RECTANGLE:
        case OPERATOR_TEXT:
            return true;
        default:
            return IsPathOperator(operatorTag);
        }
    }

    // Runs an operator; sessionUnitsX and Y are the session's units per inch
    // (0 when not known), the resolution of bitmap fonts that give none.
    void Execute(uint32_t operatorTag, const AttributeSet& attributes, bool littleEndian, double sessionUnitsX,
                 double sessionUnitsY);
    // Any operator: data that follows it is not the data of an earlier one.
    void OperatorComing() { mDataUse = DataUse::None; }
    // Whether the embedded data that follows the operator is read (Feed,
    // then EndData).
    bool WantsData() const { return mDataUse != DataUse::None; }
    void Feed(std::span<const uint8_t> data);
    void EndData();

    // The area of the current path's box grown by a pen's width, in square
    // user units (0 for an empty path); nothing when its extent is not known.
    std::optional<double> PathArea(double penWidth) const;
    // The area of the cells of a text's characters in a downloaded bitmap
    // font, in square user units of unitsPerInchX by unitsPerInchY; nothing
    // when the glyphs' size is not known. Not called for other fonts.
    std::optional<double> BitmapTextArea(std::string_view font, const AttributeValue& text, double unitsPerInchX,
                                         double unitsPerInchY) const;
    bool IsBitmapFont(std::string_view font) const;

private:
    // What the embedded data that follows is read for.
    enum class DataUse : uint8_t { None, Points, FontHeader, CharHeader };
    // How a path's points are placed: as they are, each from the one
    // before, or a curve's three points from the curve's start.
    enum class PointPlacing : uint8_t { Absolute, Relative, CurveRelative };

    struct PathBox {
        bool mblnEmpty = true;
        bool mblnUnbounded = false;
        double mdblLeft = 0, mdblTop = 0, mdblRight = 0, mdblBottom = 0;
    };

    // A downloaded font: whether it is a bitmap font, the resolution of its
    // glyphs, each glyph's cell in dots and the largest.
    struct Font {
        bool mblnBitmap = false;
        double mdblResolutionX = 0;
        double mdblResolutionY = 0;
        std::unordered_map<uint32_t, std::pair<uint16_t, uint16_t>> mGlyphs;
        uint64_t mintLargestCell = 0;
    };

    void mUnbounded();
    void mPathPoint(double x, double y);
    void mPathBox(const AttributeSet& attributes);
    void mPathSegments(const AttributeSet& attributes, bool relative, bool curve);
    void mPlacePoint(double x, double y);
    void mFeedPoints(std::span<const uint8_t> data);
    void mFeedCharHeader(std::span<const uint8_t> data);
    void mEndFontHeader(double sessionUnitsX, double sessionUnitsY);

    PathBox mPath;
    double mdblCursorX = 0;
    double mdblCursorY = 0;
    bool mblnCursorKnown = false;

    std::map<std::string, Font, std::less<>> mFonts;
    size_t mintGlyphs = 0;
    // The font being downloaded (BeginFontHeader, BeginChar), its header's
    // first bytes, and the code of the glyph being read.
    std::string mstrFontDefined;
    std::vector<uint8_t> mvecFontHeader;
    uint32_t mintCharCode = 0;

    // The data being read: its use, the bytes of an element (or a glyph's
    // header) not complete yet, and for points their count, element size,
    // sign, byte order and placing.
    DataUse mDataUse = DataUse::None;
    std::vector<uint8_t> mvecPartial;
    uint64_t mintPointsLeft = 0;
    uint32_t mintPointBytes = 0;
    bool mblnPointSigned = false;
    bool mblnLittleEndian = true;
    PointPlacing mPlacing = PointPlacing::Absolute;
    uint32_t mintCurvePoint = 0;
    double mdblCurveStartX = 0;
    double mdblCurveStartY = 0;
    bool mblnHaveX = false;
    double mdblPendingX = 0;
};

}  // namespace RawPrintData::PCL6
