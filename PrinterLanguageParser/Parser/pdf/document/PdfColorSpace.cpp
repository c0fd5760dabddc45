#include "PrinterLanguageParser/Parser/pdf/document/PdfColorSpace.h"

#include "PrinterLanguageParser/Parser/ColourRule.h"
#include "PrinterLanguageParser/Parser/pdf/document/StreamLimit.h"

#include <qpdf/Buffer.hh>

#include <algorithm>
#include <memory>
#include <string>

namespace RawPrintData::Pdf {

namespace {

using Kind = PdfColorSpace::Kind;

constexpr int MAX_SPACE_DEPTH = 8;
constexpr size_t MAX_INDEXED_ENTRIES = 4096;

double Component(const std::vector<double>& components, size_t index)
{
    return index < components.size() ? components[index] : 0.0;
}

// Whether three components of 0 to 1 make a neutral colour by the colour
// rule's tolerance.
bool IsNeutral(double a, double b, double c)
{
    const double high = std::max({a, b, c});
    const double low = std::min({a, b, c});
    return (high - low) * 255.0 <= ColourRule::NEUTRAL_TOLERANCE + 1e-9;
}

// CMYK is neutral when the red, green and blue the inks give are (black ink
// over a neutral colour keeps it neutral).
bool IsGreyCmyk(double cyan, double magenta, double yellow, double black)
{
    const auto channel = [black](double ink) { return 1.0 - std::min(1.0, ink + black); };
    return IsNeutral(channel(cyan), channel(magenta), channel(yellow));
}

// Whether a colourant name prints black (or nothing).
bool IsBlackColorant(const std::string& name)
{
    return name == "/Black" || name == "/None" || name == "/All" || name == "/Gray" || name == "/Grey";
}

// The components of a base space as bytes of an Indexed table.
size_t ComponentCount(const PdfColorSpace& base)
{
    switch (base.mKind) {
    case Kind::Rgb:
    case Kind::Lab:
        return 3;
    case Kind::Cmyk:
        return 4;
    case Kind::Tints:
        return std::max<size_t>(1, base.mvecColorColorants.size());
    default:
        return 1;
    }
}

// An Indexed space's table: which entries are colour in the base space.
PdfColorSpace ReadIndexed(QPDFObjectHandle space, QPDFObjectHandle resources, int depth)
{
    const PdfColorSpace base = ReadColorSpace(space.getArrayItem(1), resources, depth + 1);
    PdfColorSpace indexed;
    indexed.mKind = Kind::Indexed;
    if (base.mKind == Kind::Grey)
        return base;
    QPDFObjectHandle table = space.getArrayItem(3);
    std::string bytes;
    if (table.isString())
        bytes = table.getStringValue();
    else if (table.isStream() && StreamFitsLimit(table, MAX_INDEXED_ENTRIES * 32)) {
        const std::shared_ptr<Buffer> data = table.getStreamData(qpdf_dl_generalized);
        bytes.assign(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
    }
    const size_t count = ComponentCount(base);
    const long long high = space.getArrayItem(2).isInteger() ? space.getArrayItem(2).getIntValue() : 0;
    const size_t entries = static_cast<size_t>(std::clamp<long long>(high + 1, 1, MAX_INDEXED_ENTRIES));
    for (size_t entry = 0; entry < entries; ++entry) {
        std::vector<double> components(count, 0.0);
        for (size_t index = 0; index < count; ++index) {
            const size_t at = entry * count + index;
            components[index] = at < bytes.size() ? static_cast<unsigned char>(bytes[at]) / 255.0 : 0.0;
        }
        if (base.mKind == Kind::Lab) {
            // a and b are stored over their range; 128 is their 0.
            components[1] = components[1] * 255.0 - 128.0;
            components[2] = components[2] * 255.0 - 128.0;
        }
        indexed.mvecColorEntries.push_back(base.IsColor(components));
    }
    return indexed;
}

// A Separation or DeviceN space: its colourant names.
PdfColorSpace ReadTints(QPDFObjectHandle space, bool separation)
{
    PdfColorSpace tints;
    tints.mKind = Kind::Tints;
    QPDFObjectHandle names = space.getArrayItem(1);
    if (separation) {
        tints.mvecColorColorants.push_back(!(names.isName() && IsBlackColorant(names.getName())));
    } else if (names.isArray()) {
        for (int index = 0; index < names.getArrayNItems(); ++index) {
            QPDFObjectHandle name = names.getArrayItem(index);
            tints.mvecColorColorants.push_back(!(name.isName() && IsBlackColorant(name.getName())));
        }
    }
    if (std::none_of(tints.mvecColorColorants.begin(), tints.mvecColorColorants.end(), [](bool c) { return c; }))
        tints.mKind = Kind::Grey;
    return tints;
}

// An ICC profile's space, from its number of components.
PdfColorSpace ReadIccBased(QPDFObjectHandle space)
{
    PdfColorSpace result;
    QPDFObjectHandle profile = space.getArrayItem(1);
    const long long components =
        profile.isStream() && profile.getDict().getKey("/N").isInteger() ? profile.getDict().getKey("/N").getIntValue() : 0;
    result.mKind = components == 1 ? Kind::Grey : components == 3 ? Kind::Rgb : components == 4 ? Kind::Cmyk : Kind::Color;
    return result;
}

}  // namespace

bool PdfColorSpace::IsColor(const std::vector<double>& components) const
{
    switch (mKind) {
    case Kind::Grey:
    case Kind::Pattern:
        return false;
    case Kind::Rgb:
        return !IsNeutral(Component(components, 0), Component(components, 1), Component(components, 2));
    case Kind::Cmyk:
        return !IsGreyCmyk(Component(components, 0), Component(components, 1), Component(components, 2),
                           Component(components, 3));
    case Kind::Lab:
        return Component(components, 1) != 0.0 || Component(components, 2) != 0.0;
    case Kind::Indexed: {
        const double index = Component(components, 0);
        if (!(index >= 0) || mvecColorEntries.empty())
            return false;
        const size_t entry = std::min(static_cast<size_t>(index), mvecColorEntries.size() - 1);
        return mvecColorEntries[entry];
    }
    case Kind::Tints:
        for (size_t index = 0; index < mvecColorColorants.size(); ++index) {
            if (mvecColorColorants[index] && Component(components, index) > 0.0)
                return true;
        }
        return false;
    case Kind::Color:
        return true;
    }
    return true;
}

bool PdfColorSpace::InitialIsColor() const
{
    if (mKind == Kind::Tints) {
        const std::vector<double> full(mvecColorColorants.size(), 1.0);
        return IsColor(full);
    }
    return mKind == Kind::Color || (mKind == Kind::Indexed && IsColor(std::vector<double>{0.0}));
}

bool PdfColorSpace::ImageMayBeColor() const
{
    switch (mKind) {
    case Kind::Grey:
        return false;
    case Kind::Indexed:
        return std::find(mvecColorEntries.begin(), mvecColorEntries.end(), true) != mvecColorEntries.end();
    default:
        return true;
    }
}

PdfColorSpace ReadColorSpace(QPDFObjectHandle space, QPDFObjectHandle resources, int depth)
{
    PdfColorSpace result;
    result.mKind = Kind::Color;
    if (depth > MAX_SPACE_DEPTH)
        return result;
    if (space.isName()) {
        const std::string name = space.getName();
        if (name == "/DeviceGray" || name == "/G" || name == "/CalGray")
            result.mKind = Kind::Grey;
        else if (name == "/DeviceRGB" || name == "/RGB" || name == "/CalRGB")
            result.mKind = Kind::Rgb;
        else if (name == "/DeviceCMYK" || name == "/CMYK")
            result.mKind = Kind::Cmyk;
        else if (name == "/Pattern")
            result.mKind = Kind::Pattern;
        else if (resources.isDictionary()) {
            QPDFObjectHandle named = resources.getKey("/ColorSpace");
            if (named.isDictionary() && named.hasKey(name))
                return ReadColorSpace(named.getKey(name), QPDFObjectHandle::newNull(), depth + 1);
        }
        return result;
    }
    if (!space.isArray() || space.getArrayNItems() == 0 || !space.getArrayItem(0).isName())
        return result;
    const std::string family = space.getArrayItem(0).getName();
    if (family == "/CalGray")
        result.mKind = Kind::Grey;
    else if (family == "/CalRGB")
        result.mKind = Kind::Rgb;
    else if (family == "/Lab")
        result.mKind = Kind::Lab;
    else if (family == "/ICCBased")
        return ReadIccBased(space);
    else if (family == "/Indexed" || family == "/I")
        return ReadIndexed(space, resources, depth);
    else if (family == "/Separation")
        return ReadTints(space, true);
    else if (family == "/DeviceN")
        return ReadTints(space, false);
    else if (family == "/Pattern") {
        result.mKind = Kind::Pattern;
        // An uncoloured pattern's colours are of the space given with it.
        if (space.getArrayNItems() > 1)
            result.mvecPatternBase.push_back(ReadColorSpace(space.getArrayItem(1), resources, depth + 1));
    } else if (space.getArrayNItems() == 1)
        return ReadColorSpace(space.getArrayItem(0), resources, depth + 1);
    return result;
}

}  // namespace RawPrintData::Pdf
