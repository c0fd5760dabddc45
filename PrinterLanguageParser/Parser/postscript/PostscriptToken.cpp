#include "PrinterLanguageParser/Parser/postscript/PostscriptToken.h"

namespace RawPrintData::Postscript {

// The token's numeric value.
PostscriptNumber<double> PostscriptToken::DataAsPostscriptReal() const
{
    if (mintType == TOKEN_BINARY_NUMBER)
        return mdblNumber;
    PostscriptNumber<double> number;
    number.SetFromString(Data());
    return number;
}

}  // namespace RawPrintData::Postscript
