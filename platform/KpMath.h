#pragma once
// Numeric conventions shared by the whole suite: the widest floating type, rounding with
// halves to even, truncation toward zero, and the small min/max/swap helpers.
#include <cfenv>
#include <cmath>
#include <cstdint>

namespace kp {

// Lengths are carried with 64-bit mantissas (x87 extended on x86-64).
using Extended = long double;

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4). rint honours the current
// rounding mode, which the suite never changes from round-to-nearest-even; unlike nearbyint
// it does not save and restore the floating-point environment, which made rounding the
// costliest step of recording an object.
inline int64_t Round(Extended v) {
    return static_cast<int64_t>(__builtin_rintl(v));
}
inline int RoundInt(Extended v) {
    return static_cast<int>(__builtin_rintl(v));
}
inline int64_t Trunc(Extended v) {
    return static_cast<int64_t>(std::truncl(v));
}

inline int MaxInt(int a, int b) {
    return a > b ? a : b;
}
inline int MinInt(int a, int b) {
    return a < b ? a : b;
}
inline Extended MaxFloat(Extended a, Extended b) {
    return a > b ? a : b;
}
inline Extended MinFloat(Extended a, Extended b) {
    return a < b ? a : b;
}
inline void SwapInt(int& a, int& b) {
    int t = a;
    a = b;
    b = t;
}

} // namespace kp
