#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include <vector>

namespace RawPrintData::Pdf {

// What a PDF colour space tells about the colours painted in it.
struct PdfColorSpace {
    enum class Kind {
        Grey,     // every colour is grey (DeviceGray, CalGray, one-component ICC, black separations)
        Rgb,      // grey when the three components are within the colour rule's tolerance
        Cmyk,     // grey when cyan, magenta and yellow give equal red, green and blue
        Lab,      // grey when a and b are 0
        Indexed,  // grey when the entry the index picks is grey
        Tints,    // Separation or DeviceN: grey when only black colourants have a tint
        Pattern,  // the pattern's own painting decides
        Color,    // a colour space whose colours cannot be told grey
    };
    Kind mKind = Kind::Grey;
    // Indexed: whether each entry of the table is colour.
    std::vector<bool> mvecColorEntries;
    // Tints: whether each colourant is one that is not black.
    std::vector<bool> mvecColorColorants;
    // Pattern: the space of an uncoloured pattern's colours, when given.
    std::vector<PdfColorSpace> mvecPatternBase;

    // Whether the colour with these components is not grey. Missing
    // components count as 0.
    bool IsColor(const std::vector<double>& components) const;

    // The colour a space starts with (black, the first entry, full tint).
    bool InitialIsColor() const;

    // Whether an image in this space may be colour.
    bool ImageMayBeColor() const;
};

// The colour space an object names: a device name, an array, or a name of
// the resources' /ColorSpace dictionary. Unknown spaces are Color.
PdfColorSpace ReadColorSpace(QPDFObjectHandle space, QPDFObjectHandle resources, int depth = 0);

}  // namespace RawPrintData::Pdf
