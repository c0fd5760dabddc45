#pragma once

#include <cmath>
#include <concepts>
#include <limits>
#include <utility>

// Conversions of numbers from outside (JSON values, dates, counts) into
// integer types. Out-of-range values are clamped to the type's bounds and
// NaN gives 0, so that no conversion ever has undefined behaviour.

// A floating-point value cut toward zero and clamped into T.
template <std::integral T>
T ClampToInteger(double value)
{
    if (std::isnan(value))
        return 0;
    // Both bounds are powers of two (or 0), which a double holds exactly.
    constexpr double lowest = static_cast<double>(std::numeric_limits<T>::min());
    constexpr double beyondMax = static_cast<double>(std::numeric_limits<T>::max() / 2 + 1) * 2.0;
    if (value >= beyondMax)
        return std::numeric_limits<T>::max();
    if (value <= lowest)
        return std::numeric_limits<T>::min();
    return static_cast<T>(std::trunc(value));
}

// An integer of any type clamped into T.
template <std::integral T, std::integral U>
T ClampToInteger(U value)
{
    if (std::cmp_less(value, std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (std::cmp_greater(value, std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(value);
}
