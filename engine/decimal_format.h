#pragma once
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

// An int32 in decimal, exactly as "%d" prints it, written at `at`; returns the
// end. Writes up to 11 characters, and may touch bytes up to at + 11.
inline char* WriteDecimal(char* at, int32_t value) {
    static_assert(std::endian::native == std::endian::little, "digit words assume little-endian");
    uint32_t magnitude = static_cast<uint32_t>(value);
    if (value < 0) {
        *at++ = '-';
        magnitude = 0u - magnitude;
    }
    if (magnitude >= 100000000u) return std::to_chars(at, at + 10, magnitude).ptr;
    if (magnitude == 0) {
        *at = '0';
        return at + 1;
    }
    // Eight digits at once, one per byte, first digit in the lowest byte: split
    // into halves of four digits, each half into pairs, each pair into digits.
    const uint64_t halves = (magnitude / 10000) | (uint64_t{magnitude % 10000} << 32);
    const uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007Fu;
    const uint64_t pairs = ((halves - 100 * hundreds) << 16) | hundreds;
    const uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000Fu;
    const uint64_t digits = tens | ((pairs - 10 * tens) << 8);
    // The leading zeros are the empty low bytes; the rest moves down over them.
    const int zeros = std::countr_zero(digits) / 8;
    const uint64_t text = (digits + 0x3030303030303030u) >> (8 * zeros);
    std::memcpy(at, &text, sizeof text);
    return at + (8 - zeros);
}
