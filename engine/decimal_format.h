#pragma once
#include <bit>
#include <cstdint>
#include <cstring>

// Writing int32 values in decimal, exactly as "%d" prints them, straight into
// an output buffer: the plot lines' numbers are the converter's main output.
static_assert(std::endian::native == std::endian::little, "digit words assume little-endian");

// The four digits of every number below 10000 as byte values 0 to 9, the first
// digit in the lowest byte: 42 is the bytes 0, 0, 4, 2. A table lookup replaces
// the divisions a number's digits otherwise cost.
struct DigitQuads {
    uint32_t of[10000];
};

constexpr DigitQuads MakeDigitQuads() {
    DigitQuads table{};
    for (uint32_t n = 0; n < 10000; ++n)
        table.of[n] = n / 1000 | (n / 100 % 10) << 8 | (n / 10 % 10) << 16 | (n % 10) << 24;
    return table;
}

inline constexpr DigitQuads kDigitQuads = MakeDigitQuads();

// Eight digit values, one per byte, the first in the lowest byte, at least one
// of them not 0: written as text without the leading zeros, which are the
// empty low bytes; the rest moves down over them. Returns the end; the store
// touches eight bytes.
inline char* WriteDigitWord(char* at, uint64_t digits) {
    // The builtin, unlike std::countr_zero, needs no branch for a zero word.
    const int zeroBits = __builtin_ctzll(digits) & ~7;
    const uint64_t text = (digits + 0x3030303030303030u) >> zeroBits;
    std::memcpy(at, &text, sizeof text);
    return at + 8 - zeroBits / 8;
}

// The numbers that take the short way: 1 to 99999999, eight digits at most.
inline bool IsShortPositive(int32_t value) {
    return static_cast<uint32_t>(value) - 1u < 99999999u;
}

// A short positive number (IsShortPositive) in decimal; returns the end. The
// store touches eight bytes.
inline char* WriteShortPositive(char* at, int32_t value) {
    const auto magnitude = static_cast<uint32_t>(value);
    const uint32_t high = magnitude / 10000;
    const uint32_t low = magnitude - high * 10000;
    return WriteDigitWord(at, kDigitQuads.of[high] | uint64_t{kDigitQuads.of[low]} << 32);
}

// Zero, negative numbers and those of nine or ten digits, which drawings
// rarely hold: out of line, so that they take no registers from the common way.
[[gnu::noinline]] char* WriteOtherDecimal(char* at, int32_t value);

// Any int32 in decimal, written at `at`; returns the end. Writes up to 11
// characters, and may touch bytes up to at + 11.
inline char* WriteDecimal(char* at, int32_t value) {
    if (IsShortPositive(value)) [[likely]]
        return WriteShortPositive(at, value);
    return WriteOtherDecimal(at, value);
}
