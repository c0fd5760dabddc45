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

// The leaf pages of a page tree that qpdf refuses (a node among its own
// kids, a loop): each node is followed once, in order, from the catalog's
// /Pages, as printers and Ghostscript read such a tree; a /Count is not
// trusted. The tree is walked from a stack of its own, so that a deep tree
// takes none of the program's.
std::vector<QPDFPageObjectHelper> LeafPages(QPDF& pdf)
{
    std::vector<QPDFPageObjectHelper> pages;
    std::set<QPDFObjGen> seen;
    std::vector<QPDFObjectHandle> pending{pdf.getRoot().getKey("/Pages")};
    while (!pending.empty()) {
        QPDFObjectHandle node = pending.back();
        pending.pop_back();
        if (!node.isDictionary() || (node.isIndirect() && !seen.insert(node.getObjGen()).second))
            continue;
        QPDFObjectHandle kids = node.getKey("/Kids");
        if (!kids.isArray() || node.getKey("/Type").isNameAndEquals("/Page")) {
            pages.emplace_back(node);
            continue;
        }
        // Kids are taken from the stack in their order.
        for (int kid = kids.getArrayNItems() - 1; kid >= 0; --kid)
            pending.push_back(kids.getArrayItem(kid));
    }
    return pages;
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
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
    try {
        pages = QPDFPageDocumentHelper(pdf).getAllPages();
    } catch (const std::exception& refused) {
        // A damaged page tree: its leaf pages are what prints.
        try {
            pages = LeafPages(pdf);
        } catch (const std::exception& failure) {
            error = failure.what();
            return false;
        }
        error = refused.what();
        if (pages.empty())
            return false;
    }
    for (QPDFPageObjectHelper& helper : pages) {
        PdfPage page;
        try {
            std::tie(page.mdblWidth, page.mdblHeight) = PageSize(helper);
            page.mblnColor = PdfContentColor::PageIsColor(helper.getObjectHandle());
        } catch (const std::exception& failure) {
            page.mstrError = failure.what();
        }
        sink(page);
    }
    return true;
}

}  // namespace RawPrintData::Pdf
