#pragma once
#include <cstdint>

#include "engine/pos_xyz.h"
#include "engine/wrapping_math.h"

// Command strings as the scan hands them over: the letter U or D, the text up to
// the next ';', then ";" and NUL; at most kCommandBufferSize bytes in all.
constexpr int kCommandBufferSize = 32;

// Where the drawing's reference corner lands on the material: 40 units, 1 mm
// in from both axes.
constexpr int32_t kDrawingMargin = 40;

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

// A command once read: its letter and its numbers.
struct PenCommand {
    char letter;
    CommandNumbers numbers;
};

// The same steps on a command already read.
inline void ScanExtent(CommandNumbers n, PlotExtent& extent) {
    if (!extent.seen) {
        extent.seen = true;
        extent.minX = n.x;
        extent.maxY = n.y;
        return;
    }
    if (n.x <= extent.minX) extent.minX = n.x;
    if (n.y >= extent.maxY) extent.maxY = n.y;
}

inline Pos_xyz MapPoint(const PenCommand& command, const PlotExtent& extent) {
    Pos_xyz p;
    p.pen = command.letter == 'D' ? 1 : 0;
    // The second axis runs the other way from the file.
    p.x = Add32(Sub32(command.numbers.x, extent.minX), kDrawingMargin);
    p.y = Add32(Sub32(extent.maxY, command.numbers.y), kDrawingMargin);
    return p;
}
