#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenList.h"

#include <algorithm>
#include <stdexcept>

namespace RawPrintData::Postscript {

// Makes an empty list of the given capacity (at least one).
PostscriptTokenList::PostscriptTokenList(size_t capacity)
    : mvecSlots(std::max<size_t>(capacity, 1)), mintCapacity(mvecSlots.size())
{
}

// Drops the newest tokens.
void PostscriptTokenList::EraseRecent(size_t count)
{
    count = std::min(count, mintLength);
    mintLength -= count;
    mintNewest = (mintNewest + mvecSlots.size() - count % mvecSlots.size()) % mvecSlots.size();
}

// An index at or beyond the length is a programming error.
void PostscriptTokenList::mThrowOutOfRange()
{
    throw std::out_of_range("PostscriptTokenList index");
}

}  // namespace RawPrintData::Postscript
