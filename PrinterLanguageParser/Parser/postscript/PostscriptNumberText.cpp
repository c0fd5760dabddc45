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

namespace {

// Most numbers in jobs are short decimals: with at most 15 digits, the
// integer of their digits and the power of ten are exact doubles, so one
// division gives the correctly rounded value that from_chars gives. False
// (nothing read) for anything else.
bool ReadShortDecimal(std::string_view text, double& value)
{
    static constexpr double POWERS_OF_TEN[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    uint64_t digits = 0;
    int count = 0;
    int fraction = -1;  // digits after the point, -1 before it
    size_t index = 0;
    for (; index < text.size(); ++index) {
        const char character = text[index];
        if (character >= '0' && character <= '9') {
            if (++count > 15)
                return false;
            digits = digits * 10 + static_cast<uint64_t>(character - '0');
            if (fraction >= 0)
                ++fraction;
        } else if (character == '.' && fraction < 0) {
            fraction = 0;
        } else {
            break;
        }
    }
    if (count == 0 || (index < text.size() && (text[index] == 'e' || text[index] == 'E')))
        return false;
    value = static_cast<double>(digits) / POWERS_OF_TEN[fraction > 0 ? fraction : 0];
    return true;
}

}  // namespace

// Reads the leading real number in the classic locale.
double ReadLeadingReal(std::string_view text)
{
    // The white space that atof skips.
    text = SkipLeadingWhiteSpace(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars takes no sign of its own here, so "+-1" stays invalid as in atof.
    if (text.empty() || text.front() == '+' || text.front() == '-')
        return 0.0;
    double value = 0.0;
    if (ReadShortDecimal(text, value))
        return negative ? -value : value;
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
