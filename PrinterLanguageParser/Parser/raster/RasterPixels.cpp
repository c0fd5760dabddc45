#include "PrinterLanguageParser/Parser/raster/RasterPixels.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"

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

// Cyan, magenta, yellow and black as the red, green and blue they give,
// judged on the rule's scale of 0 to 255.
bool IsNeutralCmyk(uint32_t cyan, uint32_t magenta, uint32_t yellow, uint32_t black, uint32_t full, unsigned shift)
{
    const auto channel = [full, black, shift](uint32_t ink) {
        return static_cast<int>((full - std::min(full, ink + black)) >> shift);
    };
    return ColourRule::IsNeutral(channel(cyan), channel(magenta), channel(yellow));
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

uint64_t NonNeutralDots(const cups_page_header2_t& header, std::span<const unsigned char> line)
{
    const Channels channels = ChannelsOf(HeaderNumber(header.cupsColorSpace));
    const unsigned bytesPerSample = header.cupsBitsPerColor / 8;
    const unsigned bytesPerPixel = header.cupsBitsPerPixel / 8;
    const uint32_t full = bytesPerSample == 1 ? 0xFF : 0xFFFF;
    const unsigned shift = bytesPerSample == 1 ? 0 : 8;
    if (bytesPerPixel == 0 || bytesPerSample == 0)
        return 0;
    uint64_t dots = 0;
    for (size_t offset = 0; offset + bytesPerPixel <= line.size(); offset += bytesPerPixel) {
        const unsigned char* pixel = line.data() + offset;
        const uint32_t a = Sample(pixel, 0, bytesPerSample);
        const uint32_t b = Sample(pixel, 1, bytesPerSample);
        const uint32_t c = Sample(pixel, 2, bytesPerSample);
        bool neutral = true;
        switch (channels) {
        case Channels::Rgb:
        case Channels::Cmy:
            neutral = ColourRule::IsNeutral(static_cast<int>(a >> shift), static_cast<int>(b >> shift),
                                            static_cast<int>(c >> shift));
            break;
        case Channels::Cmyk:
            neutral = IsNeutralCmyk(a, b, c, Sample(pixel, 3, bytesPerSample), full, shift);
            break;
        case Channels::Kcmy:
            neutral = IsNeutralCmyk(b, c, Sample(pixel, 3, bytesPerSample), a, full, shift);
            break;
        default:
            neutral = false;
            break;
        }
        dots += neutral ? 0 : 1;
    }
    return dots;
}

}  // namespace RawPrintData::Raster
