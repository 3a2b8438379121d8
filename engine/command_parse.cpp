// Reads a pen command's numbers by atol's rules, saturating at the int32 limits: X after the
// letter, Y after the first ','; the extent and mapping steps on a command's text.
#include "engine/command_parse.h"

#include <cstring>

#include "engine/wrapping_math.h"

// Blank, tab, line feed, vertical tab, form feed, carriage return.
static bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int32_t ReadNumber(const char* p) {
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    // Past leading zeros, more than ten digits are beyond any int32 and
    // saturate; up to ten fit the 64-bit sum exactly.
    while (*p == '0') ++p;
    const char* first = p;
    uint64_t magnitude = 0;
    for (unsigned digit; (digit = static_cast<unsigned char>(*p) - unsigned{'0'}) <= 9; ++p)
        magnitude = magnitude * 10 + digit;
    if (p - first > 10) magnitude = UINT64_MAX;
    if (negative) {
        return magnitude >= 0x80000000u ? INT32_MIN : -static_cast<int32_t>(magnitude);
    }
    return magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
}

CommandNumbers ReadCommandNumbers(const char* command) {
    // Both texts end where reading stops anyway: X at the first ',' (or the
    // ';'), Y at the ';'. The buffer holds nothing after its ';' but the NUL, so
    // the first ',' of the string lies inside the command.
    const char* comma = std::strchr(command + 1, ',');
    return {ReadNumber(command + 1), comma == nullptr ? 0 : ReadNumber(comma + 1)};
}

void ScanExtent(const char* command, PlotExtent& extent) {
    ScanExtent(ReadCommandNumbers(command), extent);
}

Pos_xyz ParsePoint(const char* command, const PlotExtent& extent) {
    return MapPoint({command[0], ReadCommandNumbers(command)}, extent);
}
