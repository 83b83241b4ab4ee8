#pragma once
// Wherever the engine turns a length into a whole number it rounds to nearest, halves to even.

#include <cmath>

namespace platform {

inline long long roundHalfEven(long double value)
{
    const long double lower = std::floor(value);
    const long double diff = value - lower;
    long double result = lower;
    if (diff > 0.5L || (diff == 0.5L && std::fmod(lower, 2.0L) != 0.0L))
        result = lower + 1.0L;
    return static_cast<long long>(result);
}

} // namespace platform
