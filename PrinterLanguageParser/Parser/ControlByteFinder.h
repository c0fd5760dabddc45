#pragma once

#include "PrinterLanguageParser/Parser/DataBuffer.h"

#include <cstdint>
#include <span>

namespace RawPrintData {

// Finds the next form feed or escape (and, with FindGroupSeparators, GS,
// which opens ESC/Page's commands) in one call's data, for the parsers of
// escape-sequence languages that pass over every other byte. The few bytes
// after the position are looked at directly (in command-dense data the next
// escape is close); beyond them each byte is searched with memchr, and where
// its next occurrence lies is remembered, so that a walk through the data
// searches each stretch once however the two bytes interleave.
template <bool FindGroupSeparators>
class BasicControlByteFinder {
public:
    static constexpr unsigned char mbytFORM_FEED = 0x0C;
    static constexpr unsigned char mbytESCAPE = 0x1B;
    static constexpr unsigned char mbytGROUP_SEPARATOR = 0x1D;

    explicit BasicControlByteFinder(const DataBuffer& buffer)
        : mbytPre(buffer.PreBuffer()), mbytMain(buffer.MainBuffer())
    {
    }

    // The first position at or after from that holds a form feed or an escape
    // (or GS), or DataBuffer::npos.
    uint64_t Next(uint64_t from);

private:
    // How many bytes are looked at directly before searching.
    static constexpr uint64_t mintNEAR_BYTES = 16;

    // One byte's next position, searched again only once it lies behind.
    struct Cached {
        uint64_t mintPosition = 0;
        bool mblnSearched = false;
    };

    uint64_t mNext(Cached& cached, unsigned char byte, uint64_t from) const;
    uint64_t mFind(unsigned char byte, uint64_t from) const;

    std::span<const unsigned char> mbytPre;
    std::span<const unsigned char> mbytMain;
    Cached mFormFeed;
    Cached mEscape;
    Cached mGroupSeparator;
};

// Form feeds and escapes (PCL 5, ESC/P); with GS as well (ESC/P and ESC/Page).
using ControlByteFinder = BasicControlByteFinder<false>;
using EscPageControlByteFinder = BasicControlByteFinder<true>;
extern template class BasicControlByteFinder<false>;
extern template class BasicControlByteFinder<true>;

}  // namespace RawPrintData
