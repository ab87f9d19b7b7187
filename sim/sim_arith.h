// The star field's arithmetic: every field and constant is single precision,
// every expression is evaluated in double precision and rounded to single
// precision exactly once, when its result is stored. Expressions widen their
// operands with Wide() and hand the finished double to Narrow() at the store;
// comparisons of sums are made on the widened values.
#pragma once

#include <cstdint>
#include <cstring>

inline double Wide(float value) { return static_cast<double>(value); }
inline double Wide(std::int32_t value) { return static_cast<double>(value); }

// The one rounding of an expression, at its store.
inline float Narrow(double value) { return static_cast<float>(value); }

inline std::uint32_t FloatBits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline float FloatFromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
