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
    unsigned long unjudged = 0;
    unsigned long firstUnjudged = 0;
    std::string trouble;
    const auto report = [&](const PdfPage& page) {
        ++pages;
        // A page whose colour could not be ruled out counts as colour.
        if (!page.mstrError.empty() && unjudged++ == 0) {
            firstUnjudged = pages;
            trouble = page.mstrError;
        }
        ReportPage(page.mdblWidth, page.mdblHeight, page.mblnColor, pclm);
    };
    std::string error;
    if (!ReadPdfDocument(read, job.Size(), report, error)) {
        Log(LOG_ERROR, "PdfParser::ParseDone - The PDF cannot be read: %s", error.c_str());
        return PARSE_RESULT_FAILURE;
    }
    if (unjudged > 0)
        Log(LOG_ERROR, "PdfParser::ParseDone - PDF page %lu: %s; its colour could not be ruled out, %lu page(s) "
            "counted as colour for this reason", firstUnjudged, trouble.c_str(), unjudged);
    Log(LOG_INFO, "PdfParser::ParseDone - %s with %lu pages.", pclm ? "PCLm" : "PDF", pages);
    return PARSE_RESULT_HANDLED;
}

}  // namespace RawPrintData::Pdf
