#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/WorkBudget.h"

#include <qpdf/QPDFObjectHandle.hh>

namespace RawPrintData::Pdf {

// Whether a shading may paint a colour that is not neutral. The colours of a
// shading given by an exponential, sampled or stitching function are judged
// from the function (a gradient between two greys is grey); meshes and
// calculator functions count as colour when their space may be. A sampled
// function's samples are taken from the job's work budget; once it is spent,
// the shading counts as colour.
bool ShadingMayBeColor(QPDFObjectHandle shading, QPDFObjectHandle resources, WorkBudget& budget);

}  // namespace RawPrintData::Pdf
