#include "PrinterLanguageParser/Parser/postscript/PostscriptParserStrategies.h"

#include "PrinterLanguageParser/Parser/postscript/PostscriptStrategyInstances.h"

namespace RawPrintData::Postscript {

// Sets a keyword's strategy.
void PostscriptParserStrategies::AddOrReplace(std::string_view keyword, const IParserStrategy* strategy)
{
    Remove(keyword);
    if (strategy != nullptr)
        mStrategies.emplace(std::string(keyword), strategy);
}

// Removes a keyword.
void PostscriptParserStrategies::Remove(std::string_view keyword)
{
    const auto found = mStrategies.find(keyword);
    if (found != mStrategies.end())
        mStrategies.erase(found);
}

// A keyword's strategy.
const IParserStrategy* PostscriptParserStrategies::GetStrategy(std::string_view keyword) const
{
    const auto found = mStrategies.find(keyword);
    return found == mStrategies.end() ? &ParserStrategies::NullParserStrategy_Impl : found->second;
}

// Adds a table once.
void PostscriptParserStrategies::mAddTable(KeywordTableId table)
{
    if (table >= mblnAdded.size() || mblnAdded[table])
        return;
    for (const KeywordEntry& entry : KeywordTable(table))
        AddOrReplace(entry.mstrKeyword, entry.mStrategy);
    mblnAdded[table] = true;
}

}  // namespace RawPrintData::Postscript
