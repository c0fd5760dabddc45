#pragma once

#include "PrinterLanguageParser/Parser/postscript/PostscriptToken.h"

#include <cstddef>
#include <vector>

namespace RawPrintData::Postscript {

// The most recent tokens, newest first, bounded by a capacity fixed at
// construction. A ring: adding a token overwrites the oldest slot in place,
// so a full list neither moves tokens nor allocates for texts it has held.
class PostscriptTokenList {
public:
    static constexpr size_t mintDEFAULT_CAPACITY = 100;

    explicit PostscriptTokenList(size_t capacity = mintDEFAULT_CAPACITY);

    // Inserts the token as the newest; the oldest is dropped beyond the capacity.
    void Add(const PostscriptTokenView& token)
    {
        mintNewest = mintNewest + 1 == mintCapacity ? 0 : mintNewest + 1;
        // The slot's text storage is reused.
        mvecSlots[mintNewest].Assign(token);
        if (mintLength < mintCapacity)
            ++mintLength;
    }
    void Add(const PostscriptToken& token) { Add(token.View()); }
    // Drops the n newest tokens.
    void EraseRecent(size_t count);
    void EraseAll() { mintLength = 0; }

    // Index 0 is the newest. Callers check Length first.
    const PostscriptToken& TokenAtTime(size_t index) const
    {
        if (index >= mintLength)
            mThrowOutOfRange();
        const size_t slot = mintNewest >= index ? mintNewest - index : mintNewest + mintCapacity - index;
        return mvecSlots[slot];
    }
    const PostscriptToken& operator[](size_t index) const { return TokenAtTime(index); }
    const PostscriptToken& MostRecent() const { return TokenAtTime(0); }
    const PostscriptToken& LeastRecent() const { return TokenAtTime(mintLength - 1); }

    // The token at the index, or null when the list is shorter.
    const PostscriptToken* Find(size_t index) const { return index < mintLength ? &TokenAtTime(index) : nullptr; }

    size_t Length() const { return mintLength; }
    size_t BufferSize() const { return mintCapacity; }

private:
    [[noreturn]] static void mThrowOutOfRange();

    std::vector<PostscriptToken> mvecSlots;
    size_t mintCapacity;
    size_t mintNewest = 0;  // slot of the newest token
    size_t mintLength = 0;
};

}  // namespace RawPrintData::Postscript
