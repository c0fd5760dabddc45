#pragma once

#include "PrinterLanguageParser/Parser/postscript/PostscriptToken.h"

namespace RawPrintData::Postscript {

// Receives the tokens of a PostscriptTokenizer.
class ITokenListener {
public:
    virtual ~ITokenListener() = default;
    // False asks the tokenizer to stop because another language begins.
    // The token's text is only valid during the call.
    virtual bool TokenScanned(const PostscriptTokenView& token) = 0;

protected:
    ITokenListener() = default;
    ITokenListener(const ITokenListener&) = default;
    ITokenListener& operator=(const ITokenListener&) = default;
};

}  // namespace RawPrintData::Postscript
