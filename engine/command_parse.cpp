#include "command_parse.h"

#include <cstring>

#include "wrapping_math.h"

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
    CommandNumbers n = ReadCommandNumbers(command);
    if (!extent.seen) {
        extent.seen = true;
        extent.minX = n.x;
        extent.maxY = n.y;
        return;
    }
    if (n.x <= extent.minX) extent.minX = n.x;
    if (n.y >= extent.maxY) extent.maxY = n.y;
}

Pos_xyz ParsePoint(const char* command, const PlotExtent& extent) {
    CommandNumbers n = ReadCommandNumbers(command);
    Pos_xyz p;
    p.pen = command[0] == 'D' ? 1 : 0;
    // The margin of 40 units puts the drawing 1 mm in from both axes; the second
    // axis runs the other way from the file.
    p.x = Add32(Sub32(n.x, extent.minX), 40);
    p.y = Add32(Sub32(extent.maxY, n.y), 40);
    return p;
}
