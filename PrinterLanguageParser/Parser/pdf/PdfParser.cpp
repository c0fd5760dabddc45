#include "PrinterLanguageParser/Parser/pdf/PdfParser.h"

#include "PrinterLanguageParser/Parser/LanguageSignatures.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfDocument.h"

#include <string>
#include <string_view>

namespace RawPrintData::Pdf {

namespace {

// Whether the job is PCLm, whose pages are the printable area of the paper.
bool IsPclm(const IJobBytes& job)
{
    static constexpr std::string_view PCLM_COMMENT = "%PCLm";
    return FindInJobBytes(job, PCLM_COMMENT, 64) != DataBuffer::npos;
}

}  // namespace

PdfParser::PdfParser() : WholeJobParser(LANGUAGE_HEADER_PDF, "PdfParser") {}

ParseDataResultType PdfParser::ReadJob(const IJobBytes& job)
{
    const bool pclm = IsPclm(job);
    const PdfReadAt read = [&job](uint64_t offset, unsigned char* into, size_t length) {
        return job.ReadAt(offset, std::span<unsigned char>(into, length));
    };
    unsigned long pages = 0;
    const auto report = [&](const PdfPage& page) {
        ++pages;
        // A page that cannot be read whole still prints as far as the printer
        // can read it; what was not judged may be colour, so it counts as colour.
        if (!page.mstrError.empty())
            Log(LOG_ERROR, "PdfParser::ParseDone - Page %lu cannot be read whole: %s", pages, page.mstrError.c_str());
        ReportPage(page.mdblWidth, page.mdblHeight, page.mblnColor, pclm);
    };
    std::string error;
    if (!ReadPdfDocument(read, job.Size(), report, error)) {
        Log(LOG_ERROR, "PdfParser::ParseDone - The PDF cannot be read: %s", error.c_str());
        return PARSE_RESULT_FAILURE;
    }
    Log(LOG_INFO, "PdfParser::ParseDone - %s with %lu pages.", pclm ? "PCLm" : "PDF", pages);
    return PARSE_RESULT_HANDLED;
}

}  // namespace RawPrintData::Pdf
