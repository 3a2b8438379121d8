#pragma once
// Where the knife stands while an HPGL file is read, and whether it is down:
// the geometry's lines, in plotter units, go through here to the pen writer,
// which turns them into the engine's input.
#include "hpgl/pen_writer.h"

class HpglPlotter {
public:
    explicit HpglPlotter(HpglPenWriter& out) : out_(out) {}

    // IN and the start of the file: pen up at the origin.
    void Initialize();
    void SetPenDown(bool down) { penDown_ = down; }

    // A move or cut to an absolute point in plotter units, with the pen as it is.
    void MoveTo(double x, double y);

private:
    HpglPenWriter& out_;
    bool penDown_ = false;
    double x_ = 0;
    double y_ = 0;
};
