#include "hook/KeptJobBytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One read at an offset, again after a signal.
int64_t ReadFileAt(int file, uint64_t offset, std::span<unsigned char> into)
{
    if (offset > static_cast<uint64_t>(std::numeric_limits<off_t>::max()))
        return 0;
    ssize_t got;
    do {
        got = pread(file, into.data(), into.size(), static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    return got;
}

}  // namespace

uint64_t KeptJobBytes::Size() const
{
    if (mSpool != nullptr)
        return mSpool->GetSize();
    struct stat status {};
    if (mintFile < 0 || fstat(mintFile, &status) != 0 || status.st_size < 0)
        return 0;
    return static_cast<uint64_t>(status.st_size);
}

int64_t KeptJobBytes::ReadAt(uint64_t offset, std::span<unsigned char> into) const
{
    if (mSpool == nullptr)
        return mintFile < 0 ? -1 : ReadFileAt(mintFile, offset, into);
    // A spool that lost a piece holds no whole job.
    if (mSpool->HasFailed())
        return -1;
    const std::span<const unsigned char> head = mSpool->GetHead();
    if (offset < head.size()) {
        const size_t count = std::min<uint64_t>(into.size(), head.size() - offset);
        std::memcpy(into.data(), head.data() + offset, count);
        return static_cast<int64_t>(count);
    }
    if (offset >= mSpool->GetSize() || mSpool->GetSpillDescriptor() < 0)
        return 0;
    const uint64_t left = mSpool->GetSize() - offset;
    return ReadFileAt(mSpool->GetSpillDescriptor(), offset - head.size(),
                      into.first(static_cast<size_t>(std::min<uint64_t>(into.size(), left))));
}
