#pragma once

#include <cmath>

namespace ulv {

// Truncation toward zero as a C cast does it, but defined for every input: a
// satellite table or outline file may carry NaN or absurd magnitudes, and a
// pixel coordinate only has to stay harmless then.
inline int TruncToInt(double v)
{
    constexpr double kLimit = 1.0e9;
    if (std::isnan(v))
        return 0;
    if (v > kLimit)
        return static_cast<int>(kLimit);
    if (v < -kLimit)
        return static_cast<int>(-kLimit);
    return static_cast<int>(v);
}

} // namespace ulv
