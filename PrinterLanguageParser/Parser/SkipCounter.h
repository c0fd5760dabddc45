#pragma once

#include <cstdint>

namespace RawPrintData {

// Data that a command announces (raster rows, downloads, embedded blocks) and
// that a parser passes over unread, by arithmetic, across as many chunks as it
// spans: the data is never buffered, whatever length the command declares.
class SkipCounter {
public:
    void Set(uint64_t count) { mintRemaining = count; }
    void Clear() { mintRemaining = 0; }
    uint64_t Remaining() const { return mintRemaining; }

    // Passes over what is still to skip from position. False when the data at
    // hand (up to end) runs out first: position is then end and the rest is
    // carried over to the next chunk.
    bool Advance(uint64_t& position, uint64_t end)
    {
        if (mintRemaining == 0)
            return true;
        const uint64_t available = end > position ? end - position : 0;
        if (mintRemaining >= available) {
            mintRemaining -= available;
            position = end;
            return false;
        }
        position += mintRemaining;
        mintRemaining = 0;
        return true;
    }

private:
    uint64_t mintRemaining = 0;
};

}  // namespace RawPrintData
