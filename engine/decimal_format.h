#pragma once
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Eight digit values, one per byte, the first in the lowest byte, at least one
// of them not 0: written as text without the leading zeros, which are the
// empty low bytes; the rest moves down over them. Returns the end; the store
// touches eight bytes.
inline char* WriteDigitWord(char* at, uint64_t digits) {
    const int zeros = std::countr_zero(digits) / 8;
    const uint64_t text = (digits + 0x3030303030303030u) >> (8 * zeros);
    std::memcpy(at, &text, sizeof text);
    return at + (8 - zeros);
}

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
    return WriteDigitWord(at, digits);
}

// The numbers WriteDecimalPair takes: 1 to 99999999, eight digits at most.
inline bool IsShortPositive(int32_t value) {
    return static_cast<uint32_t>(value) - 1u < 99999999u;
}

#ifdef __SSE2__
// Two short positive numbers (IsShortPositive), each as "%d" prints it, with
// `separator` between; returns the end. The steps of WriteDecimal, done for
// both numbers at once: one 64-bit half per number. May touch bytes up to
// at + 17.
inline char* WriteDecimalPair(char* at, int32_t first, char separator, int32_t second) {
    const auto a = static_cast<uint32_t>(first);
    const auto b = static_cast<uint32_t>(second);
    // 32-bit lanes below 10000: the halves of four digits.
    const __m128i halves =
        _mm_setr_epi32(static_cast<int32_t>(a / 10000), static_cast<int32_t>(a % 10000),
                       static_cast<int32_t>(b / 10000), static_cast<int32_t>(b % 10000));
    // lane / 100 is (lane * 5243) >> 19 below 10000; the lanes' upper 16 bits stay 0.
    const __m128i hundreds = _mm_srli_epi32(_mm_mulhi_epu16(halves, _mm_set1_epi32(5243)), 3);
    const __m128i pairs = _mm_or_si128(
        hundreds,
        _mm_slli_epi32(_mm_sub_epi32(halves, _mm_mullo_epi16(hundreds, _mm_set1_epi32(100))), 16));
    // 16-bit lanes below 100: lane / 10 is (lane * 6554) >> 16.
    const __m128i tens = _mm_mulhi_epu16(pairs, _mm_set1_epi16(6554));
    const __m128i ones = _mm_sub_epi16(pairs, _mm_mullo_epi16(tens, _mm_set1_epi16(10)));
    uint64_t digits[2];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(digits),
                     _mm_or_si128(tens, _mm_slli_epi16(ones, 8)));
    at = WriteDigitWord(at, digits[0]);
    *at++ = separator;
    return WriteDigitWord(at, digits[1]);
}
#endif
