#pragma once
#include <bit>
#include <cstdint>
#include <cstring>

// Reading a short run of decimal digits eight bytes at a time. The text's first
// byte is the word's lowest byte, as a little-endian load gives it.
static_assert(std::endian::native == std::endian::little, "digit words assume little-endian");

inline uint64_t LoadEightBytes(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// How many of the word's first bytes are ASCII digits (0 to 8).
inline int LeadingDigitCount(uint64_t word) {
    // Digits become 0..9; any other byte has a bit set in its high nibble, here
    // or once 6 is added. A carry out of a byte only starts at a non-digit, so
    // the bytes before the first non-digit stay exact.
    const uint64_t a = word ^ 0x3030303030303030u;
    const uint64_t flags = (a | (a + 0x0606060606060606u)) & 0xF0F0F0F0F0F0F0F0u;
    return flags == 0 ? 8 : std::countr_zero(flags) / 8;
}

// The value of the word's first `count` bytes read as digits (1 to 8 of them).
inline uint32_t LeadingDigitsValue(uint64_t word, int count) {
    // Moved up so that the unused bytes become leading zeros; then neighbouring
    // digits, pairs and quadruples are combined in place: each product adds 10,
    // 100 or 10000 times a lane to the lane after it.
    uint64_t v = (word & 0x0F0F0F0F0F0F0F0Fu) << (64 - 8 * count);
    v = ((v * (10 * 0x100 + 1)) >> 8) & 0x00FF00FF00FF00FFu;
    v = ((v * (100 * 0x10000 + 1)) >> 16) & 0x0000FFFF0000FFFFu;
    return static_cast<uint32_t>((v * (10000 * 0x100000000u + 1)) >> 32);
}
