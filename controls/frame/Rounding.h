#pragma once
// Whole numbers from fractions, as the platform makes them: Round takes an
// exact half to the even neighbour, Fix truncates toward zero. A result
// beyond the type saturates rather than being undefined (NaN gives 0).
// Round<double> and Fix<double> keep the whole number as a double, for
// arithmetic wider than 32 bits.

#include <cmath>
#include <limits>
#include <type_traits>

namespace quil {

namespace rounding {
template <typename T>
T saturate(double v)
{
    if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(v);
    } else {
        if (std::isnan(v))
            return 0;
        if (v <= static_cast<double>(std::numeric_limits<T>::min()))
            return std::numeric_limits<T>::min();
        if (v >= static_cast<double>(std::numeric_limits<T>::max()))
            return std::numeric_limits<T>::max();
        return static_cast<T>(v);
    }
}
} // namespace rounding

// Halves to even whatever the floating-point rounding mode is.
template <typename T = int>
T Round(double v)
{
    const double whole = std::trunc(v);
    const double rest = v - whole;
    double r = std::round(v);
    if (std::fabs(rest) == 0.5)
        r = std::fmod(whole, 2.0) == 0.0 ? whole : whole + (rest > 0 ? 1.0 : -1.0);
    return rounding::saturate<T>(r);
}

template <typename T = int>
T Fix(double v)
{
    return rounding::saturate<T>(std::trunc(v));
}

} // namespace quil
