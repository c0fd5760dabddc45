#pragma once

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <cstddef>
#include <string>

namespace RawPrintData::Pdf {

// Counts the bytes piped through it and stops the pipe past a limit; keeps
// nothing. A stream that qpdf would read whole into memory (an object
// stream, a colour table) is measured with it first.
class SizeLimitPipeline final : public Pipeline {
public:
    explicit SizeLimitPipeline(size_t limit) : Pipeline("size limit", nullptr), mintLimit(limit) {}

    void write(unsigned char const* data, size_t length) override;
    void finish() override {}

    bool IsOverLimit() const { return mblnOver; }
    size_t Seen() const { return mintSeen; }

private:
    size_t mintLimit;
    size_t mintSeen = 0;
    bool mblnOver = false;
};

// Whether the stream decodes, as far as qpdf decodes it at that level,
// to no more than the limit.
bool StreamFitsLimit(QPDFObjectHandle stream, size_t limit, qpdf_stream_decode_level_e level = qpdf_dl_generalized);

}  // namespace RawPrintData::Pdf
