#include "PrinterLanguageParser/Parser/ControlByteFinder.h"

#include <algorithm>
#include <cstring>

namespace RawPrintData {

// Looks at the next few bytes, then takes the nearer of the next form feed
// and the next escape.
uint64_t ControlByteFinder::Next(uint64_t from)
{
    const bool inPre = from < mbytPre.size();
    const std::span<const unsigned char> part = inPre ? mbytPre : mbytMain;
    const uint64_t partStart = inPre ? 0 : mbytPre.size();
    if (from - partStart < part.size()) {
        const uint64_t near = std::min<uint64_t>(part.size(), from - partStart + mintNEAR_BYTES);
        for (uint64_t index = from - partStart; index < near; ++index) {
            if (part[index] == mbytESCAPE || part[index] == mbytFORM_FEED)
                return partStart + index;
        }
        from = partStart + near;
    }
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
    if (from < mbytPre.size()) {
        const void* found = std::memchr(mbytPre.data() + from, byte, mbytPre.size() - from);
        if (found != nullptr)
            return static_cast<uint64_t>(static_cast<const unsigned char*>(found) - mbytPre.data());
        from = mbytPre.size();
    }
    const uint64_t mainFrom = from - mbytPre.size();
    if (mainFrom >= mbytMain.size())
        return DataBuffer::npos;
    const void* found = std::memchr(mbytMain.data() + mainFrom, byte, mbytMain.size() - mainFrom);
    if (found == nullptr)
        return DataBuffer::npos;
    return mbytPre.size() + static_cast<uint64_t>(static_cast<const unsigned char*>(found) - mbytMain.data());
}

}  // namespace RawPrintData
