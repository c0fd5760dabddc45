#include "PrinterLanguageParser/Parser/FallbackPageCount.h"

#include "PrinterLanguageParser/Parser/WholeJobParser.h"
#include "PrinterLanguageParser/Parser/pdf/document/PdfLeafPages.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <vector>

namespace RawPrintData {

namespace {

constexpr std::string_view PAGES_COMMENT = "%%Pages:";
// A PDF reader looks for the header this far into the file.
constexpr uint64_t PDF_HEADER_REACH = 1024;
constexpr size_t PIECE = 64 * 1024;
// The comment's number lies within this many bytes of its start.
constexpr size_t NUMBER_REACH = 32;

// The number after a "%%Pages:" comment at the start of text; 0 for
// "(atend)" or anything that is not a number.
uint64_t CommentNumber(std::string_view text)
{
    text.remove_prefix(PAGES_COMMENT.size());
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    uint64_t pages = 0;
    std::from_chars(text.data(), text.data() + text.size(), pages);
    return pages;
}

// The largest "%%Pages:" number of the job, read in pieces that overlap by
// the comment's reach, so a comment across two pieces is found.
uint64_t LargestPagesComment(const IJobBytes& job)
{
    std::vector<unsigned char> piece(PIECE);
    const size_t overlap = PAGES_COMMENT.size() + NUMBER_REACH;
    uint64_t largest = 0;
    for (uint64_t offset = 0; offset < job.Size();) {
        const int64_t read = job.ReadAt(offset, piece);
        if (read <= 0)
            break;
        const std::string_view text(reinterpret_cast<const char*>(piece.data()), static_cast<size_t>(read));
        const bool last = offset + static_cast<uint64_t>(read) >= job.Size();
        for (size_t found = text.find(PAGES_COMMENT); found != std::string_view::npos;
             found = text.find(PAGES_COMMENT, found + 1)) {
            // A comment whose number may run past the piece is read with the next one.
            if (!last && found + overlap > text.size())
                break;
            largest = std::max(largest, CommentNumber(text.substr(found, overlap)));
        }
        if (last || static_cast<size_t>(read) <= overlap)
            break;
        offset += static_cast<uint64_t>(read) - overlap;
    }
    return largest;
}

}  // namespace

uint64_t FallbackPageCount(const IJobBytes& job)
{
    uint64_t pages = LargestPagesComment(job);
    const uint64_t pdfStart = FindInJobBytes(job, "%PDF-", PDF_HEADER_REACH);
    if (pdfStart != DataBuffer::npos) {
        const JobBytesFrom from(job, pdfStart);
        const Pdf::PdfReadAt read = [&from](uint64_t offset, unsigned char* into, size_t length) {
            return from.ReadAt(offset, std::span<unsigned char>(into, length));
        };
        pages = std::max(pages, Pdf::CountPdfLeafPages(read, from.Size()));
    }
    return pages;
}

}  // namespace RawPrintData
