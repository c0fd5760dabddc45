#include "PrinterLanguageParser/Parser/raster/RasterPixels.h"

#include <algorithm>
#include <cstdint>

namespace RawPrintData::Raster {

namespace {

// The colourants a colour space's pixels are made of, for the grey test.
enum class Channels { Grey, Rgb, Cmy, Cmyk, Kcmy, Unknown };

Channels ChannelsOf(uint32_t space)
{
    switch (space) {
    case CUPS_CSPACE_W:
    case CUPS_CSPACE_K:
    case CUPS_CSPACE_SW:
    case CUPS_CSPACE_WHITE:
    case CUPS_CSPACE_GOLD:
    case CUPS_CSPACE_SILVER:
    case CUPS_CSPACE_ICC1:
    case CUPS_CSPACE_DEVICE1:
        return Channels::Grey;
    case CUPS_CSPACE_RGB:
    case CUPS_CSPACE_RGBA:
    case CUPS_CSPACE_RGBW:
    case CUPS_CSPACE_SRGB:
    case CUPS_CSPACE_ADOBERGB:
        return Channels::Rgb;
    case CUPS_CSPACE_CMY:
    case CUPS_CSPACE_YMC:
        return Channels::Cmy;
    case CUPS_CSPACE_CMYK:
    case CUPS_CSPACE_YMCK:
        return Channels::Cmyk;
    case CUPS_CSPACE_KCMY:
        return Channels::Kcmy;
    default:
        return Channels::Unknown;
    }
}

// The number of colourants of a pixel, extra channels (alpha, white) included.
unsigned ChannelCount(uint32_t space)
{
    switch (space) {
    case CUPS_CSPACE_RGBA:
    case CUPS_CSPACE_RGBW:
    case CUPS_CSPACE_CMYK:
    case CUPS_CSPACE_YMCK:
    case CUPS_CSPACE_KCMY:
        return 4;
    default:
        return 3;
    }
}

// One sample of 8 or 16 bits (big-endian, as the raster formats store them).
uint32_t Sample(const unsigned char* pixel, unsigned index, unsigned bytesPerSample)
{
    if (bytesPerSample == 1)
        return pixel[index];
    return static_cast<uint32_t>(pixel[2 * index]) << 8 | pixel[2 * index + 1];
}

// Cyan, magenta, yellow and black that print a grey, by the test the
// PostScript strategies use: the red, green and blue they give are equal.
bool IsGreyCmyk(uint32_t cyan, uint32_t magenta, uint32_t yellow, uint32_t black, uint32_t full)
{
    const auto channel = [full, black](uint32_t ink) { return full - std::min(full, ink + black); };
    return channel(cyan) == channel(magenta) && channel(magenta) == channel(yellow);
}

}  // namespace

RasterColorTest ColorTestFor(const cups_page_header2_t& header)
{
    const uint32_t space = HeaderNumber(header.cupsColorSpace);
    const Channels channels = ChannelsOf(space);
    if (channels == Channels::Grey)
        return RasterColorTest::Mono;
    const bool wholeSamples = header.cupsBitsPerColor == 8 || header.cupsBitsPerColor == 16;
    if (channels == Channels::Unknown || !wholeSamples || HeaderNumber(header.cupsColorOrder) != CUPS_ORDER_CHUNKED ||
        header.cupsBitsPerPixel != header.cupsBitsPerColor * ChannelCount(space))
        return RasterColorTest::Color;
    return RasterColorTest::Pixels;
}

bool IsGreyLine(const cups_page_header2_t& header, std::span<const unsigned char> line)
{
    const Channels channels = ChannelsOf(HeaderNumber(header.cupsColorSpace));
    const unsigned bytesPerSample = header.cupsBitsPerColor / 8;
    const unsigned bytesPerPixel = header.cupsBitsPerPixel / 8;
    const uint32_t full = bytesPerSample == 1 ? 0xFF : 0xFFFF;
    if (bytesPerPixel == 0)
        return false;
    for (size_t offset = 0; offset + bytesPerPixel <= line.size(); offset += bytesPerPixel) {
        const unsigned char* pixel = line.data() + offset;
        const uint32_t a = Sample(pixel, 0, bytesPerSample);
        const uint32_t b = Sample(pixel, 1, bytesPerSample);
        const uint32_t c = Sample(pixel, 2, bytesPerSample);
        bool grey = false;
        switch (channels) {
        case Channels::Rgb:
        case Channels::Cmy:
            grey = a == b && b == c;
            break;
        case Channels::Cmyk:
            grey = IsGreyCmyk(a, b, c, Sample(pixel, 3, bytesPerSample), full);
            break;
        case Channels::Kcmy:
            grey = IsGreyCmyk(b, c, Sample(pixel, 3, bytesPerSample), a, full);
            break;
        default:
            return false;
        }
        if (!grey)
            return false;
    }
    return true;
}

}  // namespace RawPrintData::Raster
