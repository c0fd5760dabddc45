#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

namespace RawPrintData {

// Random access to the whole of a job's data, for the formats that can only
// be read once the job is complete (PDF's cross-reference table is at its
// end; the raster readers are driven by the CUPS library, which pulls its
// bytes). The program that feeds the handler gives it the bytes it keeps of
// the job anyway, so the parser holds no copy of its own.
class IJobBytes {
public:
    virtual ~IJobBytes() = default;

    // The number of bytes the job has so far.
    virtual uint64_t Size() const = 0;

    // Copies up to into.size() bytes from the offset: the count copied, 0 at
    // or past the end, -1 when the bytes cannot be read.
    virtual int64_t ReadAt(uint64_t offset, std::span<unsigned char> into) const = 0;
};

// Job bytes that are all in memory (not owned).
class MemoryJobBytes final : public IJobBytes {
public:
    explicit MemoryJobBytes(std::span<const unsigned char> bytes) : mBytes(bytes) {}

    uint64_t Size() const override { return mBytes.size(); }

    int64_t ReadAt(uint64_t offset, std::span<unsigned char> into) const override
    {
        if (offset >= mBytes.size())
            return 0;
        const size_t count = std::min<uint64_t>(into.size(), mBytes.size() - offset);
        if (count > 0)
            std::memcpy(into.data(), mBytes.data() + offset, count);
        return static_cast<int64_t>(count);
    }

private:
    std::span<const unsigned char> mBytes;
};

}  // namespace RawPrintData
