#pragma once
// The plotter's state while an HPGL file is read: where the pen stands,
// whether it is down, and how the next coordinates are taken. Pen moves go
// to the pen writer, which turns them into the engine's input.
#include "hpgl_pen_writer.h"

class HpglPlotter {
public:
    explicit HpglPlotter(HpglPenWriter& out) : out_(out) {}

    // IN and the start of the file: pen up at the origin, absolute coordinates.
    void Initialize();
    void SetPenDown(bool down) { penDown_ = down; }
    void SetRelative(bool relative) { relative_ = relative; }

    // One coordinate pair of PU, PD, PA or PR, in plotter units.
    void Point(double x, double y);
    // A move or cut to an absolute point in plotter units, with the pen as it is.
    void MoveTo(double x, double y);

private:
    HpglPenWriter& out_;
    bool penDown_ = false;
    bool relative_ = false;
    double x_ = 0;  // kept exact, so that relative moves add up before rounding
    double y_ = 0;
};
