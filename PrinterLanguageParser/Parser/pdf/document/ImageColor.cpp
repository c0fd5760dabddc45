#include "PrinterLanguageParser/Parser/pdf/document/ImageColor.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"
#include "PrinterLanguageParser/Parser/pdf/document/JpegChroma.h"

#include <qpdf/Pipeline.hh>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace RawPrintData::Pdf {

namespace {

// Thrown out of a pipe to stop qpdf decoding.
struct StopImage : std::runtime_error {
    StopImage() : std::runtime_error("image test stopped") {}
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

// Counts the pixels that are not grey in an image's decoded samples as they
// stream past, up to stopCount; holds one pixel. Each pixel is taken from
// the budget.
class GreyTestPipeline final : public Pipeline {
public:
    GreyTestPipeline(const PdfColorSpace& space, size_t components, unsigned bytesPerComponent, uint64_t stopCount,
                     WorkBudget& budget)
        : Pipeline("image colour test", nullptr), mSpace(space), mintBytesPerComponent(bytesPerComponent),
          mvecPixel(components * bytesPerComponent), mvecValues(components), mBudget(budget), mintStop(stopCount)
    {
    }

    void write(unsigned char const* data, size_t length) override
    {
        if (Reached() || !mBudget.SpendPixels(length / mvecPixel.size() + 1))
            throw StopImage();
        size_t index = 0;
        // 8-bit RGB, the common photo, by the colour rule directly.
        if (mSpace.mKind == PdfColorSpace::Kind::Rgb && mintBytesPerComponent == 1) {
            for (; mintFilled == 0 && index + 3 <= length; index += 3) {
                if (!ColourRule::IsNeutral(data[index], data[index + 1], data[index + 2]) && ++mintColor >= mintStop)
                    throw StopImage();
            }
        }
        for (; index < length; ++index) {
            mvecPixel[mintFilled++] = data[index];
            if (mintFilled == mvecPixel.size() && mTestPixel() && ++mintColor >= mintStop)
                throw StopImage();
        }
    }
    void finish() override {}

    uint64_t ColorPixels() const { return mintColor; }
    bool Reached() const { return mintColor >= mintStop; }

private:
    bool mTestPixel()
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
        return mSpace.IsColor(mvecValues);
    }

    const PdfColorSpace& mSpace;
    unsigned mintBytesPerComponent;
    std::vector<unsigned char> mvecPixel;
    std::vector<double> mvecValues;
    WorkBudget& mBudget;
    uint64_t mintStop;
    size_t mintFilled = 0;
    uint64_t mintColor = 0;
};

// Keeps a stream's bytes up to a limit.
class CapturePipeline final : public Pipeline {
public:
    CapturePipeline(size_t limit, WorkBudget& budget) : Pipeline("capture", nullptr), mintLimit(limit), mBudget(budget) {}

    void write(unsigned char const* data, size_t length) override
    {
        if (mstrData.size() + length > mintLimit) {
            mblnOver = true;
            throw StopImage();
        }
        if (!mBudget.SpendBytes(length))
            throw StopImage();
        mstrData.append(reinterpret_cast<const char*>(data), length);
    }
    void finish() override {}

    std::string mstrData;
    bool mblnOver = false;

private:
    size_t mintLimit;
    WorkBudget& mBudget;
};

// Whether the image's only filter is DCTDecode with the colour transform
// that makes its three channels YCbCr.
bool IsPlainJpeg(QPDFObjectHandle dict)
{
    QPDFObjectHandle filter = dict.getKey("/Filter");
    if (filter.isArray() && filter.getArrayNItems() == 1)
        filter = filter.getArrayItem(0);
    if (!filter.isName() || (filter.getName() != "/DCTDecode" && filter.getName() != "/DCT"))
        return false;
    QPDFObjectHandle parameters = dict.getKey("/DecodeParms");
    if (parameters.isArray() && parameters.getArrayNItems() == 1)
        parameters = parameters.getArrayItem(0);
    QPDFObjectHandle transform = parameters.isDictionary() ? parameters.getKey("/ColorTransform") : parameters;
    return !(transform.isInteger() && transform.getIntValue() == 0);
}

// Marks over the share of the unit square that the image fills.
Judgement ImageMarks(double share)
{
    Judgement judgement(ColorVerdict::Color, {});
    judgement.mMarks.Add(PdfBox{0, 0, 1, 1}, share);
    return judgement;
}

// The image's pixels, 0 when its size is not given.
uint64_t ImagePixels(QPDFObjectHandle dict)
{
    QPDFObjectHandle width = dict.getKey("/Width");
    QPDFObjectHandle height = dict.getKey("/Height");
    if (!width.isInteger() || !height.isInteger() || width.getIntValue() <= 0 || height.getIntValue() <= 0 ||
        width.getIntValue() > (1 << 24) || height.getIntValue() > (1 << 24))
        return 0;
    return static_cast<uint64_t>(width.getIntValue()) * static_cast<uint64_t>(height.getIntValue());
}

}  // namespace

Judgement JudgeImage(QPDFObjectHandle image, const PdfColorSpace& space, WorkBudget& budget, double stopShare)
{
    if (!space.ImageMayBeColor())
        return {};
    QPDFObjectHandle dict = image.getDict();
    QPDFObjectHandle bits = dict.getKey("/BitsPerComponent");
    const long long bitsPerComponent = bits.isInteger() ? bits.getIntValue() : 0;
    const size_t components = ImageComponents(space);
    if ((bitsPerComponent != 8 && bitsPerComponent != 16) || components == 0)
        return ImageMarks(1);
    if (budget.Exhausted())
        return Judgement::Unknown(budget.Describe());
    if (IsPlainJpeg(dict)) {
        CapturePipeline jpeg(MAX_JPEG_BYTES, budget);
        QPDFObjectHandle length = dict.getKey("/Length");
        if (length.isInteger() && length.getIntValue() > 0)
            jpeg.mstrData.reserve(static_cast<size_t>(std::min<long long>(length.getIntValue(), MAX_JPEG_BYTES)));
        try {
            image.pipeStreamData(&jpeg, nullptr, 0, qpdf_dl_none, true, false);
        } catch (const std::exception&) {
        }
        if (jpeg.mblnOver)
            return Judgement::Unknown("a JPEG image of more than " + std::to_string(MAX_JPEG_BYTES >> 20) + " MiB");
        if (budget.Exhausted())
            return Judgement::Unknown(budget.Describe());
        const JpegChroma chroma = JudgeJpegChroma(jpeg.mstrData, MAX_JPEG_DECODER_MEMORY);
        if (chroma == JpegChroma::Neutral && space.mKind == PdfColorSpace::Kind::Rgb)
            return {};
        if (chroma == JpegChroma::TooLarge)
            return Judgement::Unknown("a JPEG image needs more than " +
                                      std::to_string(MAX_JPEG_DECODER_MEMORY >> 20) + " MiB to decode");
    }
    // Each pixel the share of the square it fills; an image of no stated size
    // counts whole at its first colour pixel.
    const uint64_t pixels = ImagePixels(dict);
    const double pixelShare = pixels > 0 ? 1.0 / static_cast<double>(pixels) : 1.0;
    const double stopPixels = std::ceil(stopShare / pixelShare);
    const uint64_t stopCount = !(stopPixels < 1e18) ? UINT64_MAX : stopPixels < 1 ? 1 : static_cast<uint64_t>(stopPixels);
    GreyTestPipeline test(space, components, static_cast<unsigned>(bitsPerComponent / 8), stopCount, budget);
    bool filtered = false;
    bool piped = false;
    try {
        piped = image.pipeStreamData(&test, &filtered, 0, qpdf_dl_all, true, false);
    } catch (const std::exception&) {
    }
    if (test.Reached()) {
        Judgement cut = ImageMarks(std::min(1.0, static_cast<double>(test.ColorPixels()) * pixelShare));
        cut.mblnCut = true;
        cut.mdblCutAt = stopShare;
        return cut;
    }
    if (budget.Exhausted())
        return Judgement::Unknown(budget.Describe());
    if (!piped || !filtered)
        return Judgement::Unknown("an image cannot be decoded");
    if (test.ColorPixels() == 0)
        return {};
    return ImageMarks(std::min(1.0, static_cast<double>(test.ColorPixels()) * pixelShare));
}

}  // namespace RawPrintData::Pdf
