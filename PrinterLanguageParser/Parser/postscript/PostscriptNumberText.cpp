#include "PrinterLanguageParser/Parser/postscript/PostscriptNumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace RawPrintData::Postscript {

namespace {

// Skips the white space that atoi and atof skip.
std::string_view mSkipSpace(std::string_view text)
{
    size_t index = 0;
    while (index < text.size() && (text[index] == ' ' || (text[index] >= '\t' && text[index] <= '\r')))
        ++index;
    return text.substr(index);
}

}  // namespace

// Reads the leading integer, saturating.
int64_t ReadLeadingInteger(std::string_view text)
{
    text = mSkipSpace(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int64_t value = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '9')
            break;
        const int step = digit - '0';
        if (value > (std::numeric_limits<int64_t>::max() - step) / 10)
            return negative ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
        value = value * 10 + step;
    }
    return negative ? -value : value;
}

// Reads the leading real number in the classic locale.
double ReadLeadingReal(std::string_view text)
{
    text = mSkipSpace(text);
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
