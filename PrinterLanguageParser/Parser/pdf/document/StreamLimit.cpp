#include "PrinterLanguageParser/Parser/pdf/document/StreamLimit.h"

#include <qpdf/QPDFPageObjectHelper.hh>

#include <stdexcept>

namespace RawPrintData::Pdf {

namespace {

// Thrown out of the pipe to stop qpdf decoding.
struct LimitReached : std::length_error {
    LimitReached() : std::length_error("decoded stream over the limit") {}
};

std::string LimitText(size_t limit)
{
    return "content streams decode to more than " + std::to_string(limit / (1024 * 1024)) + " MiB";
}

}  // namespace

void SizeLimitPipeline::write(unsigned char const* /*data*/, size_t length)
{
    mintSeen += length;
    if (mintSeen > mintLimit) {
        mblnOver = true;
        throw LimitReached();
    }
}

bool StreamFitsLimit(QPDFObjectHandle stream, size_t limit)
{
    SizeLimitPipeline counter(limit);
    try {
        stream.pipeStreamData(&counter, 0, qpdf_dl_generalized, true);
    } catch (const LimitReached&) {
    }
    return !counter.IsOverLimit();
}

void RequirePageContentWithinLimit(QPDFObjectHandle page, size_t limit)
{
    SizeLimitPipeline counter(limit);
    try {
        QPDFPageObjectHelper(page).pipeContents(&counter);
    } catch (const LimitReached&) {
    }
    if (counter.IsOverLimit())
        throw std::length_error(LimitText(limit));
}

}  // namespace RawPrintData::Pdf
