#include "PrinterLanguageParser/Parser/pdf/document/PdfShading.h"

#include "PrinterLanguageParser/Parser/pdf/document/PdfColorSpace.h"
#include "PrinterLanguageParser/Parser/pdf/document/StreamLimit.h"

#include <qpdf/Buffer.hh>

#include <cmath>
#include <memory>
#include <vector>

namespace RawPrintData::Pdf {

namespace {

constexpr int MAX_FUNCTION_DEPTH = 8;
constexpr size_t MAX_SAMPLE_BYTES = 1024 * 1024;

std::vector<double> Numbers(QPDFObjectHandle array, std::vector<double> fallback)
{
    if (!array.isArray())
        return fallback;
    std::vector<double> numbers;
    for (int index = 0; index < array.getArrayNItems(); ++index) {
        QPDFObjectHandle item = array.getArrayItem(index);
        numbers.push_back(item.isNumber() ? item.getNumericValue() : 0.0);
    }
    return numbers;
}

QPDFObjectHandle DictOf(QPDFObjectHandle function)
{
    return function.isStream() ? function.getDict() : function;
}

long long FunctionType(QPDFObjectHandle function)
{
    QPDFObjectHandle type = DictOf(function).getKey("/FunctionType");
    return type.isInteger() ? type.getIntValue() : -1;
}

// The outputs of an exponential function at the two ends of its domain:
// every output lies between them, since each is C0 + s (C1 - C0) for an s
// of 0 to 1 that grows with the input.
bool ExponentialEnds(QPDFObjectHandle function, std::vector<double>& low, std::vector<double>& high)
{
    QPDFObjectHandle dict = DictOf(function);
    const std::vector<double> c0 = Numbers(dict.getKey("/C0"), {0.0});
    const std::vector<double> c1 = Numbers(dict.getKey("/C1"), {1.0});
    const std::vector<double> domain = Numbers(dict.getKey("/Domain"), {0.0, 1.0});
    QPDFObjectHandle exponent = dict.getKey("/N");
    if (c0.size() != c1.size() || domain.size() < 2 || !exponent.isNumber())
        return false;
    const double n = exponent.getNumericValue();
    const auto at = [&](double t, std::vector<double>& out) {
        const double s = std::pow(std::max(t, 0.0), n);
        if (!std::isfinite(s))
            return false;
        out.clear();
        for (size_t index = 0; index < c0.size(); ++index)
            out.push_back(c0[index] + s * (c1[index] - c0[index]));
        return true;
    };
    return at(domain[0], low) && at(domain[1], high);
}

// Whether every sample of a sampled function is neutral; interpolation
// between neutral samples stays neutral.
bool SamplesAreNeutral(QPDFObjectHandle function, const PdfColorSpace& space, WorkBudget& budget)
{
    QPDFObjectHandle dict = function.getDict();
    const std::vector<double> range = Numbers(dict.getKey("/Range"), {});
    const std::vector<double> decode = Numbers(dict.getKey("/Decode"), range);
    QPDFObjectHandle bitsObject = dict.getKey("/BitsPerSample");
    const long long bits = bitsObject.isInteger() ? bitsObject.getIntValue() : 0;
    const size_t outputs = range.size() / 2;
    if ((bits != 8 && bits != 16) || outputs == 0 || decode.size() < outputs * 2 ||
        !StreamFitsLimit(function, MAX_SAMPLE_BYTES))
        return false;
    const std::shared_ptr<Buffer> data = function.getStreamData(qpdf_dl_generalized);
    if (!budget.SpendBytes(data->getSize()))
        return false;
    const size_t bytesPerSample = static_cast<size_t>(bits / 8);
    const double full = bits == 8 ? 255.0 : 65535.0;
    const unsigned char* bytes = data->getBuffer();
    std::vector<double> values(outputs);
    for (size_t at = 0; at + outputs * bytesPerSample <= data->getSize(); at += outputs * bytesPerSample) {
        for (size_t index = 0; index < outputs; ++index) {
            const unsigned char* sample = bytes + at + index * bytesPerSample;
            const double raw = bytesPerSample == 1 ? sample[0] : (sample[0] << 8 | sample[1]);
            values[index] = decode[2 * index] + raw / full * (decode[2 * index + 1] - decode[2 * index]);
        }
        if (space.IsColor(values))
            return false;
    }
    return true;
}

bool FunctionIsNeutral(QPDFObjectHandle function, const PdfColorSpace& space, int depth, WorkBudget& budget)
{
    if (depth > MAX_FUNCTION_DEPTH)
        return false;
    if (function.isArray()) {
        // One single-output exponential function per component, all with
        // the same exponent and domain: still a straight line of colours.
        std::vector<double> low;
        std::vector<double> high;
        QPDFObjectHandle first;
        for (int index = 0; index < function.getArrayNItems(); ++index) {
            QPDFObjectHandle part = function.getArrayItem(index);
            std::vector<double> partLow;
            std::vector<double> partHigh;
            if (FunctionType(part) != 2 || !ExponentialEnds(part, partLow, partHigh) || partLow.size() != 1)
                return false;
            if (index == 0)
                first = DictOf(part);
            else if (DictOf(part).getKey("/N").unparse() != first.getKey("/N").unparse() ||
                     DictOf(part).getKey("/Domain").unparse() != first.getKey("/Domain").unparse())
                return false;
            low.push_back(partLow[0]);
            high.push_back(partHigh[0]);
        }
        return !low.empty() && !space.IsColor(low) && !space.IsColor(high);
    }
    switch (FunctionType(function)) {
    case 0:
        return function.isStream() && SamplesAreNeutral(function, space, budget);
    case 2: {
        std::vector<double> low;
        std::vector<double> high;
        return ExponentialEnds(function, low, high) && !space.IsColor(low) && !space.IsColor(high);
    }
    case 3: {
        QPDFObjectHandle parts = DictOf(function).getKey("/Functions");
        if (!parts.isArray() || parts.getArrayNItems() == 0)
            return false;
        for (int index = 0; index < parts.getArrayNItems(); ++index) {
            if (!FunctionIsNeutral(parts.getArrayItem(index), space, depth + 1, budget))
                return false;
        }
        return true;
    }
    default:
        return false;
    }
}

}  // namespace

bool ShadingMayBeColor(QPDFObjectHandle shading, QPDFObjectHandle resources, WorkBudget& budget)
{
    QPDFObjectHandle dict = DictOf(shading);
    if (!dict.isDictionary())
        return false;
    const PdfColorSpace space = ReadColorSpace(dict.getKey("/ColorSpace"), resources);
    if (!space.ImageMayBeColor())
        return false;
    if (space.mKind != PdfColorSpace::Kind::Rgb && space.mKind != PdfColorSpace::Kind::Cmyk)
        return true;
    QPDFObjectHandle background = dict.getKey("/Background");
    if (background.isArray() && space.IsColor(Numbers(background, {})))
        return true;
    QPDFObjectHandle function = dict.getKey("/Function");
    return function.isNull() || !FunctionIsNeutral(function, space, 0, budget);
}

}  // namespace RawPrintData::Pdf
