#include "PrinterLanguageParser/Parser/pdf/document/StreamLimit.h"

#include <stdexcept>

namespace RawPrintData::Pdf {

namespace {

// Thrown out of the pipe to stop qpdf decoding.
struct LimitReached : std::length_error {
    LimitReached() : std::length_error("decoded stream over the limit") {}
};

}  // namespace

void SizeLimitPipeline::write(unsigned char const* /*data*/, size_t length)
{
    mintSeen += length;
    if (mintSeen > mintLimit) {
        mblnOver = true;
        throw LimitReached();
    }
}

bool StreamFitsLimit(QPDFObjectHandle stream, size_t limit, qpdf_stream_decode_level_e level)
{
    SizeLimitPipeline counter(limit);
    try {
        stream.pipeStreamData(&counter, nullptr, 0, level, true, false);
    } catch (const std::exception&) {
        // The limit's own stop, or damage: a damaged stream is read as far
        // as it goes.
    }
    return !counter.IsOverLimit();
}

}  // namespace RawPrintData::Pdf
