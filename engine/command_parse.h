#pragma once
#include <cstdint>

#include "pos_xyz.h"

// Command strings as the scan hands them over: the letter U or D, the text up to
// the next ';', then ";" and NUL; at most kCommandBufferSize bytes in all.
constexpr int kCommandBufferSize = 32;

// The drawing's reference corner: pass 1 finds it, pass 2 maps every point by
// it. Each job starts from a fresh one and hands it from pass to pass.
struct PlotExtent {
    bool seen = false;
    int32_t minX = 0;
    int32_t maxY = 0;
};

void ScanExtent(const char* command, PlotExtent& extent);
Pos_xyz ParsePoint(const char* command, const PlotExtent& extent);

// atol's reading rules on a NUL-terminated text: blanks, sign, digits up to the
// first non-digit; no digits read 0. Values beyond int32 saturate to its limits.
int32_t ReadNumber(const char* text);

struct CommandNumbers {
    int32_t x;
    int32_t y;
};
// The two numbers of a command: X from after the letter to the first ',', Y from
// after that ',' to the ';'. A command without ',' reads Y as 0.
CommandNumbers ReadCommandNumbers(const char* command);
