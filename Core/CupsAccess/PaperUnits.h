#pragma once

#include <cmath>
#include <cstdint>

namespace CVClientData {

// Points (1/72 inch) in tenths of a millimetre, cut to an integer; 0 for a
// value that does not fit.
inline int32_t PointsToTenthsOfMillimetre(double points)
{
    double tenths = points * 254.0 / 72.0;
    if (!std::isfinite(tenths) || tenths <= -2147483648.0 || tenths >= 2147483647.0)
        return 0;
    return static_cast<int32_t>(tenths);
}

}  // namespace CVClientData
