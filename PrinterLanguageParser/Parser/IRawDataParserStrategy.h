#pragma once

namespace RawPrintData {

class IRawDataParser;

// One action a recognised command triggers on its parser. Each language
// derives its own strategy family from this; the language-independent ones
// are in ParserStrategies.h.
class IRawDataParserStrategy {
public:
    virtual ~IRawDataParserStrategy() = default;
    virtual void Execute(IRawDataParser* parser) const = 0;

protected:
    IRawDataParserStrategy() = default;
    IRawDataParserStrategy(const IRawDataParserStrategy&) = default;
    IRawDataParserStrategy& operator=(const IRawDataParserStrategy&) = default;
};

}  // namespace RawPrintData
