#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParserStrategy.h"

namespace RawPrintData {

// Base of the strategies that act on one language's parser itself: the
// frame's Execute finds that parser and calls the language's own Execute, and
// does nothing for any other parser. Each language instantiates it once, in
// the source file that knows its parser class, and declares that with
// extern template where its strategies are declared.
template <typename Parser>
class LanguageStrategy : public IRawDataParserStrategy {
public:
    void Execute(IRawDataParser* parser) const override
    {
        if (auto* own = dynamic_cast<Parser*>(parser))
            Execute(*own);
    }

    virtual void Execute(Parser& parser) const = 0;
};

}  // namespace RawPrintData
