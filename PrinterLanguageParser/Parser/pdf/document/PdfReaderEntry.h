#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/PdfDocument.h"

#include <cstdint>

// The PDF reader as a module of its own, for a program that loads qpdf only
// when a job is a PDF (cvkhook, which every job waits for as it starts). The
// module hands out its two entry points through one C function, so that the
// program finds them by a plain name; the program and the module are built
// together, from the same sources.
namespace RawPrintData::Pdf {

struct PdfReaderEntry {
    unsigned version;
    bool (*readDocument)(const PdfReadAt& read, uint64_t size, const std::function<void(const PdfPage&)>& sink,
                         std::string& error);
    uint64_t (*countLeafPages)(const PdfReadAt& read, uint64_t size);
};

// Changes whenever the structure above does.
inline constexpr unsigned PdfReaderEntryVersion = 1;

// The name of the module's C function that returns its entry points.
inline constexpr const char* PdfReaderEntryName = "cvk_pdf_reader_entry";

}  // namespace RawPrintData::Pdf
