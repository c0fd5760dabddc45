#include "PrinterLanguageParser/Parser/pdf/PdfParser.h"

#include "PrinterLanguageParser/Parser/LanguageSignatures.h"
#include "PrinterLanguageParser/Parser/pdf/JobInputSource.h"
#include "PrinterLanguageParser/Parser/pdf/PdfContentColor.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <string_view>

namespace RawPrintData::Pdf {

namespace {

// Whether the job is PCLm, whose pages are the printable area of the paper.
bool IsPclm(const IJobBytes& job)
{
    static constexpr std::string_view PCLM_COMMENT = "%PCLm";
    return FindInJobBytes(job, PCLM_COMMENT, 64) != DataBuffer::npos;
}

// Width and height of a rectangle, 0 when it is none.
std::pair<double, double> Extent(QPDFObjectHandle box)
{
    if (!box.isRectangle())
        return {0, 0};
    const QPDFObjectHandle::Rectangle rect = box.getArrayAsRectangle();
    return {std::fabs(rect.urx - rect.llx), std::fabs(rect.ury - rect.lly)};
}

// The page's size in points: the MediaBox, or the CropBox where it is
// smaller (the viewer and printer show only that).
std::pair<double, double> PageSize(QPDFPageObjectHelper& page)
{
    auto [width, height] = Extent(page.getMediaBox(false));
    const auto [cropWidth, cropHeight] = Extent(page.getCropBox(false, false));
    if (cropWidth > 0 && cropHeight > 0) {
        width = width > 0 ? std::min(width, cropWidth) : cropWidth;
        height = height > 0 ? std::min(height, cropHeight) : cropHeight;
    }
    // A page turned by a quarter is seen the other way round.
    QPDFObjectHandle rotate = page.getAttribute("/Rotate", false);
    if (rotate.isInteger() && ((rotate.getIntValue() % 180) + 180) % 180 == 90)
        std::swap(width, height);
    return {width, height};
}

}  // namespace

PdfParser::PdfParser() : WholeJobParser(LANGUAGE_HEADER_PDF, "PdfParser") {}

ParseDataResultType PdfParser::ReadJob(const IJobBytes& job)
{
    const bool pclm = IsPclm(job);
    QPDF pdf;
    std::vector<QPDFPageObjectHelper> pages;
    try {
        pdf.setSuppressWarnings(true);
        // An empty user password opens the files that are only protected
        // against changes.
        pdf.processInputSource(std::make_shared<JobInputSource>(job), "");
        pages = QPDFPageDocumentHelper(pdf).getAllPages();
    } catch (const std::exception& error) {
        Log(LOG_ERROR, "PdfParser::ParseDone - The PDF cannot be read: %s", error.what());
        return PARSE_RESULT_FAILURE;
    }
    Log(LOG_INFO, "PdfParser::ParseDone - %s with %lu pages.", pclm ? "PCLm" : "PDF",
        static_cast<unsigned long>(pages.size()));
    for (size_t index = 0; index < pages.size(); ++index) {
        QPDFPageObjectHelper& page = pages[index];
        std::pair<double, double> size{0, 0};
        bool color = false;
        try {
            size = PageSize(page);
            color = PdfContentColor::PageIsColor(page.getObjectHandle());
        } catch (const std::exception& error) {
            // The page still prints as far as the printer can read it, so it
            // counts with what was found of it.
            Log(LOG_ERROR, "PdfParser::ParseDone - Page %lu cannot be read whole: %s",
                static_cast<unsigned long>(index + 1), error.what());
        }
        ReportPage(size.first, size.second, color, pclm);
    }
    return PARSE_RESULT_HANDLED;
}

}  // namespace RawPrintData::Pdf
