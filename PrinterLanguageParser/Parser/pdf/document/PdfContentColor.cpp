#include "PrinterLanguageParser/Parser/pdf/document/PdfContentColor.h"

#include "PrinterLanguageParser/Parser/pdf/document/StreamLimit.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

namespace RawPrintData::Pdf {

namespace {

constexpr int MAX_NESTING = 12;
constexpr size_t MAX_OPERANDS = 256;  // an inline image's dictionary included
constexpr size_t MAX_STATE_DEPTH = 256;

// A resource of a kind (/XObject, /Pattern, /Shading) by name, or null.
QPDFObjectHandle Resource(QPDFObjectHandle resources, const char* kind, const std::string& name)
{
    if (!resources.isDictionary())
        return QPDFObjectHandle::newNull();
    QPDFObjectHandle group = resources.getKey(kind);
    return group.isDictionary() ? group.getKey(name) : QPDFObjectHandle::newNull();
}

// Looks at an image's decoded samples as they stream past, pixel by pixel,
// for one that is not grey; holds one pixel.
class GreyTestPipeline final : public Pipeline {
public:
    GreyTestPipeline(const PdfColorSpace& space, size_t components, unsigned bytesPerComponent)
        : Pipeline("image colour test", nullptr), mSpace(space), mintBytesPerComponent(bytesPerComponent),
          mvecPixel(components * bytesPerComponent), mvecValues(components)
    {
    }

    void write(unsigned char const* data, size_t length) override
    {
        for (size_t index = 0; index < length && !mblnColor; ++index) {
            mvecPixel[mintFilled++] = data[index];
            if (mintFilled == mvecPixel.size())
                mTestPixel();
        }
    }
    void finish() override {}

    bool FoundColor() const { return mblnColor; }

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
        mblnColor = mSpace.IsColor(mvecValues);
    }

    const PdfColorSpace& mSpace;
    unsigned mintBytesPerComponent;
    std::vector<unsigned char> mvecPixel;
    std::vector<double> mvecValues;
    size_t mintFilled = 0;
    bool mblnColor = false;
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

// Whether an image paints a pixel that is not grey. Samples of 8 and 16 bits
// are decoded and tested (a PCLm page and many an RGB photo are grey); an
// image whose samples cannot be decoded counts as colour when its space may
// be colour.
bool ImageIsColor(QPDFObjectHandle image, const PdfColorSpace& space)
{
    if (!space.ImageMayBeColor())
        return false;
    QPDFObjectHandle bits = image.getDict().getKey("/BitsPerComponent");
    const long long bitsPerComponent = bits.isInteger() ? bits.getIntValue() : 0;
    const size_t components = ImageComponents(space);
    if ((bitsPerComponent != 8 && bitsPerComponent != 16) || components == 0)
        return true;
    GreyTestPipeline test(space, components, static_cast<unsigned>(bitsPerComponent / 8));
    bool filtered = false;
    if (!image.pipeStreamData(&test, &filtered, 0, qpdf_dl_all, true) || !filtered)
        return true;
    return test.FoundColor();
}

}  // namespace

bool PdfContentColor::PageIsColor(QPDFObjectHandle page)
{
    std::set<QPDFObjGen> seen;
    QPDFPageObjectHelper helper(page);
    PdfContentColor scanner(helper.getAttribute("/Resources", false), GraphicsState{}, 0, seen);
    RequirePageContentWithinLimit(page);
    helper.parseContents(&scanner);
    return scanner.mblnColor;
}

PdfContentColor::PdfContentColor(QPDFObjectHandle resources, const GraphicsState& state, int depth,
                                 std::set<QPDFObjGen>& seen)
    : mResources(resources), mvecStates{state}, mintDepth(depth), mSeen(seen)
{
}

void PdfContentColor::handleObject(QPDFObjectHandle object)
{
    if (mblnColor)
        return;
    if (object.isOperator()) {
        mOperator(object.getOperatorValue());
        mvecOperands.clear();
        return;
    }
    if (object.isInlineImage())
        return;
    if (mvecOperands.size() < MAX_OPERANDS)
        mvecOperands.push_back(object);
}

void PdfContentColor::mOperator(const std::string& name)
{
    GraphicsState& state = mvecStates.back();
    if (name == "q") {
        if (mvecStates.size() < MAX_STATE_DEPTH)
            mvecStates.push_back(state);
    } else if (name == "Q") {
        if (mvecStates.size() > 1)
            mvecStates.pop_back();
    } else if (name == "g" || name == "G") {
        const bool stroke = name == "G";
        (stroke ? state.mStrokeSpace : state.mFillSpace) = PdfColorSpace{};
        (stroke ? state.mblnStrokeColor : state.mblnFillColor) = false;
    } else if (name == "rg" || name == "RG" || name == "k" || name == "K") {
        const bool stroke = name == "RG" || name == "K";
        PdfColorSpace space;
        space.mKind = name == "rg" || name == "RG" ? PdfColorSpace::Kind::Rgb : PdfColorSpace::Kind::Cmyk;
        (stroke ? state.mStrokeSpace : state.mFillSpace) = space;
        mSetColor(stroke);
    } else if (name == "cs" || name == "CS") {
        const bool stroke = name == "CS";
        if (mvecOperands.empty())
            return;
        PdfColorSpace space = ReadColorSpace(mvecOperands.back(), mResources);
        (stroke ? state.mblnStrokeColor : state.mblnFillColor) = space.InitialIsColor();
        (stroke ? state.mStrokeSpace : state.mFillSpace) = std::move(space);
    } else if (name == "sc" || name == "scn" || name == "SC" || name == "SCN") {
        const bool stroke = name[0] == 'S';
        if (!mvecOperands.empty() && mvecOperands.back().isName())
            (stroke ? state.mblnStrokeColor : state.mblnFillColor) = mPatternIsColor(mvecOperands.back().getName());
        else
            mSetColor(stroke);
    } else if (name == "Tr") {
        if (!mvecOperands.empty() && mvecOperands.back().isInteger())
            state.mintTextMode = mvecOperands.back().getIntValue();
    } else if (name == "f" || name == "F" || name == "f*") {
        mPaint(true, false);
    } else if (name == "S" || name == "s") {
        mPaint(false, true);
    } else if (name == "B" || name == "B*" || name == "b" || name == "b*") {
        mPaint(true, true);
    } else if (name == "Tj" || name == "TJ" || name == "'" || name == "\"") {
        const long long mode = state.mintTextMode % 4;
        mPaint(mode == 0 || mode == 2, mode == 1 || mode == 2);
    } else if (name == "sh") {
        if (!mvecOperands.empty() && mvecOperands.back().isName() &&
            mShadingIsColor(Resource(mResources, "/Shading", mvecOperands.back().getName())))
            mFound();
    } else if (name == "Do") {
        if (!mvecOperands.empty() && mvecOperands.back().isName() && mXObjectIsColor(mvecOperands.back().getName()))
            mFound();
    } else if (name == "BI") {
        mblnInInlineImage = true;
    } else if (name == "ID") {
        mblnInInlineImage = false;
        if (mInlineImageIsColor())
            mFound();
    }
}

// sc, rg, k and the like: the current space's test of the operands.
void PdfContentColor::mSetColor(bool stroke)
{
    GraphicsState& state = mvecStates.back();
    const std::vector<double> numbers = mNumbers();
    (stroke ? state.mblnStrokeColor : state.mblnFillColor) =
        (stroke ? state.mStrokeSpace : state.mFillSpace).IsColor(numbers);
}

void PdfContentColor::mPaint(bool fill, bool stroke)
{
    const GraphicsState& state = mvecStates.back();
    if ((fill && state.mblnFillColor) || (stroke && state.mblnStrokeColor))
        mFound();
}

void PdfContentColor::mFound()
{
    mblnColor = true;
    terminateParsing();
}

// An image is colour when its space may be; a stencil mask paints the fill
// colour; a form is followed into.
bool PdfContentColor::mXObjectIsColor(const std::string& name)
{
    QPDFObjectHandle xobject = Resource(mResources, "/XObject", name);
    if (!xobject.isStream())
        return false;
    QPDFObjectHandle dict = xobject.getDict();
    const std::string subtype = dict.getKey("/Subtype").isName() ? dict.getKey("/Subtype").getName() : "";
    if (subtype == "/Image") {
        if (dict.getKey("/ImageMask").isBool() && dict.getKey("/ImageMask").getBoolValue())
            return mvecStates.back().mblnFillColor;
        QPDFObjectHandle space = dict.getKey("/ColorSpace");
        if (space.isNull())
            return true;  // JPX images carry their space inside
        return ImageIsColor(xobject, ReadColorSpace(space, mResources));
    }
    if (subtype == "/Form")
        return mNestedIsColor(xobject);
    return false;
}

bool PdfContentColor::mPatternIsColor(const std::string& name)
{
    QPDFObjectHandle pattern = Resource(mResources, "/Pattern", name);
    QPDFObjectHandle dict = pattern.isStream() ? pattern.getDict() : pattern;
    if (!dict.isDictionary())
        return false;
    if (dict.getKey("/PatternType").isInteger() && dict.getKey("/PatternType").getIntValue() == 2)
        return mShadingIsColor(dict.getKey("/Shading"));
    // A tiling pattern paints its own colours (paint type 1); one without
    // colours of its own (type 2) takes the components given with it.
    if (dict.getKey("/PaintType").isInteger() && dict.getKey("/PaintType").getIntValue() == 2)
        return false;
    return pattern.isStream() && mNestedIsColor(pattern);
}

bool PdfContentColor::mShadingIsColor(QPDFObjectHandle shading)
{
    QPDFObjectHandle dict = shading.isStream() ? shading.getDict() : shading;
    if (!dict.isDictionary())
        return false;
    return ReadColorSpace(dict.getKey("/ColorSpace"), mResources).ImageMayBeColor();
}

// The inline image's dictionary entries are the operands of ID.
bool PdfContentColor::mInlineImageIsColor()
{
    QPDFObjectHandle space = QPDFObjectHandle::newName("/DeviceGray");
    bool mask = false;
    for (size_t index = 0; index + 1 < mvecOperands.size(); index += 2) {
        if (!mvecOperands[index].isName())
            continue;
        const std::string key = mvecOperands[index].getName();
        if (key == "/CS" || key == "/ColorSpace")
            space = mvecOperands[index + 1];
        else if ((key == "/IM" || key == "/ImageMask") && mvecOperands[index + 1].isBool())
            mask = mvecOperands[index + 1].getBoolValue();
    }
    if (mask)
        return mvecStates.back().mblnFillColor;
    return ReadColorSpace(space, mResources).ImageMayBeColor();
}

// A form or tiling pattern, each looked at once per page, with its own
// resources (or the ones it is drawn with).
bool PdfContentColor::mNestedIsColor(QPDFObjectHandle stream)
{
    if (mintDepth >= MAX_NESTING || !mSeen.insert(stream.getObjGen()).second || !StreamFitsLimit(stream))
        return false;
    QPDFObjectHandle resources = stream.getDict().getKey("/Resources");
    PdfContentColor nested(resources.isDictionary() ? resources : mResources, mvecStates.back(), mintDepth + 1, mSeen);
    stream.parseAsContents(&nested);
    return nested.mblnColor;
}

std::vector<double> PdfContentColor::mNumbers() const
{
    std::vector<double> numbers;
    for (QPDFObjectHandle operand : mvecOperands) {
        if (operand.isNumber())
            numbers.push_back(operand.getNumericValue());
    }
    return numbers;
}

}  // namespace RawPrintData::Pdf
