// Where the drag knife's tip cuts: it trails the axis by the offset along a tractrix, exact
// per stroke and sampled finely, and keeps its heading while lifted.
#include "blade_trail.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// The blade turns by at most this many radians from one point of its path to
// the next: the polyline follows the curve closely, in length and in shape.
constexpr double kTurnPerStep = 0.05;
// Below this angle the blade runs straight behind the axis for the rest of
// the stroke (the tip then lies within 1/10000 of the offset of its line).
constexpr double kAligned = 1e-4;
// A blade pushed head-on does not balance on its edge: it swings aside at
// once. The angle is kept this far from a straight reversal.
constexpr double kHeadOnMargin = 0.05;

}  // namespace

void BladeTrail::Stroke(const KnifeStroke& s) {
    if (!placed_) {
        // The first known heading is unknown too: the blade starts trailing in -x.
        trailX_ = -offset_;
        trailY_ = 0;
        placed_ = true;
    }
    if (!s.cut) {
        cutOpen_ = false;
        return;
    }
    axisCuts_.push_back(s);
    if (!cutOpen_ || lastCutEnd_.x != s.from.x || lastCutEnd_.y != s.from.y) {
        cuts_.emplace_back();
        AddTipPoint({s.from.x + trailX_, s.from.y + trailY_});
    }
    Drag(s);
    cutOpen_ = true;
    lastCutEnd_ = s.to;
}

// Along a straight stroke of direction u the angle θ between u and the tip's
// line to the axis obeys dθ/ds = -sin θ / offset, so tan(θ/2) shrinks by
// e^(-s/offset): the tip's position at any distance s is known exactly.
void BladeTrail::Drag(const KnifeStroke& s) {
    const double dx = static_cast<double>(s.to.x - s.from.x);
    const double dy = static_cast<double>(s.to.y - s.from.y);
    const double length = std::hypot(dx, dy);
    if (length == 0) return;
    const double ux = dx / length;
    const double uy = dy / length;
    if (offset_ <= 0) {
        AddTipPoint({static_cast<double>(s.to.x), static_cast<double>(s.to.y)});
        return;
    }
    // The line from the tip to the axis, in the stroke's frame: along u and
    // across it (the side of the normal (-uy, ux)).
    const double along = -(trailX_ * ux + trailY_ * uy);
    const double across = -(trailX_ * -uy + trailY_ * ux);
    const double side = across < 0 ? -1.0 : 1.0;
    const double theta0 = std::min(std::atan2(std::fabs(across), along), kPi - kHeadOnMargin);
    const double halfTan0 = std::tan(theta0 / 2);

    auto tipAt = [&](double distance, double& thetaOut) {
        thetaOut = 2 * std::atan(halfTan0 * std::exp(-distance / offset_));
        const double toAxisAlong = offset_ * std::cos(thetaOut);
        const double toAxisAcross = side * offset_ * std::sin(thetaOut);
        const double axisX = s.from.x + ux * distance;
        const double axisY = s.from.y + uy * distance;
        return TipPoint{axisX - (toAxisAlong * ux - toAxisAcross * uy),
                        axisY - (toAxisAlong * uy + toAxisAcross * ux)};
    };

    // dθ = sin θ ds / offset: steps grow as the blade comes into line.
    double theta = theta0;
    double distance = 0;
    while (theta > kAligned) {
        distance += offset_ * std::min(1.0, kTurnPerStep / std::sin(theta));
        if (distance >= length) break;
        AddTipPoint(tipAt(distance, theta));
    }
    const TipPoint end = tipAt(length, theta);
    AddTipPoint(end);
    trailX_ = end.x - static_cast<double>(s.to.x);
    trailY_ = end.y - static_cast<double>(s.to.y);
}

void BladeTrail::AddTipPoint(TipPoint p) {
    TipLine& line = cuts_.back();
    if (!line.empty()) cutLength_ += std::hypot(p.x - line.back().x, p.y - line.back().y);
    line.push_back(p);
}

BoundingBox BladeTrail::box() const {
    BoundingBox box;
    for (const TipLine& line : cuts_) {
        for (const TipPoint& p : line) {
            box.Include(
                {static_cast<int64_t>(std::floor(p.x)), static_cast<int64_t>(std::floor(p.y))});
            box.Include(
                {static_cast<int64_t>(std::ceil(p.x)), static_cast<int64_t>(std::ceil(p.y))});
        }
    }
    return box;
}
