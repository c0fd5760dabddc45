#pragma once

#include "PrinterLanguageParser/Parser/Number.h"
#include "PrinterLanguageParser/Parser/postscript/PostscriptNumberText.h"

#include <string_view>
#include <type_traits>

namespace RawPrintData::Postscript {

// A number read from PostScript text: a real (double) or a count (unsigned long).
template <typename T>
class PostscriptNumber : public Number<T> {
    static_assert(std::is_same_v<T, double> || std::is_same_v<T, unsigned long>);

public:
    constexpr PostscriptNumber() = default;
    constexpr explicit PostscriptNumber(T value) : Number<T>(value) {}

    // Reads the text as atof (reals) or atoi (counts) would, without overflow;
    // a negative count gives 0.
    void SetFromString(std::string_view text)
    {
        if constexpr (std::is_same_v<T, double>)
            this->mValue = ReadLeadingReal(text);
        else
            this->mValue = ReadLeadingCount(text);
    }

    constexpr bool operator==(const PostscriptNumber&) const = default;
};

}  // namespace RawPrintData::Postscript
