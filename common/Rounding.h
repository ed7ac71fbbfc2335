#pragma once
// Every real-to-integer conversion of the system rounds to nearest, halves to even
// (2.5 -> 2, 3.5 -> 4), the default floating-point rounding mode.
#include <cmath>
#include <cstdint>

inline int32_t roundEven(double value) { return static_cast<int32_t>(std::nearbyint(value)); }
