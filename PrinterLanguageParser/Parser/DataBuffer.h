#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace RawPrintData {

// The bytes a parser reads: the tail kept from earlier chunks (pre-buffer,
// owned) followed by the caller's current chunk (main buffer, not owned),
// under one logical index. Byte i is pre-buffer[i] below the pre-buffer
// length, else main[i - pre-buffer length].
//
// The pre-buffer is kept with a moving start so that consuming its front is
// free and appending a chunk costs only that chunk: feeding a job in any chunk
// size copies each byte a bounded number of times.
class DataBuffer {
public:
    static constexpr uint64_t npos = UINT64_MAX;

    DataBuffer() = default;
    // Copies the pre-buffer and shares the main buffer.
    DataBuffer(const DataBuffer& other);
    DataBuffer& operator=(const DataBuffer& other);
    // A flat owned copy of the first limit bytes of both parts (main empty).
    DataBuffer(const DataBuffer& other, uint64_t limit);

    // The byte at a logical index; 0 past the end.
    unsigned char operator[](uint64_t index) const
    {
        const uint64_t preLength = PreBufferLength();
        if (index < preLength)
            return mvecPre[mintPreStart + index];
        index -= preLength;
        return index < mintMainLength ? mbytMain[index] : 0;
    }

    uint64_t Length() const { return PreBufferLength() + mintMainLength; }
    uint64_t PreBufferLength() const { return mvecPre.size() - mintPreStart; }
    uint64_t MainBufferLength() const { return mintMainLength; }

    // The two parts as they are, for parsers that scan in bulk.
    std::span<const unsigned char> PreBuffer() const;
    std::span<const unsigned char> MainBuffer() const;

    void SetMainBuffer(const unsigned char* data, uint64_t length);
    void ClearPreBuffer();

    // Makes logical index n the new start. False (nothing changed) when n lies
    // beyond the data.
    bool AdjustToStartAt(uint64_t index);

    // Keeps the bytes from logical index n to the end as the new pre-buffer and
    // drops the main buffer (the caller's chunk is only valid for one call).
    // False (nothing changed) when n lies beyond the data.
    bool CopyFromMainIntoPrebuffer(uint64_t index);

    // Replaces the string's content with the pre-buffer followed by the main buffer.
    void CopyFullBufferInto(std::string& bytes) const;

    // The first logical index at or after from where the bytes occur, or npos.
    uint64_t Find(std::string_view bytes, uint64_t from = 0) const;

private:
    // Drops the consumed front of the pre-buffer once it outweighs the rest.
    void mCompactPreBuffer();

    std::vector<unsigned char> mvecPre;
    uint64_t mintPreStart = 0;
    const unsigned char* mbytMain = nullptr;
    uint64_t mintMainLength = 0;
};

}  // namespace RawPrintData
