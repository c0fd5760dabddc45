#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/PdfDocument.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace RawPrintData::Pdf {

// qpdf reads a document's cross-reference streams whole into memory as it
// opens the document, before anything can measure them. This looks at the
// ones it will read (the one startxref names, and those the /Prev and
// /XRefStm entries lead to) and inflates each as it streams past, keeping
// nothing, to tell whether it decodes to no more than the limit. A stream it
// cannot make out is left to qpdf. False, with the reason, for one too large.
bool XrefStreamsFit(const PdfReadAt& read, uint64_t size, size_t limit, std::string& error);

}  // namespace RawPrintData::Pdf
