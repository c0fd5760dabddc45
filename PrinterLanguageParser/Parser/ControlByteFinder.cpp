#include "PrinterLanguageParser/Parser/ControlByteFinder.h"

#include <algorithm>
#include <cstring>

namespace RawPrintData {

// The nearer of the next form feed and the next escape.
uint64_t ControlByteFinder::Next(uint64_t from)
{
    return std::min(mNext(mFormFeed, mbytFORM_FEED, from), mNext(mEscape, mbytESCAPE, from));
}

// A byte's next position from the cache, searching again when it lies behind.
uint64_t ControlByteFinder::mNext(Cached& cached, unsigned char byte, uint64_t from) const
{
    if (!cached.mblnSearched || (cached.mintPosition != DataBuffer::npos && cached.mintPosition < from)) {
        cached.mintPosition = mFind(byte, from);
        cached.mblnSearched = true;
    }
    return cached.mintPosition;
}

// Searches the pre-buffer, then the main buffer, with memchr.
uint64_t ControlByteFinder::mFind(unsigned char byte, uint64_t from) const
{
    const auto pre = mBuffer.PreBuffer();
    if (from < pre.size()) {
        const void* found = std::memchr(pre.data() + from, byte, pre.size() - from);
        if (found != nullptr)
            return static_cast<uint64_t>(static_cast<const unsigned char*>(found) - pre.data());
        from = pre.size();
    }
    const auto main = mBuffer.MainBuffer();
    const uint64_t mainFrom = from - pre.size();
    if (mainFrom >= main.size())
        return DataBuffer::npos;
    const void* found = std::memchr(main.data() + mainFrom, byte, main.size() - mainFrom);
    if (found == nullptr)
        return DataBuffer::npos;
    return pre.size() + static_cast<uint64_t>(static_cast<const unsigned char*>(found) - main.data());
}

}  // namespace RawPrintData
