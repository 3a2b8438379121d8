#pragma once
// Encoded polylines (PE): HP-GL/2 packs a polyline's numbers into base-64
// (or, in 7-bit mode, base-32) digits, with flags before each pair.
#include <string_view>
#include <vector>

struct HpglEncodedStep {
    double x = 0;
    double y = 0;
    bool penUp = false;     // '<' before the pair; pen down otherwise
    bool absolute = false;  // '=' before the pair; relative otherwise
};

struct HpglEncodedPolyline {
    std::vector<HpglEncodedStep> steps;
    // Numbers that cannot be read (too many digits) and a lone x at the end.
    size_t numbersDropped = 0;
};

// Decodes PE's parameters, the bytes between "PE" and its ';'. Flags: ':' pen
// number (read and ignored: one knife), '<' pen up, '>' fractional binary
// digits, '=' absolute, '7' base 32. Bytes that are no digit are ignored.
HpglEncodedPolyline DecodeEncodedPolyline(std::string_view bytes);
