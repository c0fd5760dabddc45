#pragma once

#include "PrinterLanguageParser/Parser/postscript/PostscriptTokenList.h"

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace RawPrintData::Postscript {

// Token lists stored under a name by the strategies (a prologue's fill and
// outline colours). At most mintMAX_VARIABLES names are kept.
class PostscriptVariables {
public:
    static constexpr size_t mintMAX_VARIABLES = 64;

    // Stores the count newest tokens of the list under the name, newest first.
    void SetVariable(std::string_view name, const PostscriptTokenList& tokens, size_t count);
    // The list stored under the name, or null.
    const PostscriptTokenList* GetVariable(std::string_view name) const;

private:
    std::map<std::string, PostscriptTokenList, std::less<>> mVariables;
};

}  // namespace RawPrintData::Postscript
