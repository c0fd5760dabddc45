#include "PrinterLanguageParser/Parser/postscript/PostscriptVariables.h"

#include <algorithm>

namespace RawPrintData::Postscript {

// Stores tokens under a name.
void PostscriptVariables::SetVariable(std::string_view name, const PostscriptTokenList& tokens, size_t count)
{
    auto found = mVariables.find(name);
    if (found == mVariables.end()) {
        if (mVariables.size() >= mintMAX_VARIABLES)
            return;
        found = mVariables.emplace(std::string(name), PostscriptTokenList()).first;
    }
    PostscriptTokenList& stored = found->second;
    stored.EraseAll();
    count = std::min({count, tokens.Length(), stored.BufferSize()});
    // Added oldest first, so that the newest ends at index 0 as in the source.
    for (size_t index = count; index > 0; --index)
        stored.Add(tokens[index - 1]);
}

// The tokens under a name.
const PostscriptTokenList* PostscriptVariables::GetVariable(std::string_view name) const
{
    const auto found = mVariables.find(name);
    return found == mVariables.end() ? nullptr : &found->second;
}

}  // namespace RawPrintData::Postscript
