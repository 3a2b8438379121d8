// Corner angles as the cutter computes them (law of cosines, pi as 3.14159), and the angle
// limit's decision for corners too close to the limit to settle by the cosine alone.
#include "engine/geometry.h"

#include <cmath>

#include "engine/wrapping_math.h"

static double CornerCosine(Pos_xyz a, Pos_xyz b, Pos_xyz c) {
    double ab = LegLength(a, b);
    double bc = LegLength(b, c);
    double ac = LegLength(a, c);
    double cosine = ((bc * bc + ab * ab) - ac * ac) / ((ab + ab) * bc);
    return cosine > 1.0 ? 1.0 : cosine;
}

static double AngleFromCosine(double cosine) {
    if (cosine <= -1.0) return 180.0;
    return std::acos(cosine) * 180.0 / kCutterPi;
}

double CornerAngle(Pos_xyz a, Pos_xyz b, Pos_xyz c) {
    return AngleFromCosine(CornerCosine(a, b, c));
}

namespace {
// Far enough from the limit's cosine that neither the rounding of the computed
// cosine nor that of the comparison can decide otherwise.
constexpr double kCosineMargin = 1e-9;
}  // namespace

AngleLimit::AngleLimit(double degrees)
    : degrees_(degrees),
      cosine_(std::cos(degrees * kCutterPi / 180.0)),
      clearlyAbove_(cosine_ + 2 * kCosineMargin),
      clearlyBelow_(cosine_ - 2 * kCosineMargin) {}

bool AngleLimit::BelowNearLimit(Pos_xyz a, Pos_xyz b, Pos_xyz c) const {
    // Away from the limit's cosine the comparison cannot go either way by
    // rounding (the margin is millions of times the arc cosine's error); near
    // it, the angle is computed exactly as CornerAngle does.
    const double cosine = CornerCosine(a, b, c);
    if (cosine > cosine_ + kCosineMargin) return true;
    if (!(cosine >= cosine_ - kCosineMargin)) return false;  // not-a-number too
    return AngleFromCosine(cosine) < degrees_;
}
