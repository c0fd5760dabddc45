#include "PrinterLanguageParser/Parser/pdf/document/PdfDocument.h"

#include "PrinterLanguageParser/Parser/pdf/document/JobInputSource.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfContentColor.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfLeafPages.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfOpening.h"
#include "PrinterLanguageParser/Parser/pdf/document/StreamLimit.h"
#include "PrinterLanguageParser/Parser/pdf/document/WorkBudget.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <algorithm>
#include <cmath>
#include <exception>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace RawPrintData::Pdf {

namespace {

constexpr double LETTER_WIDTH_POINTS = 612;
constexpr double LETTER_HEIGHT_POINTS = 792;

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
    if (width <= 0 || height <= 0) {
        // No usable MediaBox: Letter, as Ghostscript and poppler take it.
        width = LETTER_WIDTH_POINTS;
        height = LETTER_HEIGHT_POINTS;
    }
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
    WorkBudget budget = WorkBudget::ForJob(size);
    auto input = std::make_shared<JobInputSource>(read, size);
    if (!OpenPdfWithinBounds(pdf, input, read, size, budget, error))
        return false;
    try {
        pages = QPDFPageDocumentHelper(pdf).getAllPages();
    } catch (const std::exception& refused) {
        // A damaged page tree: its leaf pages are what prints.
        try {
            for (const QPDFObjectHandle& leaf : LeafPageObjects(pdf))
                pages.emplace_back(leaf);
        } catch (const std::exception& failure) {
            error = failure.what();
            return false;
        }
        error = refused.what();
        if (pages.empty())
            return false;
    }
    std::unique_ptr<PdfColorJudge> judge;
    try {
        judge = std::make_unique<PdfColorJudge>(pdf, *input, budget);
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    for (QPDFPageObjectHelper& helper : pages) {
        PdfPage page;
        try {
            std::tie(page.mdblWidth, page.mdblHeight) = PageSize(helper);
            const Judgement judgement = judge->Page(helper.getObjectHandle());
            page.mblnColor = judgement.meVerdict != ColorVerdict::Mono;
            page.mstrError = judgement.mstrTrouble;
        } catch (const std::exception& failure) {
            page.mblnColor = true;
            page.mstrError = failure.what();
        }
        sink(page);
    }
    return true;
}

}  // namespace RawPrintData::Pdf
