// The decimal writer's rare numbers, kept out of line: zero, negatives, and nine or ten digits.
#include "engine/decimal_format.h"

#include <charconv>

char* WriteOtherDecimal(char* at, int32_t value) {
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
    return WriteShortPositive(at, static_cast<int32_t>(magnitude));
}
