#pragma once

#include "PrinterLanguageParser/Parser/pdf/document/PdfDocument.h"

#include <qpdf/InputSource.hh>

#include <string>
#include <vector>

namespace RawPrintData::Pdf {

// The job's bytes as a qpdf input source, read through one block of its own:
// memory stays at that block however large the job is.
class JobInputSource final : public InputSource {
public:
    JobInputSource(PdfReadAt read, uint64_t size);

    qpdf_offset_t findAndSkipNextEOL() override;
    std::string const& getName() const override { return mstrName; }
    qpdf_offset_t tell() override { return mintOffset; }
    void seek(qpdf_offset_t offset, int whence) override;
    void rewind() override { mintOffset = 0; }
    size_t read(char* buffer, size_t length) override;
    void unreadCh(char ch) override;

private:
    // Makes the block hold the byte at the offset; false past the end.
    bool mLoad(qpdf_offset_t offset);

    PdfReadAt mRead;
    qpdf_offset_t mintSize;
    std::string mstrName = "print job";
    qpdf_offset_t mintOffset = 0;
    std::vector<unsigned char> mvecBlock;
    qpdf_offset_t mintBlockStart = 0;
    size_t mintBlockLength = 0;
};

}  // namespace RawPrintData::Pdf
