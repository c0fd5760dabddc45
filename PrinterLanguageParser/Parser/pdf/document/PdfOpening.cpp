#include "PrinterLanguageParser/Parser/pdf/document/PdfOpening.h"

#include "PrinterLanguageParser/Parser/pdf/document/StreamLimit.h"
#include "PrinterLanguageParser/Parser/pdf/document/XrefStreamCheck.h"

#include <exception>
#include <map>
#include <set>

namespace RawPrintData::Pdf {

namespace {

// Whether the opened document's objects and object streams fit the bound: a
// few compressed bytes may hold gigabytes, so each object stream is measured
// as it streams past, keeping nothing.
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

bool OpenPdfWithinBounds(QPDF& pdf, const std::shared_ptr<JobInputSource>& input, const PdfReadAt& read,
                         uint64_t size, WorkBudget& budget, std::string& error)
{
    if (!XrefStreamsFit(read, size, MAX_OBJECT_STREAM_BYTES, error))
        return false;
    try {
        pdf.setSuppressWarnings(true);
        pdf.processInputSource(input, "");
        return DocumentFits(pdf, budget, error);
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
}

}  // namespace RawPrintData::Pdf
