#pragma once

#include "PrinterLanguageParser/Parser/DataBuffer.h"

#include <cstdint>
#include <span>
#include <vector>

namespace RawPrintData {

// A contiguous view of the bytes from a position of a DataBuffer, for parsers
// that read a command as one run of bytes: a span straight into the part that
// holds them, or, for the few commands that straddle the kept tail and the new
// chunk, a copy in a scratch vector. Never more than the wanted count is
// copied, so the scratch stays as small as the longest command read.
class ContiguousBytes {
public:
    // Takes the two parts of a buffer for the views that follow.
    void Bind(const DataBuffer& buffer)
    {
        mbytPre = buffer.PreBuffer();
        mbytMain = buffer.MainBuffer();
    }

    // Up to wanted bytes from position of the bound buffer (fewer at the end
    // of the data). The view is valid until the next call or until the
    // buffer changes.
    std::span<const unsigned char> View(uint64_t position, uint64_t wanted)
    {
        if (position >= mbytPre.size()) {
            const uint64_t offset = position - mbytPre.size();
            if (offset >= mbytMain.size())
                return {};
            return mbytMain.subspan(offset, wanted < mbytMain.size() - offset ? wanted : mbytMain.size() - offset);
        }
        const uint64_t total = mbytPre.size() + mbytMain.size();
        const uint64_t count = wanted < total - position ? wanted : total - position;
        if (position + count <= mbytPre.size())
            return mbytPre.subspan(position, count);
        mvecScratch.assign(mbytPre.begin() + static_cast<std::ptrdiff_t>(position), mbytPre.end());
        mvecScratch.insert(mvecScratch.end(), mbytMain.begin(),
                           mbytMain.begin() + static_cast<std::ptrdiff_t>(count - (mbytPre.size() - position)));
        return mvecScratch;
    }

    // Binds the buffer and views it in one step.
    std::span<const unsigned char> View(const DataBuffer& buffer, uint64_t position, uint64_t wanted)
    {
        Bind(buffer);
        return View(position, wanted);
    }

private:
    std::span<const unsigned char> mbytPre;
    std::span<const unsigned char> mbytMain;
    std::vector<unsigned char> mvecScratch;
};

}  // namespace RawPrintData
