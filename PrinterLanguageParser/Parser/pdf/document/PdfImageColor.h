#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/PdfColorSpace.h"

#include <qpdf/QPDFObjectHandle.hh>

namespace RawPrintData::Pdf {

// The share of an image's pixels whose colour is not neutral, from 0 to 1.
// Samples of 8 and 16 bits are decoded and tested (a PCLm page and many an
// RGB photo are grey); once a hundredth of the pixels is colour the image
// counts as colour whole. An image whose samples cannot be decoded counts as
// colour whole when its space may be colour.
double ImageColorFraction(QPDFObjectHandle image, const PdfColorSpace& space);

}  // namespace RawPrintData::Pdf
