// Liang-Barsky clipping: the line as a + t (b - a), t narrowed to [enter, leave]
// by each of the window's four edges.
#include "hpgl/clip.h"

bool ClipToWindow(const HpglWindow& window, HpglPoint& a, HpglPoint& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    double enter = 0;
    double leave = 1;
    // Each edge as (direction towards outside, distance from a to the edge).
    const double edges[4][2] = {{-dx, a.x - window.low.x},
                                {dx, window.high.x - a.x},
                                {-dy, a.y - window.low.y},
                                {dy, window.high.y - a.y}};
    for (const auto& [p, q] : edges) {
        if (p == 0) {
            if (q < 0) return false;  // parallel to this edge and outside it
            continue;
        }
        const double t = q / p;
        if (p < 0) {
            if (t > leave) return false;
            if (t > enter) enter = t;
        } else {
            if (t < enter) return false;
            if (t < leave) leave = t;
        }
    }
    const HpglPoint from = a;
    if (enter > 0) a = {from.x + enter * dx, from.y + enter * dy};
    if (leave < 1) b = {from.x + leave * dx, from.y + leave * dy};
    return true;
}
