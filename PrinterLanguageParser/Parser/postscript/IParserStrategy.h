#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParserStrategy.h"

namespace RawPrintData::Postscript {

class IPostscriptParser;
class PostscriptTokenList;

// What a PostScript keyword does. When it runs, the keyword is not yet in the
// recent tokens, so index 0 of the list is the operand written just before it.
class IParserStrategy : public IRawDataParserStrategy {
public:
    // Runs on a PostScript parser's recent tokens; nothing for other parsers.
    void Execute(IRawDataParser* parser) const override;
    virtual void Execute(IPostscriptParser* parser, const PostscriptTokenList& tokens) const = 0;
    // True when the executed keyword is not recorded in the recent tokens.
    virtual bool SuppressToken() const { return false; }

protected:
    constexpr IParserStrategy() = default;
};

}  // namespace RawPrintData::Postscript
