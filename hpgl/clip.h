#pragma once
// The input window (IW): a line is cut only where it runs inside it.
#include "hpgl/scaling.h"

struct HpglWindow {
    HpglPoint low;   // lower-left corner, plotter units
    HpglPoint high;  // upper-right corner
};

// Shortens the line from `a` to `b` to its part inside the window; false when
// no part of it is inside.
bool ClipToWindow(const HpglWindow& window, HpglPoint& a, HpglPoint& b);

inline bool InsideWindow(const HpglWindow& window, HpglPoint p) {
    return p.x >= window.low.x && p.x <= window.high.x && p.y >= window.low.y &&
           p.y <= window.high.y;
}
