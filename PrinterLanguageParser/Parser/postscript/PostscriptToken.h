#pragma once

#include "PrinterLanguageParser/Parser/postscript/PostscriptNumber.h"
#include "PrinterLanguageParser/Parser/postscript/TokenText.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace RawPrintData::Postscript {

enum PostscriptTokenType : int32_t {
    TOKEN_NUMBER = 0,          // began with a digit, "+" or "-"
    TOKEN_NAME = 1,            // any other name; literal names keep their "/"
    TOKEN_STRING = 2,          // ( ) contents, escapes resolved
    TOKEN_HEX_STRING = 3,      // < > contents
    TOKEN_BASE85_STRING = 4,   // <~ ~> contents
    TOKEN_COMMENT = 5,         // "%" to the end of the line
    TOKEN_DSC_COMMENT = 6,     // a comment line that began with "%%"
    TOKEN_PROLOGUE = 7,        // a "%!PS" line
    TOKEN_DICTIONARY = 8,      // "<<" or ">>"
    TOKEN_PROCEDURE = 9,       // "{" or "}"
    TOKEN_ARRAY = 10,          // "[" or "]"
    TOKEN_BINARY = 11,         // body of a binary token that is no number or system name
    TOKEN_BINARY_NUMBER = 12,  // empty text; the value is carried as a double
};

// A token as the tokenizer signals it: its text is only valid during the
// listener's call (it lies in the job's bytes or the tokenizer's buffer).
class PostscriptTokenView {
public:
    constexpr PostscriptTokenView(PostscriptTokenType type, std::string_view text,
                                  PostscriptNumber<double> number = PostscriptNumber<double>())
        : mstrData(text), mintType(type), mdblNumber(number)
    {
    }

    std::string_view Data() const { return mstrData; }
    PostscriptTokenType Type() const { return mintType; }
    PostscriptNumber<double> Number() const { return mdblNumber; }

private:
    std::string_view mstrData;
    PostscriptTokenType mintType;
    PostscriptNumber<double> mdblNumber;
};

// One token of a PostScript job, kept (in the recent tokens and variables).
class PostscriptToken {
public:
    PostscriptToken() = default;
    PostscriptToken(std::string_view text, PostscriptTokenType type) : mstrData(text), mintType(type) {}
    explicit PostscriptToken(PostscriptNumber<double> number)
        : mintType(TOKEN_BINARY_NUMBER), mdblNumber(number)
    {
    }
    explicit PostscriptToken(const PostscriptTokenView& token)
        : mstrData(token.Data()), mintType(token.Type()), mdblNumber(token.Number())
    {
    }

    // Takes a signalled token's type, text and number, reusing this
    // token's text storage.
    void Assign(const PostscriptTokenView& token)
    {
        mstrData.Assign(token.Data());
        mintType = token.Type();
        mdblNumber = token.Number();
    }
    PostscriptTokenView View() const { return PostscriptTokenView(mintType, mstrData.View(), mdblNumber); }

    std::string_view Data() const { return mstrData.View(); }
    PostscriptTokenType Type() const { return mintType; }

    // The value for a binary number, else the text read as atof reads it
    // ("0.5" gives 0.5, a name gives 0).
    PostscriptNumber<double> DataAsPostscriptReal() const;

    // Whether the token counts as a number operand.
    bool IsNumber() const { return mintType == TOKEN_NUMBER || mintType == TOKEN_BINARY_NUMBER; }
    // Whether the token is the given name.
    bool IsName(std::string_view name) const { return mintType == TOKEN_NAME && Data() == name; }

    bool operator==(const PostscriptToken& other) const
    {
        return mintType == other.mintType && Data() == other.Data() && mdblNumber == other.mdblNumber;
    }

private:
    TokenText mstrData;
    PostscriptTokenType mintType = TOKEN_NAME;
    PostscriptNumber<double> mdblNumber;
};

}  // namespace RawPrintData::Postscript
