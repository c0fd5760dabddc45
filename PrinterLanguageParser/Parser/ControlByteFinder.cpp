#include "PrinterLanguageParser/Parser/ControlByteFinder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace RawPrintData {

namespace {

constexpr uint64_t ONES = 0x0101010101010101ULL;
constexpr uint64_t HIGH_BITS = 0x8080808080808080ULL;

// The high bit of every byte of the word that equals the byte (and maybe of
// later ones: only the first marked byte is exact).
constexpr uint64_t BytesEqual(uint64_t word, unsigned char byte)
{
    const uint64_t difference = word ^ (ONES * byte);
    return (difference - ONES) & ~difference & HIGH_BITS;
}

// The index of the first form feed or escape (or GS) among eight bytes, or 8.
template <bool GroupSeparators>
unsigned int FirstControlByte(const unsigned char* bytes)
{
    uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    uint64_t found = BytesEqual(word, ControlByteFinder::mbytFORM_FEED) | BytesEqual(word, ControlByteFinder::mbytESCAPE);
    if constexpr (GroupSeparators)
        found |= BytesEqual(word, ControlByteFinder::mbytGROUP_SEPARATOR);
    return found == 0 ? 8 : static_cast<unsigned int>(std::countr_zero(found)) / 8;
}

}  // namespace

// Looks at the next few bytes, then takes the nearer of the next form feed
// and the next escape (and GS).
template <bool FindGroupSeparators>
uint64_t BasicControlByteFinder<FindGroupSeparators>::Next(uint64_t from)
{
    const bool inPre = from < mbytPre.size();
    const std::span<const unsigned char> part = inPre ? mbytPre : mbytMain;
    const uint64_t partStart = inPre ? 0 : mbytPre.size();
    if (from - partStart < part.size()) {
        // Sequences mostly follow one another: the byte at hand first, then
        // eight bytes at a time while a whole word is at hand, then one by one.
        uint64_t index = from - partStart;
        if (const unsigned char byte = part[index];
            byte == mbytESCAPE || byte == mbytFORM_FEED || (FindGroupSeparators && byte == mbytGROUP_SEPARATOR))
            return from;
        const uint64_t near = std::min<uint64_t>(part.size(), index + mintNEAR_BYTES);
        for (; index + 8 <= near; index += 8) {
            const unsigned int found = FirstControlByte<FindGroupSeparators>(part.data() + index);
            if (found < 8)
                return partStart + index + found;
        }
        for (; index < near; ++index) {
            const unsigned char byte = part[index];
            if (byte == mbytESCAPE || byte == mbytFORM_FEED || (FindGroupSeparators && byte == mbytGROUP_SEPARATOR))
                return partStart + index;
        }
        from = partStart + near;
    }
    uint64_t next = std::min(mNext(mFormFeed, mbytFORM_FEED, from), mNext(mEscape, mbytESCAPE, from));
    if constexpr (FindGroupSeparators)
        next = std::min(next, mNext(mGroupSeparator, mbytGROUP_SEPARATOR, from));
    return next;
}

// A byte's next position from the cache, searching again when it lies behind.
template <bool FindGroupSeparators>
uint64_t BasicControlByteFinder<FindGroupSeparators>::mNext(Cached& cached, unsigned char byte, uint64_t from) const
{
    if (!cached.mblnSearched || (cached.mintPosition != DataBuffer::npos && cached.mintPosition < from)) {
        cached.mintPosition = mFind(byte, from);
        cached.mblnSearched = true;
    }
    return cached.mintPosition;
}

// Searches the pre-buffer, then the main buffer, with memchr.
template <bool FindGroupSeparators>
uint64_t BasicControlByteFinder<FindGroupSeparators>::mFind(unsigned char byte, uint64_t from) const
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

template class BasicControlByteFinder<false>;
template class BasicControlByteFinder<true>;

}  // namespace RawPrintData
