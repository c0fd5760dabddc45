#include "PrinterLanguageParser/Parser/pcl5/RasterColourWatch.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <cstdint>

namespace RawPrintData::PCL5 {

namespace {

// Raster compression modes.
constexpr int32_t UNENCODED = 0, RUN_LENGTH = 1, TIFF = 2, DELTA_ROW = 3, REPLACEMENT_DELTA_ROW = 9, PIXEL_DELTA = 10;
// Component numbers: 0 is black (or no colour), 1 to 3 the three compared.
constexpr uint8_t BLACK = 0;

}  // namespace

// A layout of planes; each plane's bit counts up within its component, and
// each plane of cyan is compared with the planes of magenta and yellow of its
// bit.
constexpr RasterColourWatch::Layout
RasterColourWatch::mMakeLayout(const std::array<uint8_t, mintMAX_PLANES>& components, uint32_t planes,
                               uint32_t colourComponents)
{
    Layout layout{components, planes, colourComponents, 0, {}, 0};
    std::array<uint8_t, mintMAX_PLANES> bit{};
    std::array<uint8_t, 4> bits{};
    for (uint32_t plane = 0; plane < planes && plane < mintMAX_PLANES; ++plane) {
        bit[plane] = bits[components[plane] & 3]++;
        if (components[plane] != BLACK)
            layout.mintColourPlaneMask |= uint32_t{1} << plane;
    }
    for (uint32_t plane = 0; plane < planes && plane < mintMAX_PLANES; ++plane) {
        if (components[plane] != 1)
            continue;
        std::array<uint8_t, 3>& triple = layout.mintTriple[layout.mintTriples++];
        triple = {static_cast<uint8_t>(plane), NO_PLANE, NO_PLANE};
        for (uint32_t other = 0; other < planes && other < mintMAX_PLANES; ++other) {
            if ((components[other] == 2 || components[other] == 3) && bit[other] == bit[plane])
                triple[components[other] - 1] = static_cast<uint8_t>(other);
        }
    }
    return layout;
}

// -4: black, cyan, magenta, yellow; -3 cyan, magenta, yellow and 3 red, green,
// blue, whose drivers print black and grey with all three planes. One plane
// of black (1, -1) tells no colour.
void RasterColourWatch::SetPlanes(int32_t simpleColourMode)
{
    mblnRgbPixels = false;
    mOwnCompressions({});
    mblnLightPlanes = simpleColourMode == 3;
    // Drivers set these on every page: their layouts are made once.
    static constexpr Layout KCMY = mMakeLayout({BLACK, 1, 2, 3}, 4, 3), CMY = mMakeLayout({1, 2, 3}, 3, 3),
                            BLACK_ONLY = mMakeLayout({}, 0, 0);
    if (simpleColourMode == -4)
        mSetLayout(KCMY);
    else if (simpleColourMode == 3 || simpleColourMode == -3)
        mSetLayout(CMY);
    else
        mSetLayout(BLACK_ONLY);
    mblnRowChanged = true;
}

// The same resolution across and down, for the raster rows that follow;
// PCL takes 75 dpi until told.
void RasterColourWatch::SetResolution(int32_t dpi)
{
    if (dpi > 0)
        mdblPendingDpi = dpi;
}

void RasterColourWatch::mSetGeometry(double xDpi, double yDpi)
{
    const uint32_t levelBits = std::clamp<uint32_t>(mLayout.mintLevelBits, 1, 16);
    const uint32_t rowsPerRow = std::max<uint32_t>(mLayout.mintTriples / levelBits, 1);
    const uint32_t fullDot = ((uint32_t{1} << levelBits) - 1) * rowsPerRow;
    if (xDpi == mdblXDpi && yDpi == mdblYDpi && fullDot == mintFullDot)
        return;  // drivers repeat their resolution on every page
    mintFullDot = fullDot;
    mAddColourDots(mCells.Configure(ColourRule::InkCellDots(xDpi), ColourRule::InkCellDots(yDpi), fullDot));
    mCells.SetEnough(ColourRule::MinimumColourDots(xDpi, yDpi));
    mdblXDpi = xDpi;
    mdblYDpi = yDpi;
    mArea.SetResolution(xDpi, yDpi);
    mblnColour = mblnColour || mArea.Reached();
}

// The configuration replaces the layout once all of it is read.
uint64_t RasterColourWatch::BeginImageData(uint64_t length)
{
    mintImageDataLeft = length;
    mintImageDataRead = 0;
    mConfiguration = Configuration::ImageData;
    mRow = nullptr;
    return length;
}

uint64_t RasterColourWatch::BeginRasterConfiguration(uint64_t length)
{
    BeginImageData(length);
    mConfiguration = Configuration::RasterData;
    return length;
}

uint64_t RasterColourWatch::BeginDriverConfiguration(uint64_t length)
{
    BeginImageData(length);
    mConfiguration = Configuration::Driver;
    return length;
}

// Configure image data: 24-bit RGB pixels (RGB, direct by pixel, 8 bits a
// primary); three planes of one bit, indexed by plane with the default
// palette or direct by plane, which in RGB are red, green and blue and in CMY
// cyan, magenta and yellow, as in the simple colour modes 3 and -3; or a
// layout of no colour planes.
void RasterColourWatch::mConfigure()
{
    if (mConfiguration == Configuration::RasterData) {
        mConfigureRasterData();
        return;
    }
    const auto& data = mbytImageData;
    if (mConfiguration == Configuration::Driver) {
        // Device 11 (colour mode), its value last: 2 is grey.
        constexpr unsigned char COLOUR_MODE = 0x0B, GREY = 2;
        if (mintImageDataRead == 5 && data[0] == COLOUR_MODE)
            mblnGreyRendering = data[4] == GREY;
        return;
    }
    constexpr unsigned char RGB = 0, CMY = 1, INDEXED_BY_PLANE = 0, DIRECT_BY_PLANE = 2, DIRECT_BY_PIXEL = 3;
    const bool complete = mintImageDataRead >= mintIMAGE_DATA_BYTES;
    const bool threePlanes = complete && (data[0] == RGB || data[0] == CMY) &&
                             ((data[1] == INDEXED_BY_PLANE && data[2] == 3) ||
                              (data[1] == DIRECT_BY_PLANE && data[3] == 1 && data[4] == 1 && data[5] == 1));
    if (threePlanes) {
        SetPlanes(data[0] == RGB ? 3 : -3);
        return;
    }
    mblnLightPlanes = false;
    const bool rgbPixels = complete && data[0] == RGB && data[1] == DIRECT_BY_PIXEL && data[3] == 8 && data[4] == 8 &&
                           data[5] == 8;
    std::array<uint8_t, mintMAX_PLANES> components{};
    components[0] = 1;
    mOwnCompressions({});
    mSetLayout(components, rgbPixels ? 1 : 0, rgbPixels ? 1 : 0);
    mblnRgbPixels = rgbPixels;
    mintRgbPlane = 0;
    mblnRowChanged = true;
}

// Configure raster data in format 2: a count of components, black, cyan,
// magenta and yellow (4), cyan, magenta and yellow (3) or black (1), each
// with its resolutions and its intensity levels, which take as many planes
// as the bits they need, for each row of the coarsest vertical resolution.
// Other formats leave no colour planes watched.
void RasterColourWatch::mConfigureRasterData()
{
    const auto& data = mbytImageData;
    std::array<uint8_t, mintMAX_PLANES> components{};
    if (mintImageDataRead >= 4 && data[0] == 6) {
        mConfigurePixelRaster();
        return;
    }
    const uint32_t count = mintImageDataRead >= 2 && data[0] == 2 ? data[1] : 0;
    uint32_t planes = 0, levelBits = 1, xDpi = 0, yDpi = 0;
    const auto word = [&data](size_t at) { return (uint32_t{data[at]} << 8) | data[at + 1]; };
    if ((count == 4 || count == 3) && mintImageDataRead >= 2 + 6 * count) {
        uint32_t rowResolution = UINT32_MAX;
        for (uint32_t component = 0; component < count; ++component)
            rowResolution = std::min(rowResolution, std::max(word(2 + 6 * component + 2), uint32_t{1}));
        for (uint32_t component = 0; component < count; ++component) {
            const size_t at = 2 + 6 * component;
            const uint32_t levels = word(at + 4);
            const uint32_t bits = levels < 2 ? 0 : static_cast<uint32_t>(std::bit_width(levels - 1));
            // A component of a finer vertical resolution sends that many
            // more rows of planes within each row.
            const uint32_t rows = std::clamp(word(at + 2) / rowResolution, uint32_t{1}, uint32_t{4});
            for (uint32_t bit = 0; bit < bits * rows && planes < mintMAX_PLANES; ++bit)
                components[planes++] = static_cast<uint8_t>(component + (count == 3 ? 1 : 0));
            // The cells go by the colour components' dots and the rows sent.
            if (component + (count == 3 ? 1 : 0) == 1) {
                levelBits = std::max<uint32_t>(bits, 1);
                xDpi = word(at);
                yDpi = rowResolution;
            }
        }
    }
    mblnRgbPixels = false;
    mblnLightPlanes = false;
    mOwnCompressions({});
    mSetLayout(components, planes, planes == 0 ? 0 : 3, levelBits);
    if (xDpi > 0 && yDpi > 0)
        mSetGeometry(xDpi, yDpi);
    mdblPendingDpi = 0;
    mblnRowChanged = true;
}

void RasterColourWatch::mSetLayout(const std::array<uint8_t, mintMAX_PLANES>& components, uint32_t planes,
                                   uint32_t colourComponents, uint32_t levelBits)
{
    Layout layout = mMakeLayout(components, planes, colourComponents);
    layout.mintLevelBits = levelBits;
    mSetLayout(layout);
}

// Takes a layout of planes.
void RasterColourWatch::mSetLayout(const Layout& layout)
{
    if (layout.mintPlanes == mLayout.mintPlanes && layout.mintComponent == mLayout.mintComponent &&
        layout.mintLevelBits == mLayout.mintLevelBits)
        return;  // drivers repeat their layout on every page
    StartRaster();
    mLayout = layout;
    mSetGeometry(mdblXDpi, mdblYDpi);
}

// Configure raster data in format 6 (PCL 3 GUI): a count of components, each
// with its resolutions, compression, orientation, bits a pixel and planes.
// One of 24 or 32 bits in mode 10 is a plane of RGB pixels, which may follow
// planes of black of one bit each; other layouts leave no colour planes
// watched.
void RasterColourWatch::mConfigurePixelRaster()
{
    constexpr size_t HEADER = 4, COMPONENT = 8;
    const auto& data = mbytImageData;
    const uint32_t count = (uint32_t{data[2]} << 8) | data[3];
    std::array<uint8_t, mintMAX_PLANES> components{};
    std::array<int8_t, mintMAX_PLANES> compressions{};
    uint32_t planes = 0;
    bool rgb = false;
    bool known = count > 0 && HEADER + COMPONENT * count <= mintImageDataRead;
    uint32_t xDpi = 0, yDpi = 0;
    for (uint32_t component = 0; known && component < count; ++component) {
        const size_t at = HEADER + COMPONENT * component;
        const uint8_t compression = data[at + 4], bits = data[at + 6], componentPlanes = data[at + 7];
        if ((bits == 24 || bits == 32) && compression == PIXEL_DELTA && componentPlanes == 1 && !rgb &&
            planes < mintMAX_PLANES) {
            rgb = true;
            xDpi = (uint32_t{data[at]} << 8) | data[at + 1];
            yDpi = (uint32_t{data[at + 2]} << 8) | data[at + 3];
            mintRgbPlane = planes;
            compressions[planes] = PIXEL_DELTA;
            components[planes++] = 1;
        } else if (bits == 1 && compression <= REPLACEMENT_DELTA_ROW && planes + componentPlanes <= mintMAX_PLANES) {
            for (uint32_t plane = 0; plane < componentPlanes; ++plane)
                compressions[planes++] = static_cast<int8_t>(compression);
        } else {
            known = false;
        }
    }
    if (!known || !rgb)
        planes = 0;
    mOwnCompressions(std::span<const int8_t>(compressions).first(planes));
    mblnLightPlanes = false;
    mSetLayout(components, planes, planes == 0 ? 0 : 1);
    mblnRgbPixels = planes > 0;
    if (planes > 0 && xDpi > 0 && yDpi > 0)
        mSetGeometry(xDpi, yDpi);
    mdblPendingDpi = 0;
    mblnRowChanged = true;
}

// Planes that keep their own compression whatever ESC * b # M sets; none
// when empty.
void RasterColourWatch::mOwnCompressions(std::span<const int8_t> compressions)
{
    if (compressions.empty() && !mblnOwnCompressions)
        return;  // as every simple colour mode leaves them
    mintPlaneCompression.fill(-1);
    std::copy(compressions.begin(), compressions.end(), mintPlaneCompression.begin());
    mblnOwnCompressions = !compressions.empty();
}

// The compressions the watch decodes.
void RasterColourWatch::SetCompression(int32_t mode)
{
    mintCompression = mode;
    mblnReadable = Readable(mode);
}

bool RasterColourWatch::Readable(int64_t mode)
{
    return mode == UNENCODED || mode == RUN_LENGTH || mode == TIFF || mode == DELTA_ROW ||
           mode == REPLACEMENT_DELTA_ROW;
}

// Blank rows, from the first plane.
void RasterColourWatch::StartRaster()
{
    mintPlane = 0;
    if (RowsBlank())
        return;
    mintTouched = 0;
    // Only the planes of the layout are ever written.
    for (uint32_t plane = 0; plane < mLayout.mintPlanes; ++plane)
        mRows[plane].mbytBytes.clear();
    mblnRowsBlank = true;
    mblnRowChanged = true;
}

// Moves on to the next plane; a colour plane is read from its first byte.
// An empty plane is a blank row, or in the delta-row modes the row before.
uint64_t RasterColourWatch::mBeginOpenPlane(bool lastPlane, uint64_t length)
{
    const uint32_t plane = mintPlane;
    mintPlane = lastPlane ? 0 : plane + 1;
    mRow = nullptr;
    if (length > 0 && AwaitsCompression())
        NoteUnjudgedRows();
    if (!Watching())
        return 0;
    if (mdblPendingDpi > 0 && (mdblPendingDpi != mdblXDpi || mdblPendingDpi != mdblYDpi))
        mSetGeometry(mdblPendingDpi, mdblPendingDpi);
    uint64_t read = 0;
    if (plane < mLayout.mintPlanes && mLayout.mintComponent[plane] != BLACK) {
        PlaneRow& row = mRows[plane];
        mintTouched |= uint32_t{1} << plane;
        mintRowCompression = mCompressionOf(plane);
        if (mintRowCompression != DELTA_ROW && mintRowCompression != REPLACEMENT_DELTA_ROW &&
            mintRowCompression != PIXEL_DELTA) {
            if (!row.mbytBytes.empty())
                mblnRowChanged = true;
            row.mbytBytes.clear();
        }
        row.mintCursor = 0;
        if (length > 0) {
            mblnRowChanged = true;
            mRow = &row;
            mblnLastPlane = lastPlane;
            mintLeft = length;
            if (mintRowCompression == PIXEL_DELTA)
                mMode10.Start();
            mPhase = mintRowCompression == UNENCODED ? Phase::Data : Phase::Command;
            mintCount = 0;
            mblnCountByte = true;
            read = length;
        }
    }
    if (lastPlane && read == 0)
        mEndRow();
    return read;
}

// The cursor moved down: the rows it passes over, at the raster's
// resolution, are blank rows.
void RasterColourWatch::MoveDown(int32_t decipoints)
{
    if (decipoints <= 0 || !Watching())
        return;
    if (mdblPendingDpi > 0 && (mdblPendingDpi != mdblXDpi || mdblPendingDpi != mdblYDpi))
        mSetGeometry(mdblPendingDpi, mdblPendingDpi);
    StartRaster();
    BlankRows(static_cast<uint64_t>(decipoints * mdblYDpi / 720));
}

// Rows that send no plane: the first ends as any such row (its planes out of
// the delta-row modes blank), and those after it repeat it, as counted.
void RasterColourWatch::RepeatRows(uint64_t count)
{
    if (count == 0 || !Watching())
        return;
    if (RowsBlank()) {
        BlankRows(count);
        return;
    }
    mEndRow();
    if (!Watching())
        return;
    if (mblnRowsBlank) {
        BlankRows(count - 1);
        return;
    }
    const uint64_t rows = std::min<uint64_t>(count - 1, UINT32_MAX);
    mAddColourDots(mblnRgbPixels ? mintRgbRowDots * rows : mCells.RepeatRow(rows));
}

// Decodes what is at hand; the end of the last plane's data ends the row.
void RasterColourWatch::Read(std::span<const unsigned char> bytes)
{
    if (mintImageDataLeft > 0) {
        // Colour space, pixel encoding, bits per index, bits per primary.
        const size_t taken = static_cast<size_t>(std::min<uint64_t>(bytes.size(), mintImageDataLeft));
        const size_t kept = mConfiguration == Configuration::ImageData ? mintIMAGE_DATA_BYTES : mintCONFIGURATION_BYTES;
        for (size_t index = 0; index < taken && mintImageDataRead < kept; ++index)
            mbytImageData[mintImageDataRead++] = bytes[index];
        mintImageDataLeft -= taken;
        if (mintImageDataLeft == 0)
            mConfigure();
        return;
    }
    if (mRow == nullptr)
        return;
    const size_t length = static_cast<size_t>(std::min<uint64_t>(bytes.size(), mintLeft));
    for (size_t index = 0; index < length;) {
        // Literal bytes, most of the data, are copied in one go.
        const bool literal = mPhase == Phase::Literal ||
                             (mPhase == Phase::Data && (mintRowCompression == UNENCODED ||
                                                        (mintRowCompression == REPLACEMENT_DELTA_ROW && !mblnRun)));
        if (!literal) {
            mReadByte(bytes[index++]);
            continue;
        }
        const size_t count = mintRowCompression == UNENCODED
                                 ? length - index
                                 : static_cast<size_t>(std::min<uint64_t>(length - index, mintCount));
        mPutLiteral(bytes.subspan(index, count));
        index += count;
        if (mintRowCompression != UNENCODED) {
            mintCount -= count;
            if (mintCount == 0)
                mPhase = Phase::Command;
        }
    }
    mintLeft -= length;
    if (mintLeft == 0) {
        mRow = nullptr;
        if (mblnLastPlane)
            mEndRow();
    }
}

// Writes a decompressed byte at the cursor, as far as the row is kept.
void RasterColourWatch::mPut(unsigned char byte)
{
    mblnRowsBlank = false;
    std::vector<unsigned char>& bytes = mRow->mbytBytes;
    const size_t cursor = mRow->mintCursor;
    if (cursor >= mintMAX_ROW_BYTES) {
        mblnRowsCut = true;
        return;
    }
    if (cursor < bytes.size()) {
        bytes[cursor] = byte;
    } else {
        bytes.resize(cursor, 0);
        bytes.push_back(byte);
    }
    mRow->mintCursor = cursor + 1;
}

// Writes literal bytes.
void RasterColourWatch::mPutLiteral(std::span<const unsigned char> literal)
{
    mblnRowsBlank = false;
    std::vector<unsigned char>& bytes = mRow->mbytBytes;
    const size_t cursor = mRow->mintCursor;
    const size_t end = std::min(cursor + literal.size(), mintMAX_ROW_BYTES);
    mblnRowsCut = mblnRowsCut || cursor + literal.size() > mintMAX_ROW_BYTES;
    if (end > bytes.size())
        bytes.resize(end, 0);
    if (cursor < end)
        std::copy_n(literal.begin(), end - cursor, bytes.begin() + static_cast<std::ptrdiff_t>(cursor));
    mRow->mintCursor = std::min(cursor + literal.size(), mintMAX_ROW_BYTES);
}

// Writes a run of one byte.
void RasterColourWatch::mPutRun(unsigned char byte, size_t count)
{
    mblnRowsBlank = false;
    std::vector<unsigned char>& bytes = mRow->mbytBytes;
    const size_t end = std::min(mRow->mintCursor + count, mintMAX_ROW_BYTES);
    mblnRowsCut = mblnRowsCut || mRow->mintCursor + count > mintMAX_ROW_BYTES;
    if (end > bytes.size())
        bytes.resize(end, 0);
    if (mRow->mintCursor < end)
        std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(mRow->mintCursor),
                  bytes.begin() + static_cast<std::ptrdiff_t>(end), byte);
    mRow->mintCursor = std::min(mRow->mintCursor + count, mintMAX_ROW_BYTES);
}

// One of the literal bytes a command announced.
void RasterColourWatch::mLiteral(unsigned char byte)
{
    mPut(byte);
    if (--mintCount == 0)
        mPhase = Phase::Command;
}

// Moves the cursor over bytes the delta keeps from the row before.
void RasterColourWatch::mMove(size_t offset)
{
    mRow->mintCursor = std::min(mRow->mintCursor + offset, mintMAX_ROW_BYTES);
}

// One byte of compressed plane data.
void RasterColourWatch::mReadByte(unsigned char byte)
{
    switch (mintRowCompression) {
    case UNENCODED:
        mPut(byte);
        return;
    case PIXEL_DELTA:
        mblnRowsBlank = false;
        mMode10.Read(byte, mRow->mbytBytes);
        return;
    case RUN_LENGTH:
        // Pairs of a repeat count less one and the byte repeated.
        if (mblnCountByte)
            mbytRunCount = byte;
        else
            mPutRun(byte, mbytRunCount + size_t{1});
        mblnCountByte = !mblnCountByte;
        return;
    case TIFF:
        // PackBits: 0 to 127 lead n + 1 literal bytes, 129 to 255 one byte
        // repeated 257 - n times, 128 nothing.
        if (mPhase == Phase::Command) {
            mintCount = byte < 128 ? byte + 1u : 257u - byte;
            if (byte != 128)
                mPhase = byte < 128 ? Phase::Literal : Phase::Repeat;
        } else if (mPhase == Phase::Repeat) {
            mPutRun(byte, mintCount);
            mPhase = Phase::Command;
        } else {
            mLiteral(byte);
        }
        return;
    case DELTA_ROW:
        // A command of 1 to 8 replacement bytes after an offset, which 31
        // continues in bytes that add to it up to one below 255.
        if (mPhase == Phase::Command) {
            mintCount = (byte >> 5) + 1u;
            mMove(byte & 0x1Fu);
            mPhase = (byte & 0x1F) == 0x1F ? Phase::OffsetExtension : Phase::Literal;
        } else if (mPhase == Phase::OffsetExtension) {
            mMove(byte);
            if (byte != 0xFF)
                mPhase = Phase::Literal;
        } else {
            mLiteral(byte);
        }
        return;
    case REPLACEMENT_DELTA_ROW:
        // A command: a run (bit 7) with a 2-bit offset and a 5-bit count
        // less 2, or literal bytes with a 4-bit offset and a 3-bit count less
        // 1; an offset or count at its largest continues in bytes that add
        // to it up to one below 255, offset first.
        switch (mPhase) {
        case Phase::Command: {
            mblnRun = (byte & 0x80) != 0;
            const uint32_t offset = mblnRun ? (byte >> 5) & 0x03u : (byte >> 3) & 0x0Fu;
            const bool offsetExtended = offset == (mblnRun ? 0x03u : 0x0Fu);
            mMove(offset);
            mintCount = mblnRun ? (byte & 0x1Fu) + 2 : (byte & 0x07u) + 1;
            mblnCountExtended = mblnRun ? (byte & 0x1F) == 0x1F : (byte & 0x07) == 0x07;
            mPhase = offsetExtended ? Phase::OffsetExtension
                                    : (mblnCountExtended ? Phase::CountExtension : Phase::Data);
            return;
        }
        case Phase::OffsetExtension:
            mMove(byte);
            if (byte != 0xFF)
                mPhase = mblnCountExtended ? Phase::CountExtension : Phase::Data;
            return;
        case Phase::CountExtension:
            mintCount += byte;
            if (byte != 0xFF)
                mPhase = Phase::Data;
            return;
        default:
            if (mblnRun) {
                mPutRun(byte, mintCount);
                mPhase = Phase::Command;
            } else {
                mLiteral(byte);
            }
            return;
        }
    default:
        return;
    }
}

// A pixel is colour where cyan, magenta and yellow differ in any bit.
void RasterColourWatch::mEndRow()
{
    // A plane the row did not send is an empty one: blank, but in the
    // delta-row modes the row before (DeskJet drivers end a row early where
    // its last planes repeat).
    bool blank = true;
    for (uint32_t plane = 0; plane < mLayout.mintPlanes; ++plane) {
        const int32_t compression = mCompressionOf(plane);
        if ((mintTouched & (uint32_t{1} << plane)) == 0 && compression != DELTA_ROW &&
            compression != REPLACEMENT_DELTA_ROW && compression != PIXEL_DELTA && !mRows[plane].mbytBytes.empty()) {
            mRows[plane].mbytBytes.clear();
            mblnRowChanged = true;
        }
        blank = blank && mRows[plane].mbytBytes.empty();
    }
    mintTouched = 0;
    mblnRowsBlank = blank;
    if (blank) {
        mblnRowChanged = false;
        mintRgbRowDots = 0;
        BlankRows(1);
        return;
    }
    // A row that repeats the one before (delta rows sent empty) counts as it.
    if (!mblnRowChanged && !mblnRgbPixels) {
        mAddColourDots(mCells.RepeatRow());
        return;
    }
    mblnRowChanged = false;
    if (mblnRgbPixels) {
        const std::vector<unsigned char>& pixels = mRows[mintRgbPlane].mbytBytes;
        uint64_t dots = 0;
        for (size_t index = 0; index + 2 < pixels.size(); index += 3)
            dots += ColourRule::IsNeutral(pixels[index], pixels[index + 1], pixels[index + 2]) ? 0 : 1;
        mintRgbRowDots = dots;
        mAddColourDots(dots);
        return;
    }
    // The planes of cyan, bit by bit, each with the planes of the same bit
    // of magenta and yellow, weighed by the bit's place in a dot's level.
    mAddColourDots(mCells.BeginRow());
    const uint32_t levelBits = std::max<uint32_t>(mLayout.mintLevelBits, 1);
    for (uint32_t triple = 0; triple < mLayout.mintTriples; ++triple) {
        std::array<std::span<const uint8_t>, 3> planes{};
        for (size_t component = 0; component < 3; ++component) {
            const uint8_t plane = mLayout.mintTriple[triple][component];
            if (plane < mintMAX_PLANES)
                planes[component] = mRows[plane].mbytBytes;
        }
        mCells.AddBits(planes[0], planes[1], planes[2], uint32_t{1} << std::min<uint32_t>(triple % levelBits, 16),
                       mblnLightPlanes);
    }
    mAddColourDots(mCells.EndRow());
}

bool RasterColourWatch::PageHasColour()
{
    if (mblnColour || mblnRowsCut)
        return true;
    ColourArea area = mArea;
    area.AddDots(mCells.OpenCellsColour());
    return area.Reached();
}

}  // namespace RawPrintData::PCL5
