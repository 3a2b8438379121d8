#pragma once
#include <cstdint>

// The cutter's coordinate arithmetic is plain 32-bit: it wraps on overflow.
// Done in unsigned arithmetic so that no input can cause signed overflow.
inline int32_t Add32(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t Sub32(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t Mul32(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// Real value to integer, truncating toward zero like a C cast, but defined for
// every input: out-of-range values saturate and not-a-number gives 0.
inline int32_t TruncateToInt32(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}
