#include "PrinterLanguageParser/Parser/pdf/document/PdfDocument.h"

#include "PrinterLanguageParser/Parser/pdf/document/JobInputSource.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfContentColor.h"
#include "PrinterLanguageParser/Parser/pdf/document/StreamLimit.h"
#include "PrinterLanguageParser/Parser/pdf/document/WorkBudget.h"
#include "PrinterLanguageParser/Parser/pdf/document/XrefStreamCheck.h"

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
constexpr size_t MAX_OBJECT_STREAM_BYTES = 8u * 1024u * 1024u;
constexpr size_t MAX_OBJECTS = 20000;

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

// Whether qpdf can read the document within the memory bound. qpdf holds
// every object it has read until the document is closed, about 2 kB each,
// and lists the pages by reading every page object: a document of more than
// MAX_OBJECTS objects is not read. qpdf also reads an object stream whole
// into memory when it first needs one of its objects, and a few compressed
// bytes may hold gigabytes: each is measured first, as it streams past, and
// the document is not read when one is over MAX_OBJECT_STREAM_BYTES or the
// budget runs out.
bool DocumentFits(QPDF& pdf, WorkBudget& budget, std::string& error)
{
    const std::map<QPDFObjGen, QPDFXRefEntry> objects = pdf.getXRefTable();
    if (objects.size() > MAX_OBJECTS) {
        error = "it holds " + std::to_string(objects.size()) + " objects, more than the " +
                std::to_string(MAX_OBJECTS) + " read";
        return false;
    }
    std::set<int> streams;
    for (const auto& [object, entry] : objects) {
        if (entry.getType() == 2)
            streams.insert(entry.getObjStreamNumber());
    }
    for (int number : streams) {
        SizeLimitPipeline counter(MAX_OBJECT_STREAM_BYTES);
        QPDFObjectHandle stream = pdf.getObjectByID(number, 0);
        if (!stream.isStream())
            continue;
        try {
            stream.pipeStreamData(&counter, nullptr, 0, qpdf_dl_generalized, true, false);
        } catch (const std::exception&) {
            // Over the limit, or damaged: qpdf reads a damaged one as far as it goes.
        }
        if (counter.IsOverLimit()) {
            error = "object stream " + std::to_string(number) + " decodes to more than " +
                    std::to_string(MAX_OBJECT_STREAM_BYTES >> 20) + " MiB";
            return false;
        }
        if (!budget.SpendBytes(counter.Seen())) {
            error = budget.Describe() + " by object streams";
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReadPdfDocument(const PdfReadAt& read, uint64_t size, const std::function<void(const PdfPage&)>& sink,
                     std::string& error)
{
    QPDF pdf;
    std::vector<QPDFPageObjectHelper> pages;
    WorkBudget budget = WorkBudget::ForJob(size);
    auto input = std::make_shared<JobInputSource>(read, size);
    if (!XrefStreamsFit(read, size, MAX_OBJECT_STREAM_BYTES, error))
        return false;
    try {
        pdf.setSuppressWarnings(true);
        pdf.processInputSource(input, "");
        if (!DocumentFits(pdf, budget, error))
            return false;
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
    PdfColorJudge judge(*input, budget);
    for (QPDFPageObjectHelper& helper : pages) {
        PdfPage page;
        try {
            std::tie(page.mdblWidth, page.mdblHeight) = PageSize(helper);
            const Judgement judgement = judge.Page(helper.getObjectHandle());
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
