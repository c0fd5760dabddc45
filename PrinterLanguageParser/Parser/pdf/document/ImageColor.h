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

// Whether an image XObject paints a pixel that is not grey. The cheapest
// proof first: a space that holds only grey; a YCbCr JPEG's chroma
// coefficients; then the decoded pixels one by one, as they stream past,
// until the first colour pixel, each pixel taken from the work budget.
// Samples of 8 and 16 bits are tested; an image whose samples cannot be
// decoded is not ruled out.
Judgement JudgeImage(QPDFObjectHandle image, const PdfColorSpace& space, WorkBudget& budget);

}  // namespace RawPrintData::Pdf
