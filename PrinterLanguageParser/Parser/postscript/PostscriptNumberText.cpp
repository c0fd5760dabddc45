#include "PrinterLanguageParser/Parser/postscript/PostscriptNumberText.h"

#include "PrinterLanguageParser/Parser/CommandText.h"

#include <charconv>
#include <limits>

namespace RawPrintData::Postscript {

// Reads the leading integer, saturating.
int64_t ReadLeadingInteger(std::string_view text)
{
    return ReadSigned(text).value_or(0);
}

// Reads the leading real number in the classic locale.
double ReadLeadingReal(std::string_view text)
{
    // The white space that atof skips.
    const size_t start = text.find_first_not_of(TEXT_WHITESPACE);
    text = start == std::string_view::npos ? std::string_view() : text.substr(start);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars takes no sign of its own here, so "+-1" stays invalid as in atof.
    if (text.empty() || text.front() == '+' || text.front() == '-')
        return 0.0;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value,
                                              std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too large saturates at infinity, too small at zero, as strtod does.
        const std::string_view digits(text.data(), static_cast<size_t>(end - text.data()));
        const size_t exponent = digits.find_first_of("eE");
        const bool tiny = exponent != std::string_view::npos && exponent + 1 < digits.size() &&
                          digits[exponent + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (error != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

// Reads the leading integer as a count.
unsigned long ReadLeadingCount(std::string_view text)
{
    const int64_t value = ReadLeadingInteger(text);
    if (value <= 0)
        return 0;
    if (static_cast<uint64_t>(value) > std::numeric_limits<unsigned long>::max())
        return std::numeric_limits<unsigned long>::max();
    return static_cast<unsigned long>(value);
}

}  // namespace RawPrintData::Postscript
