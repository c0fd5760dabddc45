#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/PdfDocument.h"

#include <cstdint>

namespace RawPrintData::Pdf {

// The leaves of a PDF's page tree as qpdf reads its objects, for a document
// whose pages could not be read: every node reached from the catalogue's
// /Pages through /Kids that has no /Kids of its own, each node once
// (a node listed again, or in its own /Kids, adds nothing), whatever /Count
// says; when no node can be reached that way, every object whose /Type is
// /Page. 0 when the document cannot be opened at all.
uint64_t CountPdfLeafPages(const PdfReadAt& read, uint64_t size);

}  // namespace RawPrintData::Pdf
