#include "PrinterLanguageParser/Parser/pdf/document/PdfLeafPages.h"

#include "PrinterLanguageParser/Parser/pdf/document/JobInputSource.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfOpening.h"
#include "PrinterLanguageParser/Parser/pdf/document/WorkBudget.h"
#include "PrinterLanguageParser/Parser/pdf/document/XrefStreamCheck.h"

#include <qpdf/Pipeline.hh>

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <set>
#include <string>
#include <string_view>

namespace RawPrintData::Pdf {

namespace {

constexpr size_t PIECE = 64 * 1024;
// "/Type", white space, "/Page" and the byte after it fit in this many.
constexpr size_t TOKEN_REACH = 64;

bool IsPdfDelimiterOrSpace(unsigned char byte)
{
    return std::memchr("()<>[]{}/% \t\r\n\f", byte, 16) != nullptr || byte == 0;
}

bool IsPdfSpace(char byte)
{
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n' || byte == '\f' || byte == '\0';
}

// Counts the "/Type /Page" entries of bytes fed in pieces of any size,
// keeping only the last TOKEN_REACH bytes between pieces; fed the decoded
// object streams, it sees the page objects stored in them too.
class PageTypeCounter final : public Pipeline {
public:
    // With a budget, the bytes fed are taken from it, and the feeding stops
    // (BudgetExhausted) when it runs out.
    explicit PageTypeCounter(WorkBudget* budget = nullptr) : Pipeline("page types", nullptr), mBudget(budget) {}

    void write(unsigned char const* data, size_t length) override
    {
        if (mBudget != nullptr && !mBudget->SpendBytes(length))
            throw BudgetExhausted();
        mstrText.append(reinterpret_cast<const char*>(data), length);
        if (mstrText.size() < PIECE)
            return;
        mCount(mstrText.size() - TOKEN_REACH);
        mstrText.erase(0, mstrText.size() - TOKEN_REACH);
    }
    void finish() override
    {
        mCount(mstrText.size());
        mstrText.clear();
    }
    uint64_t Pages() const { return mintPages; }

private:
    // The entries that start before the given offset.
    void mCount(size_t end)
    {
        static constexpr std::string_view TYPE = "/Type";
        static constexpr std::string_view PAGE = "/Page";
        const std::string_view text = mstrText;
        for (size_t at = text.find(TYPE); at != std::string_view::npos && at < end; at = text.find(TYPE, at + 1)) {
            size_t next = at + TYPE.size();
            while (next < text.size() && IsPdfSpace(text[next]))
                ++next;
            const size_t after = next + PAGE.size();
            if (text.substr(next, PAGE.size()) == PAGE &&
                (after >= text.size() || IsPdfDelimiterOrSpace(static_cast<unsigned char>(text[after]))))
                ++mintPages;
        }
    }

    WorkBudget* mBudget;
    std::string mstrText;
    uint64_t mintPages = 0;
};

// The page objects of a document too large for the reader, without holding
// its objects: those written out in the file's bytes, and those stored in
// its object streams, each decoded as it streams past within the budget
// (qpdf keeps only the cross-reference table for this).
uint64_t PageObjectsInBytes(const PdfReadAt& read, uint64_t size)
{
    PageTypeCounter counter;
    std::string piece(PIECE, '\0');
    for (uint64_t offset = 0; offset < size;) {
        const int64_t got = read(offset, reinterpret_cast<unsigned char*>(piece.data()), piece.size());
        if (got <= 0)
            break;
        counter.write(reinterpret_cast<const unsigned char*>(piece.data()), static_cast<size_t>(got));
        offset += static_cast<uint64_t>(got);
    }
    counter.finish();
    uint64_t pages = counter.Pages();
    try {
        std::string error;
        if (!XrefStreamsFit(read, size, MAX_OBJECT_STREAM_BYTES, error))
            return pages;
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processInputSource(std::make_shared<JobInputSource>(read, size), "");
        std::set<int> streams;
        for (const auto& [object, entry] : pdf.getXRefTable()) {
            if (entry.getType() == 2)
                streams.insert(entry.getObjStreamNumber());
        }
        WorkBudget budget = WorkBudget::ForJob(size);
        for (int number : streams) {
            // An object stream without a filter was counted with the bytes.
            QPDFObjectHandle stream = pdf.getObjectByID(number, 0);
            if (!stream.isStream() || stream.getDict().getKey("/Filter").isNull())
                continue;
            PageTypeCounter stored(&budget);
            try {
                stream.pipeStreamData(&stored, nullptr, 0, qpdf_dl_generalized, true, false);
            } catch (const std::exception&) {
                // Damaged, or the budget spent: what was decoded before counts.
            }
            stored.finish();
            pages += stored.Pages();
            if (budget.Exhausted())
                break;
        }
    } catch (const std::exception&) {
        // The cross-reference table could not be read: the bytes' count stands.
    }
    return pages;
}

}  // namespace

std::vector<QPDFObjectHandle> LeafPageObjects(QPDF& pdf)
{
    std::vector<QPDFObjectHandle> pages;
    std::set<QPDFObjGen> seen;
    std::vector<QPDFObjectHandle> pending{pdf.getRoot().getKey("/Pages")};
    while (!pending.empty()) {
        QPDFObjectHandle node = pending.back();
        pending.pop_back();
        if (!node.isDictionary() || (node.isIndirect() && !seen.insert(node.getObjGen()).second))
            continue;
        QPDFObjectHandle kids = node.getKey("/Kids");
        if (!kids.isArray() || node.getKey("/Type").isNameAndEquals("/Page")) {
            pages.push_back(node);
            continue;
        }
        // Kids are taken from the stack in their order.
        for (int kid = kids.getArrayNItems() - 1; kid >= 0; --kid)
            pending.push_back(kids.getArrayItem(kid));
    }
    return pages;
}

uint64_t CountPdfLeafPages(const PdfReadAt& read, uint64_t size)
{
    try {
        QPDF pdf;
        WorkBudget budget = WorkBudget::ForJob(size);
        std::string error;
        if (!OpenPdfWithinBounds(pdf, std::make_shared<JobInputSource>(read, size), read, size, budget, error))
            return PageObjectsInBytes(read, size);
        const uint64_t leaves = LeafPageObjects(pdf).size();
        if (leaves > 0)
            return leaves;
        // A root that cannot be read at all (qpdf gives null for a node whose
        // /Count is no number it can hold) leaves the page objects themselves;
        // the document holds no more objects than the bound.
        uint64_t pages = 0;
        for (QPDFObjectHandle object : pdf.getAllObjects()) {
            if (object.isDictionary() && object.getKey("/Type").isNameAndEquals("/Page"))
                ++pages;
        }
        return pages;
    } catch (const std::exception&) {
        return PageObjectsInBytes(read, size);
    }
}

}  // namespace RawPrintData::Pdf
