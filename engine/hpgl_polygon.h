#pragma once
// Polygon mode (PM): the moves made between PM0 and PM2 are kept, not cut,
// until EP or FP asks for the outline.
#include <cstddef>
#include <vector>

#include "hpgl_scaling.h"

struct HpglMove {
    HpglPoint to;
    bool down = false;
};

struct HpglSubpolygon {
    HpglPoint start;
    std::vector<HpglMove> moves;
    bool closed = false;  // closed by PM1/PM2 with the pen down
};

class HpglPolygon {
public:
    // PM0: a new, empty polygon whose first subpolygon starts at `start`.
    void Begin(HpglPoint start);
    // False when the buffer is full: a plotter's holds far fewer points.
    bool Add(HpglPoint to, bool down);
    // PM1/PM2: ends the subpolygon; the next starts where the pen stands.
    // With the pen down the outline goes back to the subpolygon's start; the
    // pen up leaves it open.
    void Close(bool penDown, HpglPoint at);
    // The moves that cut the outline, each subpolygon from its start; a
    // filled polygon (FP) is closed everywhere. Empty when nothing is drawn.
    std::vector<HpglSubpolygon> Outline(bool fill) const;
    bool Drawn() const;

    static constexpr size_t kMostMoves = size_t{1} << 22;

private:
    std::vector<HpglSubpolygon> parts_;
    size_t moves_ = 0;
};
