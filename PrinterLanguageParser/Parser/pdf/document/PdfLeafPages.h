#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/PdfDocument.h"

#include <cstdint>

namespace RawPrintData::Pdf {

// The pages of a PDF whose pages the reader could not read, for a fallback
// count: within the reader's memory bound, the page tree's leaves (or, when
// none can be reached, every object whose /Type is /Page); beyond it, the
// page objects written out in the file's bytes, found without holding them.
uint64_t CountPdfLeafPages(const PdfReadAt& read, uint64_t size);

}  // namespace RawPrintData::Pdf
