#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// The PDF side that works with qpdf. qpdf's headers do not compile as C++20
// with clang (they destroy a vector of an incomplete type), so these files
// are C++17 and meet the rest of the parser only through this header.
namespace RawPrintData::Pdf {

// Copies up to length bytes of the job from the offset: the count, 0 at the
// end, -1 when they cannot be read.
using PdfReadAt = std::function<int64_t(uint64_t offset, unsigned char* into, size_t length)>;

// One page of a document.
struct PdfPage {
    double mdblWidth = 0;   // points, as the page is seen (turned by /Rotate)
    double mdblHeight = 0;  // points
    // Colour, or colour that could not be ruled out: the content is damaged
    // or the job's work budget ran out.
    bool mblnColor = false;
    std::string mstrError;  // why the colour could not be ruled out; empty when it was judged
};

// Opens the PDF of the given size (an empty user password is tried for an
// encrypted one) and hands its pages in order to the sink. False, with the
// reason, when the document cannot be opened or an object stream is too
// large to read. Memory stays bounded whatever the streams decode to; the
// work is bounded by the job's WorkBudget.
bool ReadPdfDocument(const PdfReadAt& read, uint64_t size, const std::function<void(const PdfPage&)>& sink,
                     std::string& error);

}  // namespace RawPrintData::Pdf
