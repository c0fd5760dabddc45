#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/PdfDocument.h"

#include <qpdf/QPDF.hh>

#include <cstdint>
#include <vector>

namespace RawPrintData::Pdf {

// The leaf pages of a page tree that qpdf refuses (a node among its own
// kids, a loop), as printers and Ghostscript read such a tree: every node
// reached from the catalogue's /Pages through /Kids that is a /Page or has
// no /Kids, in order, each node once, whatever /Count says. The tree is
// walked from a stack of its own, so that a deep tree takes none of the
// program's.
std::vector<QPDFObjectHandle> LeafPageObjects(QPDF& pdf);

// The pages of a PDF whose pages the reader could not read, for a fallback
// count: within the reader's memory bound, the page tree's leaves (or, when
// none can be reached, every object whose /Type is /Page); beyond it, the
// page objects written out in the file's bytes, found without holding them.
uint64_t CountPdfLeafPages(const PdfReadAt& read, uint64_t size);

}  // namespace RawPrintData::Pdf
