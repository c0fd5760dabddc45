#pragma once

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <cstddef>
#include <string>

namespace RawPrintData::Pdf {

// qpdf reads a content stream whole into memory before it parses it, and a
// small compressed stream may hold gigabytes. The decoded size is measured
// first, as it streams past without being kept; a stream over the limit is
// not parsed.
inline constexpr size_t MAX_DECODED_STREAM = 64u * 1024u * 1024u;

// Counts the bytes piped through it and stops the pipe past a limit.
class SizeLimitPipeline final : public Pipeline {
public:
    explicit SizeLimitPipeline(size_t limit) : Pipeline("size limit", nullptr), mintLimit(limit) {}

    void write(unsigned char const* /*data*/, size_t length) override;
    void finish() override {}

    bool IsOverLimit() const { return mblnOver; }

private:
    size_t mintLimit;
    size_t mintSeen = 0;
    bool mblnOver = false;
};

// Whether the stream decodes to no more than the limit.
bool StreamFitsLimit(QPDFObjectHandle stream, size_t limit = MAX_DECODED_STREAM);

// The text of a page's content streams, decoded, is within the limit; throws
// std::length_error naming the limit when it is not.
void RequirePageContentWithinLimit(QPDFObjectHandle page, size_t limit = MAX_DECODED_STREAM);

}  // namespace RawPrintData::Pdf
