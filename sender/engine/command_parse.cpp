#include "command_parse.h"

#include <cstring>

#include "wrapping_math.h"

PlotExtent g_plotExtent;

static bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int32_t ReadNumber(const char* p, const char* end) {
    while (p < end && IsBlank(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // Accumulate toward the sign's side so that INT32_MIN itself is reachable.
    int64_t value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        int digit = *p - '0';
        value = negative ? value * 10 - digit : value * 10 + digit;
        if (value > INT32_MAX) return INT32_MAX;
        if (value < INT32_MIN) return INT32_MIN;
    }
    return static_cast<int32_t>(value);
}

CommandNumbers ReadCommandNumbers(const char* command) {
    const char* end = std::strchr(command, ';');
    if (end == nullptr) end = command + std::strlen(command);
    const char* comma = static_cast<const char*>(std::memchr(command, ',', end - command));
    if (comma == nullptr) return {ReadNumber(command + 1, end), 0};
    return {ReadNumber(command + 1, comma), ReadNumber(comma + 1, end)};
}

void ResetPlotExtent(PlotExtent& extent) {
    extent = PlotExtent{};
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
