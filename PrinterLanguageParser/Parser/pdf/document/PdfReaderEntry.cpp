#include "PrinterLanguageParser/Parser/pdf/document/PdfReaderEntry.h"

#include "PrinterLanguageParser/Parser/pdf/document/PdfLeafPages.h"

// The one name the PDF reader module exports.
extern "C" __attribute__((visibility("default"))) const RawPrintData::Pdf::PdfReaderEntry* cvk_pdf_reader_entry()
{
    static const RawPrintData::Pdf::PdfReaderEntry entry{RawPrintData::Pdf::PdfReaderEntryVersion,
                                                         &RawPrintData::Pdf::ReadPdfDocument,
                                                         &RawPrintData::Pdf::CountPdfLeafPages};
    return &entry;
}
