#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenList.h"

#include <algorithm>
#include <stdexcept>

namespace RawPrintData::Postscript {

// Makes an empty list of the given capacity (at least one).
PostscriptTokenList::PostscriptTokenList(size_t capacity) : mvecSlots(std::max<size_t>(capacity, 1)) {}

// Adds the newest token.
void PostscriptTokenList::Add(const PostscriptToken& token)
{
    mintNewest = mintNewest + 1 == mvecSlots.size() ? 0 : mintNewest + 1;
    // Copy assignment reuses the slot's text storage.
    mvecSlots[mintNewest] = token;
    if (mintLength < mvecSlots.size())
        ++mintLength;
}

// Drops the newest tokens.
void PostscriptTokenList::EraseRecent(size_t count)
{
    count = std::min(count, mintLength);
    mintLength -= count;
    mintNewest = (mintNewest + mvecSlots.size() - count % mvecSlots.size()) % mvecSlots.size();
}

// The token at an age; index 0 is the newest.
const PostscriptToken& PostscriptTokenList::TokenAtTime(size_t index) const
{
    if (index >= mintLength)
        throw std::out_of_range("PostscriptTokenList index");
    const size_t size = mvecSlots.size();
    return mvecSlots[(mintNewest + size - index) % size];
}

}  // namespace RawPrintData::Postscript
