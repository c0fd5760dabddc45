#include "PrinterLanguageParser/Parser/postscript/PostscriptParserStrategies.h"

#include "PrinterLanguageParser/Parser/postscript/PostscriptStrategyInstances.h"

namespace RawPrintData::Postscript {

// Sets a keyword's strategy.
void PostscriptParserStrategies::AddOrReplace(std::string_view keyword, const IParserStrategy* strategy)
{
    const auto found = mStrategies.find(keyword);
    if (found != mStrategies.end())
        mStrategies.erase(found);
    if (strategy != nullptr)
        mStrategies.emplace(std::string(keyword), strategy);
    mRebuildSlots();
}

// Removes a keyword.
void PostscriptParserStrategies::Remove(std::string_view keyword)
{
    const auto found = mStrategies.find(keyword);
    if (found != mStrategies.end())
        mStrategies.erase(found);
    mRebuildSlots();
}

// A keyword's strategy.
const IParserStrategy* PostscriptParserStrategies::GetStrategy(std::string_view keyword) const
{
    const auto found = mStrategies.find(keyword);
    return found == mStrategies.end() ? &ParserStrategies::NullParserStrategy_Impl : found->second;
}

// Places every keyword of the map in a table at most half full.
void PostscriptParserStrategies::mRebuildSlots()
{
    size_t size = 16;
    while (size < 2 * mStrategies.size())
        size *= 2;
    mvecSlots.assign(size, Slot());
    mSingleByteEntries.fill(nullptr);
    for (const auto& [keyword, strategy] : mStrategies) {
        const uint64_t head = mHead(keyword);
        size_t slot = mHash(head, keyword.size()) & (size - 1);
        while (mvecSlots[slot].mEntry.mStrategy != nullptr)
            slot = (slot + 1) & (size - 1);
        mvecSlots[slot] = Slot{head, keyword, Entry{strategy, strategy->SuppressToken()}};
        if (keyword.size() == 1)
            mSingleByteEntries[static_cast<unsigned char>(keyword[0])] = &mvecSlots[slot].mEntry;
    }
}

// Adds a table once.
void PostscriptParserStrategies::mAddTable(KeywordTableId table)
{
    if (table >= mblnAdded.size() || mblnAdded[table])
        return;
    for (const KeywordEntry& entry : KeywordTable(table)) {
        const auto found = mStrategies.find(entry.mstrKeyword);
        if (found != mStrategies.end())
            mStrategies.erase(found);
        mStrategies.emplace(std::string(entry.mstrKeyword), entry.mStrategy);
    }
    mblnAdded[table] = true;
    mRebuildSlots();
}

}  // namespace RawPrintData::Postscript
