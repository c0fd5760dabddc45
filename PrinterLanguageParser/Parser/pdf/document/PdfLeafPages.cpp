#include "PrinterLanguageParser/Parser/pdf/document/PdfLeafPages.h"

#include "PrinterLanguageParser/Parser/pdf/document/JobInputSource.h"

#include <qpdf/QPDF.hh>

#include <exception>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace RawPrintData::Pdf {

namespace {

// The most nodes visited: a page tree of more is no document a printer
// finishes, and the walk stays bounded whatever the file holds.
constexpr size_t MAX_NODES = 10'000'000;

}  // namespace

uint64_t CountPdfLeafPages(const PdfReadAt& read, uint64_t size)
{
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processInputSource(std::make_shared<JobInputSource>(read, size), "");
        std::vector<QPDFObjectHandle> pending{pdf.getRoot().getKey("/Pages")};
        std::set<std::pair<int, int>> seen;
        uint64_t leaves = 0;
        while (!pending.empty() && seen.size() < MAX_NODES) {
            QPDFObjectHandle node = pending.back();
            pending.pop_back();
            if (!node.isDictionary())
                continue;
            if (node.isIndirect() && !seen.insert({node.getObjectID(), node.getGeneration()}).second)
                continue;
            QPDFObjectHandle kids = node.getKey("/Kids");
            if (!kids.isArray()) {
                ++leaves;
                continue;
            }
            // In reverse, so that the pages are taken in their order.
            for (int index = kids.getArrayNItems() - 1; index >= 0; --index)
                pending.push_back(kids.getArrayItem(index));
        }
        if (leaves > 0)
            return leaves;
        // A root that cannot be read at all (qpdf gives null for a node whose
        // /Count is no number it can hold) leaves the page objects themselves.
        size_t visited = 0;
        for (QPDFObjectHandle object : pdf.getAllObjects()) {
            if (++visited > MAX_NODES)
                break;
            if (object.isDictionary() && object.getKey("/Type").isNameAndEquals("/Page"))
                ++leaves;
        }
        return leaves;
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace RawPrintData::Pdf
