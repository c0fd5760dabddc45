#pragma once

#include <cstdint>
#include <span>

namespace RawPrintData::PCL5 {

// The number in a parameter's value text, read as strtoul reads it: leading
// white space, an optional sign, then decimal digits up to the first other
// byte ("1.5" is 1, "-12345" is -12345, "" is 0). The magnitude saturates at
// the 32-bit range, so an overlong digit string neither wraps nor overflows.
inline int32_t ReadParameterValue(std::span<const unsigned char> text)
{
    // Past this magnitude the value is saturated in either direction.
    constexpr int64_t LIMIT = int64_t{INT32_MAX} + 1;

    size_t index = 0;
    while (index < text.size() && (text[index] == ' ' || (text[index] >= '\t' && text[index] <= '\r')))
        ++index;
    bool negative = false;
    if (index < text.size() && (text[index] == '+' || text[index] == '-')) {
        negative = text[index] == '-';
        ++index;
    }
    int64_t magnitude = 0;
    for (; index < text.size() && text[index] >= '0' && text[index] <= '9'; ++index) {
        if (magnitude <= LIMIT)
            magnitude = magnitude * 10 + (text[index] - '0');
    }
    if (negative)
        return magnitude >= LIMIT ? INT32_MIN : static_cast<int32_t>(-magnitude);
    return magnitude >= LIMIT ? INT32_MAX : static_cast<int32_t>(magnitude);
}

}  // namespace RawPrintData::PCL5
