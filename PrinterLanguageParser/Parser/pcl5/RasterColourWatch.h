#pragma once

#include "PrinterLanguageParser/Parser/ColourArea.h"
#include "PrinterLanguageParser/Parser/pcl5/Mode10Decoder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace RawPrintData::PCL5 {

// Tells whether colour reaches a page through raster, by the colour rule
// (ColourRule.h): non-neutral ink over the minimal area, counted in dots of
// the raster's resolution (ESC * t # R, or the configured one). With the
// planes black, cyan, magenta and yellow (ESC * r -4 U), or cyan, magenta and
// yellow (-3) or red, green and blue (3) alone, the three colour planes of
// each row are decompressed (modes 0, 1, 2, 3 and 9) and their amounts of ink
// compared over the rule's ink cells (InkCells): drivers dither each plane on
// its own, so grey made of the three, or black printed with them, differs
// dot by dot but balances over a cell; blank rows and rows moved over are
// rows of the cells as any other.
// Configured raster (ESC * g # W, format 2) gives the planes of black, cyan,
// magenta and yellow by their levels and resolutions; in format 6 (PCL 3
// GUI) it gives planes of black and one of RGB pixels in mode 10
// (Mode10Decoder), each plane with its own compression. Configured image
// data (ESC * v # W) of three one-bit planes, by index with the default
// palette or direct, is read as the simple colour modes 3 (RGB) and -3 (CMY).
// With 24-bit RGB pixels (ESC * v # W configuring RGB, direct by pixel, 8
// bits a primary, or mode 10), a pixel that is not neutral is a colour dot.
// Planes a row does not send are empty ones. Rows in another compression
// while colour planes are configured cannot be judged: their page counts as
// colour. Other configurations have no colour planes: their pages stay mono.
//
// The data of a plane is read as it streams by, in any chunking; the decoder
// state and the rows, which delta-row modes change from the row before, are
// kept between calls. A row is read up to mintMAX_ROW_BYTES per plane (24-bit
// pixels of A0 paper at 600 dpi); data beyond it is not looked at, so a page
// with such rows counts as colour: its colour could not be ruled out.
class RasterColourWatch {
public:
    static constexpr size_t mintMAX_ROW_BYTES = 65536;
    static constexpr uint32_t mintMAX_PLANES = 16;

    RasterColourWatch() { mSetGeometry(75, 75); }

    // ESC * r # U.
    void SetPlanes(int32_t simpleColourMode);
    // ESC * t # R: the raster's resolution in dots per inch, across and
    // down, from the next row on.
    void SetResolution(int32_t dpi);
    // ESC * v # W: the length of its data to read with Read.
    uint64_t BeginImageData(uint64_t length);
    // ESC * g # W (configure raster data): the length of its data to read
    // with Read.
    uint64_t BeginRasterConfiguration(uint64_t length);
    // ESC * o # W (configure driver): the length of its data to read with
    // Read. A PCL 3 GUI job printed in grey says so here (function 11, grey
    // 2): its raster, colour as it may be, prints grey until a reset.
    uint64_t BeginDriverConfiguration(uint64_t length);
    // ESC E: one plane of black, printed as sent.
    void Reset()
    {
        mblnGreyRendering = false;
        SetPlanes(1);
        SetResolution(75);
    }
    // ESC * b # M.
    void SetCompression(int32_t mode);
    // ESC * r # A and ESC * b # Y: rows start again from blank ones, with their
    // first plane.
    void StartRaster();
    // Rows without ink (ESC * b # Y moves over them): ink cells are so many
    // rows of the page, whatever is printed in them.
    void BlankRows(uint64_t rows)
    {
        if (Watching() && !mblnRgbPixels)
            mAddColourDots(mCells.BlankRows(rows));
    }

    // Whether the rows' colour may still change the page's verdict: colour
    // components are configured, the page has no colour yet and is not
    // printed in grey. While it is false, planes are only counted.
    bool Open() const { return mColourStillOpen(); }
    // A plane of a row passed while the watch is not Open.
    void CountPlane(bool lastPlane)
    {
        mintPlane = lastPlane ? 0 : mintPlane + 1;
        mRow = nullptr;
    }

    // Whether rows are still looked at: colour components are configured, in
    // a compression that is read, and the page has no colour yet.
    bool Watching() const { return mColourStillOpen() && (mblnReadable || mblnOwnCompressions); }

    // Whether rows would be looked at but for a compression that is not read:
    // the planes are still counted, and a compression that is read starts the
    // watch again where the row is.
    bool AwaitsCompression() const { return mColourStillOpen() && !mblnReadable && !mblnOwnCompressions; }
    // Whether a compression mode (ESC * b # M) is one that is read.
    static bool Readable(int64_t mode);
    // Whether every colour plane's row is blank and none was sent in the row
    // being read: empty planes and row ends then change nothing.
    bool RowsBlank() const { return mblnRowsBlank && mintTouched == 0; }

    // The data of the next plane of a row (ESC * b # V) or of its last plane
    // (# W): the length of it to read with Read, 0 when it is to be skipped.
    uint64_t BeginPlane(bool lastPlane, uint64_t length)
    {
        const uint32_t plane = mintPlane;
        const auto blackWithinRow = [&] {
            return !lastPlane && (plane >= mintMAX_PLANES || ((mLayout.mintColourPlaneMask >> plane) & 1) == 0) &&
                   (mblnReadable || mblnOwnCompressions);
        };
        if (!mColourStillOpen() || (length == 0 && RowsBlank()) || blackWithinRow()) [[likely]] {
            // Only counted: no colour to look for, an empty plane or row end
            // among blank rows, which only moves down a row, or a plane of
            // black within a row.
            if (lastPlane && length == 0 && RowsBlank())
                BlankRows(1);
            mintPlane = lastPlane ? 0 : plane + 1;
            mRow = nullptr;
            return 0;
        }
        return mBeginOpenPlane(lastPlane, length);
    }
    // ESC & a + # V: the cursor moves down by so many decipoints (a
    // driver's way over blank paper between bands of rows).
    void MoveDown(int32_t decipoints);
    // Rows that follow the row just ended and send no plane.
    void RepeatRows(uint64_t count);
    // Reads plane or image-configuration data.
    void Read(std::span<const unsigned char> bytes);

    // At a page's end, before NewPage: the rows still open are judged.
    bool PageHasColour();
    // Whether the page's rows went past mintMAX_ROW_BYTES while watched.
    bool RowsCut() const { return mblnRowsCut; }
    // Rows with data came in a compression that is not read while colour
    // planes are configured: what they print cannot be judged, so the page
    // counts as colour.
    void NoteUnjudgedRows()
    {
        mblnColour = true;
        mblnUnjudged = true;
    }
    // Whether the page's colour comes from rows that were not judged.
    bool Unjudged() const { return mblnUnjudged; }
    // A page starts between rows: from blank ones, with their first plane.
    void NewPage()
    {
        mblnColour = false;
        mblnRowsCut = false;
        mblnUnjudged = false;
        mArea.Clear();
        mCells.Clear();
        StartRaster();
    }

private:
    enum class Phase { Command, Literal, Repeat, OffsetExtension, CountExtension, Data };

    // One plane's row as decompressed so far.
    struct PlaneRow {
        std::vector<unsigned char> mbytBytes;
        size_t mintCursor = 0;
    };


    // The planes of a row: the component of each (0 black, 1 to 3 cyan,
    // magenta and yellow), and the planes of the three compared components,
    // one bit each.
    struct Layout {
        std::array<uint8_t, mintMAX_PLANES> mintComponent{};
        uint32_t mintPlanes = 0;
        uint32_t mintColourComponents = 0;
        uint32_t mintColourPlaneMask = 0;
        // Each plane of cyan with the planes of magenta and yellow of the
        // same bit (NO_PLANE where there is none).
        std::array<std::array<uint8_t, 3>, mintMAX_PLANES> mintTriple{};
        uint32_t mintTriples = 0;
        // Of a dot's level, the bits of each component (its planes after the
        // first that many are further rows of a finer vertical resolution).
        uint32_t mintLevelBits = 1;
    };
    static constexpr uint8_t NO_PLANE = 0xFF;
    static constexpr Layout mMakeLayout(const std::array<uint8_t, mintMAX_PLANES>& components, uint32_t planes,
                                        uint32_t colourComponents);

    // Colour planes are configured, in a layout whose page has no colour yet
    // and is not printed in grey.
    bool mColourStillOpen() const { return mLayout.mintColourComponents > 0 && !mblnColour && !mblnGreyRendering; }
    // The compression a plane's data is in.
    int32_t mCompressionOf(uint32_t plane) const
    {
        return mintPlaneCompression[plane] >= 0 ? mintPlaneCompression[plane] : mintCompression;
    }
    uint64_t mBeginOpenPlane(bool lastPlane, uint64_t length);
    void mConfigure();
    void mConfigureRasterData();
    void mConfigurePixelRaster();
    void mOwnCompressions(std::span<const int8_t> compressions);
    void mSetLayout(const std::array<uint8_t, mintMAX_PLANES>& components, uint32_t planes, uint32_t colourComponents,
                    uint32_t levelBits = 1);
    void mSetLayout(const Layout& layout);
    void mReadByte(unsigned char byte);
    void mPut(unsigned char byte);
    void mPutRun(unsigned char byte, size_t count);
    void mPutLiteral(std::span<const unsigned char> literal);
    void mLiteral(unsigned char byte);
    void mMove(size_t offset);
    void mEndRow();
    // Counts non-neutral dots; the page is colour from the minimal area on.
    void mAddColourDots(uint64_t dots)
    {
        mArea.AddDots(dots);
        mblnColour = mblnColour || mArea.Reached();
    }
    // Takes the resolution and the layout's levels for the cells; what the
    // open cells hold is judged first.
    void mSetGeometry(double xDpi, double yDpi);

    Layout mLayout;
    bool mblnRowsBlank = true;
    std::array<PlaneRow, mintMAX_PLANES> mRows;
    // The planes the row being read has sent.
    uint32_t mintTouched = 0;
    // Whether the row being read differs from the one before, whose ink the
    // cells keep to count a row that repeats it.
    bool mblnRowChanged = true;

    int32_t mintCompression = 0;
    bool mblnReadable = true;
    // Configured raster may give each plane its own compression (-1: the
    // one ESC * b # M sets); the plane being read is in mintRowCompression.
    std::array<int8_t, mintMAX_PLANES> mintPlaneCompression = [] {
        std::array<int8_t, mintMAX_PLANES> none;
        none.fill(-1);
        return none;
    }();
    bool mblnOwnCompressions = false;
    int32_t mintRowCompression = 0;
    Mode10Decoder mMode10{mintMAX_ROW_BYTES};
    // The plane of RGB pixels.
    uint32_t mintRgbPlane = 0;
    double mdblXDpi = 0;
    double mdblYDpi = 0;
    uint32_t mintFullDot = 0;
    // The resolution of ESC * t # R, taken by the next row; 0 while a
    // configuration gives the resolution.
    double mdblPendingDpi = 75;
    // Rows are RGB pixels: plane 0 holds them.
    bool mblnRgbPixels = false;
    // The three planes are red, green and blue (ESC * r 3 U): a bit set is
    // light, a bit clear ink.
    bool mblnLightPlanes = false;
    // The non-neutral pixels of the last row of them, for rows that repeat it.
    uint64_t mintRgbRowDots = 0;

    // ESC * v # W or ESC * g # W data being read: its first bytes.
    static constexpr size_t mintIMAGE_DATA_BYTES = 6;
    static constexpr size_t mintCONFIGURATION_BYTES = 2 + 6 * 4;
    uint64_t mintImageDataLeft = 0;
    size_t mintImageDataRead = 0;
    enum class Configuration { ImageData, RasterData, Driver };
    Configuration mConfiguration = Configuration::ImageData;
    bool mblnGreyRendering = false;
    std::array<unsigned char, mintCONFIGURATION_BYTES> mbytImageData{};
    uint32_t mintPlane = 0;
    bool mblnColour = false;
    bool mblnRowsCut = false;
    bool mblnUnjudged = false;
    // The page's non-neutral area, and its ink cells being filled.
    ColourArea mArea;
    InkCells mCells;

    // The plane being read and what is left of its data.
    PlaneRow* mRow = nullptr;
    bool mblnLastPlane = false;
    uint64_t mintLeft = 0;

    // Decoder state within the plane being read.
    Phase mPhase = Phase::Command;
    uint64_t mintCount = 0;
    uint64_t mintOffset = 0;
    bool mblnRun = false;
    bool mblnCountExtended = false;
    unsigned char mbytRunCount = 0;  // mode 1: the count of the pair being read
    bool mblnCountByte = false;      // mode 1: the next byte is a count

};

}  // namespace RawPrintData::PCL5
