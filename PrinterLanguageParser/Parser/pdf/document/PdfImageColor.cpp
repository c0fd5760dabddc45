#include "PrinterLanguageParser/Parser/pdf/document/PdfImageColor.h"

#include <qpdf/Pipeline.hh>

#include <limits>
#include <vector>

namespace RawPrintData::Pdf {

namespace {

// Past this share of colour pixels an image counts as colour whole.
constexpr unsigned long long WHOLE_IMAGE_SHARE = 100;

// Counts an image's pixels that are not neutral as its decoded samples
// stream past; holds one pixel. Stops counting once enough are found.
class ColorCountPipeline final : public Pipeline {
public:
    ColorCountPipeline(const PdfColorSpace& space, size_t components, unsigned bytesPerComponent,
                       unsigned long long enough)
        : Pipeline("image colour count", nullptr), mSpace(space), mintBytesPerComponent(bytesPerComponent),
          mvecPixel(components * bytesPerComponent), mvecValues(components), mintEnough(enough)
    {
    }

    void write(unsigned char const* data, size_t length) override
    {
        for (size_t index = 0; index < length && mintColor < mintEnough; ++index) {
            mvecPixel[mintFilled++] = data[index];
            if (mintFilled == mvecPixel.size())
                mTestPixel();
        }
    }
    void finish() override {}

    unsigned long long ColorPixels() const { return mintColor; }

private:
    void mTestPixel()
    {
        mintFilled = 0;
        const bool indexed = mSpace.mKind == PdfColorSpace::Kind::Indexed;
        const double full = mintBytesPerComponent == 1 ? 255.0 : 65535.0;
        for (size_t component = 0; component < mvecValues.size(); ++component) {
            const unsigned char* sample = mvecPixel.data() + component * mintBytesPerComponent;
            const double value = mintBytesPerComponent == 1 ? sample[0] : (sample[0] << 8 | sample[1]);
            mvecValues[component] = indexed ? value : value / full;
        }
        if (mSpace.mKind == PdfColorSpace::Kind::Lab) {
            // Lab's a and b run from -128 to 127 over the sample range by default.
            mvecValues[1] = mvecValues[1] * 255.0 - 128.0;
            mvecValues[2] = mvecValues[2] * 255.0 - 128.0;
        }
        if (mSpace.IsColor(mvecValues))
            ++mintColor;
    }

    const PdfColorSpace& mSpace;
    unsigned mintBytesPerComponent;
    std::vector<unsigned char> mvecPixel;
    std::vector<double> mvecValues;
    size_t mintFilled = 0;
    unsigned long long mintEnough;
    unsigned long long mintColor = 0;
};

// The number of components of a pixel in a space, 0 when unknown.
size_t ImageComponents(const PdfColorSpace& space)
{
    switch (space.mKind) {
    case PdfColorSpace::Kind::Rgb:
    case PdfColorSpace::Kind::Lab:
        return 3;
    case PdfColorSpace::Kind::Cmyk:
        return 4;
    case PdfColorSpace::Kind::Indexed:
        return 1;
    case PdfColorSpace::Kind::Tints:
        return space.mvecColorColorants.size();
    default:
        return 0;
    }
}

long long Dimension(QPDFObjectHandle dict, const char* key)
{
    QPDFObjectHandle value = dict.getKey(key);
    return value.isInteger() && value.getIntValue() > 0 ? value.getIntValue() : 0;
}

}  // namespace

double ImageColorFraction(QPDFObjectHandle image, const PdfColorSpace& space)
{
    if (!space.ImageMayBeColor())
        return 0.0;
    QPDFObjectHandle dict = image.getDict();
    const long long bitsPerComponent = Dimension(dict, "/BitsPerComponent");
    const size_t components = ImageComponents(space);
    if ((bitsPerComponent != 8 && bitsPerComponent != 16) || components == 0)
        return 1.0;
    const long long width = Dimension(dict, "/Width");
    const long long height = Dimension(dict, "/Height");
    const bool sized = width > 0 && height > 0 && width <= std::numeric_limits<long long>::max() / height;
    const unsigned long long pixels = sized ? static_cast<unsigned long long>(width * height) : 0;
    const unsigned long long enough = sized ? pixels / WHOLE_IMAGE_SHARE + 1 : 1;
    ColorCountPipeline count(space, components, static_cast<unsigned>(bitsPerComponent / 8), enough);
    bool filtered = false;
    if (!image.pipeStreamData(&count, &filtered, 0, qpdf_dl_all, true) || !filtered)
        return 1.0;
    if (count.ColorPixels() >= enough || !sized)
        return count.ColorPixels() > 0 ? 1.0 : 0.0;
    return static_cast<double>(count.ColorPixels()) / static_cast<double>(pixels);
}

}  // namespace RawPrintData::Pdf
