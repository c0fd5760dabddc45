#include "PrinterLanguageParser/Parser/pdf/document/PdfDocument.h"

#include "PrinterLanguageParser/Parser/pdf/document/JobInputSource.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfContentColor.h"
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
    try {
        pdf.setSuppressWarnings(true);
        pdf.processInputSource(input, "");
        if (!DocumentFits(pdf, budget, error))
            return false;
        pages = QPDFPageDocumentHelper(pdf).getAllPages();
    } catch (const std::exception& failure) {
        error = failure.what();
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
