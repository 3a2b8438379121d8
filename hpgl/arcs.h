#pragma once
// Arcs and circles (AA, AR, CI) as the straight chords a plotter draws them
// with; the chord tolerance is an angle or, after CT1, a greatest distance
// between chord and arc.
#include <optional>
#include <vector>

#include "hpgl/scaling.h"

struct HpglChordTolerance {
    bool asDistance = false;  // CT1: distance in current units; CT0: degrees
};

// The points that follow `start` along the arc about `center` through
// `sweepDegrees` (counter-clockwise when positive): chords of equal angle,
// no larger than the tolerance allows, the last point the arc's end.
// `tolerance` is the instruction's own; without it, 5 degrees.
std::vector<HpglPoint> ArcChords(HpglPoint center, HpglPoint start, double sweepDegrees,
                                 std::optional<double> tolerance, HpglChordTolerance mode);
