// The pen's state and moves while HPGL is read.
#include "hpgl/plotter.h"

void HpglPlotter::Initialize() {
    penDown_ = false;
    x_ = 0;
    y_ = 0;
}

void HpglPlotter::MoveTo(double x, double y) {
    bool down = penDown_;
    // A cut starts where the pen stands. Where that point is not the last one
    // written (after IN, the origin), the engine first has to be taken there.
    // If that move is lost, so is the cut: the pen only moves to its end.
    if (down && !out_.IsAt(x_, y_)) down = out_.Write(false, x_, y_);
    // A point that cannot be written leaves the pen where it was, as a plotter
    // ignores an instruction whose parameter is out of range.
    if (out_.Write(down, x, y)) {
        x_ = x;
        y_ = y;
    }
}
