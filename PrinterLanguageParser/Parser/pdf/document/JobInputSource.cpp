#include "PrinterLanguageParser/Parser/pdf/document/JobInputSource.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace RawPrintData::Pdf {

namespace {

constexpr size_t BLOCK_SIZE = 64 * 1024;

}  // namespace

JobInputSource::JobInputSource(PdfReadAt read, uint64_t size)
    : mRead(std::move(read)),
      mintSize(static_cast<qpdf_offset_t>(
          std::min<uint64_t>(size, static_cast<uint64_t>(std::numeric_limits<qpdf_offset_t>::max())))),
      mvecBlock(BLOCK_SIZE)
{
}

bool JobInputSource::mLoad(qpdf_offset_t offset)
{
    if (offset < 0 || offset >= mintSize)
        return false;
    if (offset >= mintBlockStart && offset < mintBlockStart + static_cast<qpdf_offset_t>(mintBlockLength))
        return true;
    const int64_t read = mRead(static_cast<uint64_t>(offset), mvecBlock.data(), mvecBlock.size());
    if (read <= 0)
        throw std::runtime_error("print job: the job's bytes could not be read");
    mintBlockStart = offset;
    mintBlockLength = static_cast<size_t>(read);
    return true;
}

// As qpdf's own sources do: the offset of the next CR or LF (or the end),
// leaving the position after the whole run of line ends.
qpdf_offset_t JobInputSource::findAndSkipNextEOL()
{
    while (mLoad(mintOffset)) {
        const unsigned char byte = mvecBlock[static_cast<size_t>(mintOffset - mintBlockStart)];
        if (byte == '\r' || byte == '\n') {
            const qpdf_offset_t result = mintOffset;
            ++mintOffset;
            while (mLoad(mintOffset)) {
                const unsigned char next = mvecBlock[static_cast<size_t>(mintOffset - mintBlockStart)];
                if (next != '\r' && next != '\n')
                    break;
                ++mintOffset;
            }
            return result;
        }
        ++mintOffset;
    }
    mintOffset = mintSize;
    return mintSize;
}

void JobInputSource::seek(qpdf_offset_t offset, int whence)
{
    qpdf_offset_t base = 0;
    if (whence == SEEK_END)
        base = mintSize;
    else if (whence == SEEK_CUR)
        base = mintOffset;
    if ((offset < 0 && base < -offset) || (offset > 0 && offset > std::numeric_limits<qpdf_offset_t>::max() - base))
        throw std::runtime_error("print job: seek outside the job");
    mintOffset = base + offset;
}

size_t JobInputSource::read(char* buffer, size_t length)
{
    last_offset = std::min(mintOffset, mintSize);
    size_t copied = 0;
    while (copied < length && mLoad(mintOffset)) {
        const size_t inBlock = static_cast<size_t>(mintOffset - mintBlockStart);
        const size_t count = std::min(length - copied, mintBlockLength - inBlock);
        std::memcpy(buffer + copied, mvecBlock.data() + inBlock, count);
        copied += count;
        mintOffset += static_cast<qpdf_offset_t>(count);
    }
    return copied;
}

void JobInputSource::unreadCh(char /*ch*/)
{
    if (mintOffset > 0)
        --mintOffset;
}

}  // namespace RawPrintData::Pdf
