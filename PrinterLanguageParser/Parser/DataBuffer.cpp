#include "PrinterLanguageParser/Parser/DataBuffer.h"

#include <algorithm>
#include <cstring>

namespace RawPrintData {

namespace {

// The bytes of a span as characters, for searching.
std::string_view AsText(std::span<const unsigned char> bytes)
{
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

// Copies the live pre-buffer and shares the main buffer.
DataBuffer::DataBuffer(const DataBuffer& other)
    : mvecPre(other.PreBuffer().begin(), other.PreBuffer().end()),
      mbytMain(other.mbytMain),
      mintMainLength(other.mintMainLength)
{
}

// Assigns as the copy constructor copies.
DataBuffer& DataBuffer::operator=(const DataBuffer& other)
{
    if (this != &other) {
        mvecPre.assign(other.PreBuffer().begin(), other.PreBuffer().end());
        mintPreStart = 0;
        mbytMain = other.mbytMain;
        mintMainLength = other.mintMainLength;
    }
    return *this;
}

// Makes an owned flat copy of the first limit bytes.
DataBuffer::DataBuffer(const DataBuffer& other, uint64_t limit)
{
    limit = std::min(limit, other.Length());
    const auto pre = other.PreBuffer();
    const uint64_t fromPre = std::min<uint64_t>(limit, pre.size());
    mvecPre.reserve(limit);
    mvecPre.insert(mvecPre.end(), pre.begin(), pre.begin() + fromPre);
    const auto main = other.MainBuffer();
    mvecPre.insert(mvecPre.end(), main.begin(), main.begin() + (limit - fromPre));
}

// The live part of the pre-buffer.
std::span<const unsigned char> DataBuffer::PreBuffer() const
{
    return std::span<const unsigned char>(mvecPre).subspan(mintPreStart);
}

// The caller's current chunk.
std::span<const unsigned char> DataBuffer::MainBuffer() const
{
    return mbytMain == nullptr ? std::span<const unsigned char>()
                               : std::span<const unsigned char>(mbytMain, mintMainLength);
}

// Points the main part at a new chunk; the pre-buffer stays in front of it.
void DataBuffer::SetMainBuffer(const unsigned char* data, uint64_t length)
{
    mbytMain = data;
    mintMainLength = data == nullptr ? 0 : length;
}

// Frees the pre-buffer.
void DataBuffer::ClearPreBuffer()
{
    std::vector<unsigned char>().swap(mvecPre);
    mintPreStart = 0;
}

// Re-bases the logical index at n.
bool DataBuffer::AdjustToStartAt(uint64_t index)
{
    if (index > Length())
        return false;
    const uint64_t preLength = PreBufferLength();
    if (index >= preLength) {
        const uint64_t intoMain = index - preLength;
        if (mbytMain != nullptr)
            mbytMain += intoMain;
        mintMainLength -= intoMain;
        mvecPre.clear();
        mintPreStart = 0;
    } else {
        mintPreStart += index;
    }
    return true;
}

// Keeps everything from n on as the pre-buffer.
bool DataBuffer::CopyFromMainIntoPrebuffer(uint64_t index)
{
    if (index > Length())
        return false;
    const uint64_t preLength = PreBufferLength();
    const auto main = MainBuffer();
    if (index >= preLength) {
        mvecPre.assign(main.begin() + (index - preLength), main.end());
        mintPreStart = 0;
    } else {
        mintPreStart += index;
        mCompactPreBuffer();
        mvecPre.insert(mvecPre.end(), main.begin(), main.end());
    }
    mbytMain = nullptr;
    mintMainLength = 0;
    return true;
}

// Moves the live bytes to the front when the dead front is the larger part,
// so that the cost stays proportional to the bytes consumed.
void DataBuffer::mCompactPreBuffer()
{
    if (mintPreStart == 0 || mintPreStart < PreBufferLength())
        return;
    mvecPre.erase(mvecPre.begin(), mvecPre.begin() + static_cast<std::ptrdiff_t>(mintPreStart));
    mintPreStart = 0;
}

// Flattens both parts into one string.
void DataBuffer::CopyFullBufferInto(std::string& bytes) const
{
    bytes.assign(AsText(PreBuffer()));
    bytes.append(AsText(MainBuffer()));
}

// Searches both parts without flattening the main buffer.
uint64_t DataBuffer::Find(std::string_view bytes, uint64_t from) const
{
    const uint64_t total = Length();
    if (from > total || total - from < bytes.size())
        return npos;
    if (bytes.empty())
        return from;

    // Occurrences that start in the pre-buffer: search it together with the
    // first bytes of the main buffer that such an occurrence may reach into.
    const uint64_t preLength = PreBufferLength();
    if (from < preLength) {
        const auto main = MainBuffer();
        std::string seam(AsText(PreBuffer().subspan(from)));
        seam.append(AsText(main.first(std::min<uint64_t>(main.size(), bytes.size() - 1))));
        const size_t found = seam.find(bytes);
        if (found != std::string::npos)
            return from + found;
    }

    const uint64_t mainFrom = from > preLength ? from - preLength : 0;
    const size_t found = AsText(MainBuffer()).find(bytes, mainFrom);
    return found == std::string_view::npos ? npos : preLength + found;
}

}  // namespace RawPrintData
