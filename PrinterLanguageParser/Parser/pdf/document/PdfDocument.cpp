#include "PrinterLanguageParser/Parser/pdf/document/PdfDocument.h"

#include "PrinterLanguageParser/Parser/pdf/document/JobInputSource.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfContentColor.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

namespace RawPrintData::Pdf {

namespace {

// Width and height of a rectangle, 0 when it is none.
std::pair<double, double> Extent(QPDFObjectHandle box)
{
    if (!box.isRectangle())
        return {0, 0};
    const QPDFObjectHandle::Rectangle rect = box.getArrayAsRectangle();
    return {std::fabs(rect.urx - rect.llx), std::fabs(rect.ury - rect.lly)};
}

// The page's size in points: the MediaBox, or the CropBox where it is
// smaller (the viewer and printer show only that), both inherited from the
// page tree where the page has none.
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

bool ReadPdfDocument(const PdfReadAt& read, uint64_t size, const std::function<void(const PdfPage&)>& sink,
                     std::string& error)
{
    QPDF pdf;
    std::vector<QPDFPageObjectHelper> pages;
    try {
        pdf.setSuppressWarnings(true);
        pdf.processInputSource(std::make_shared<JobInputSource>(read, size), "");
        pages = QPDFPageDocumentHelper(pdf).getAllPages();
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    std::unique_ptr<PdfColorContext> context;
    try {
        context = std::make_unique<PdfColorContext>(pdf);
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    for (QPDFPageObjectHelper& helper : pages) {
        PdfPage page;
        try {
            std::tie(page.mdblWidth, page.mdblHeight) = PageSize(helper);
            page.mblnColor = PdfContentColor::PageIsColor(helper.getObjectHandle(), *context);
        } catch (const std::exception& failure) {
            // What could not be judged is billed as the colour it may be.
            page.mstrError = failure.what();
            page.mblnColor = true;
        }
        sink(page);
    }
    return true;
}

}  // namespace RawPrintData::Pdf
