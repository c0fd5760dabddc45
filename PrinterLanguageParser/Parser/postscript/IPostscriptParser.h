#pragma once

#include "PrinterLanguageParser/Parser/IRawDataParser.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptColorSpace.h"

#include <string_view>

namespace RawPrintData::Postscript {

class DscComments;
class PostscriptGraphicsStateStack;
class PostscriptTokenList;
class PostscriptTokenizer;
class PostscriptVariables;

// What the PostScript strategies see of their parser.
class IPostscriptParser : public IRawDataParser {
public:
    virtual DscComments& Comments() = 0;
    virtual PostscriptGraphicsStateStack& GraphicsStateStack() = 0;
    virtual PostscriptTokenList& RecentTokens() = 0;
    virtual PostscriptVariables& Variables() = 0;
    // The tokenizer reading the bytes now (the one of an executed string
    // while its contents are read).
    virtual PostscriptTokenizer& Tokenizer() = 0;
    virtual void MarkCurrentPageAsColor(bool color) = 0;
    virtual bool IsCurrentPageColor() const = 0;
    // Stores the page device's colour space and reports the job's colour type.
    virtual void SetDeviceColorSpace(PostscriptColorSpace colorSpace) = 0;
    virtual PostscriptColorSpace GetDeviceColorSpace() const = 0;
    // Reads a string's contents as PostScript at this point of the job
    // ("cvx"), with a tokenizer of its own and to a bounded depth.
    virtual void TokenizeExecutedString(std::string_view contents) = 0;

protected:
    IPostscriptParser() = default;
};

}  // namespace RawPrintData::Postscript
