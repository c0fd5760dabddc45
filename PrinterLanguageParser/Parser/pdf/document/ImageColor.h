#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/ColorVerdict.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfColorSpace.h"
#include "PrinterLanguageParser/Parser/pdf/document/WorkBudget.h"

#include <qpdf/QPDFObjectHandle.hh>

#include <cstddef>

namespace RawPrintData::Pdf {

// The most a JPEG image's compressed data, and its decoder, may take.
inline constexpr size_t MAX_JPEG_BYTES = 32u * 1024u * 1024u;
inline constexpr size_t MAX_JPEG_DECODER_MEMORY = 48u * 1024u * 1024u;

// The colour an image XObject paints, as marks in the unit square it fills:
// the share of its pixels that are not neutral by the colour rule. The
// cheapest proof first: a space that holds only grey; a YCbCr JPEG's chroma
// coefficients; then the decoded pixels one by one, as they stream past,
// each pixel taken from the work budget, until the colour ones make up
// stopShare of the image (the judgement is then cut there). Samples of 8 and
// 16 bits are tested; an image whose samples cannot be tested counts whole,
// one that cannot be decoded is not ruled out.
Judgement JudgeImage(QPDFObjectHandle image, const PdfColorSpace& space, WorkBudget& budget, double stopShare);

}  // namespace RawPrintData::Pdf
