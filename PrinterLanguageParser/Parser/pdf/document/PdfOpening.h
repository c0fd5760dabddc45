#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/JobInputSource.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfDocument.h"
#include "PrinterLanguageParser/Parser/pdf/document/WorkBudget.h"

#include <qpdf/QPDF.hh>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace RawPrintData::Pdf {

// What the PDF reader's sources share of qpdf (a header for them alone:
// qpdf's headers are read as C++17).

// qpdf holds every object it has read until the document is closed, about
// 2 kB each, and lists the pages by reading every page object: a document of
// more than MAX_OBJECTS objects is not read. It also reads an object stream
// or a cross-reference stream whole into memory when it first needs it.
inline constexpr size_t MAX_OBJECT_STREAM_BYTES = 8u * 1024u * 1024u;
inline constexpr size_t MAX_OBJECTS = 20000;

// Opens the document of the input with qpdf when it can be read within the
// memory bound: its cross-reference streams and object streams are measured
// as they stream past before qpdf keeps them, and what they decode to is
// taken from the budget. False, with the reason, when it cannot be opened or
// is too large to read.
bool OpenPdfWithinBounds(QPDF& pdf, const std::shared_ptr<JobInputSource>& input, const PdfReadAt& read,
                         uint64_t size, WorkBudget& budget, std::string& error);

// The leaf pages of a page tree that qpdf refuses (a node among its own
// kids, a loop), as printers and Ghostscript read such a tree: every node
// reached from the catalogue's /Pages through /Kids that is a /Page or has
// no /Kids, in order, each node once, whatever /Count says. The tree is
// walked from a stack of its own, so that a deep tree takes none of the
// program's.
std::vector<QPDFObjectHandle> LeafPageObjects(QPDF& pdf);

}  // namespace RawPrintData::Pdf
