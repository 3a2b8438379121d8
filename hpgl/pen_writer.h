#pragma once
// The engine's input as the HPGL reader writes it: "IN;", then "PU<x>,<y>;" or
// "PD<x>,<y>;" for each point, in whole plotter units. Only points the
// engine's 32-bit mapping can carry are written; the others are counted.
#include <cstddef>
#include <cstdint>

#include "engine/output_sink.h"

struct HpglPointCounts {
    size_t written = 0;
    uint64_t bytes = 0;      // of pen commands, "IN;" included
    size_t outOfRange = 0;   // beyond 32-bit plotter units
    size_t tooFarApart = 0;  // further from the others than 32-bit mapping reaches
};

class HpglPenWriter {
public:
    explicit HpglPenWriter(BufferedOutput& out);

    // A move (pen up) or cut (pen down) to the point, rounded to the nearest
    // unit, an exact half away from zero. False when the point is dropped.
    bool Write(bool penDown, double x, double y);
    // Whether the last point written is (x, y) once rounded.
    bool IsAt(double x, double y) const;

    const HpglPointCounts& counts() const { return counts_; }

private:
    BufferedOutput& out_;
    HpglPointCounts counts_;
    int64_t lastX_ = 0;
    int64_t lastY_ = 0;
    // The extent of the points written so far.
    int64_t minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
};
