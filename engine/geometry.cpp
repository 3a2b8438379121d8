#include "geometry.h"

#include <cmath>

#include "wrapping_math.h"

static double LegSquare(Pos_xyz a, Pos_xyz b) {
    double dx = Sub32(b.x, a.x);
    double dy = Sub32(b.y, a.y);
    return dx * dx + dy * dy;
}

static double LegLength(Pos_xyz a, Pos_xyz b) {
    return std::sqrt(LegSquare(a, b));
}

int32_t PointDistance(Pos_xyz a, Pos_xyz b) {
    return TruncateToInt32(LegLength(a, b));
}

bool DistanceAbove(Pos_xyz a, Pos_xyz b, int32_t units) {
    // The square is a whole number, and the rounded root is monotonic: it
    // truncates above `units` exactly when the square reaches (units + 1)^2,
    // whose root is exact, while a square one less has a root well below it.
    const double next = static_cast<double>(units) + 1;
    return LegSquare(a, b) >= next * next;
}

Pos_xyz OffsetVector(int32_t length, Pos_xyz a, Pos_xyz b) {
    Pos_xyz v{0, 0, 0};
    if (b.x == a.x) {
        v.y = b.y > a.y ? length : Sub32(0, length);
        return v;
    }
    if (b.y == a.y) {
        v.x = b.x > a.x ? length : Sub32(0, length);
        return v;
    }
    double k = std::fabs(static_cast<double>(Sub32(b.y, a.y))) /
               std::fabs(static_cast<double>(Sub32(b.x, a.x)));
    double squared = static_cast<double>(static_cast<int64_t>(length) * length);
    double q = squared / (k * k + 1.0);
    int32_t f = TruncateToInt32(std::sqrt(q));
    int32_t g = TruncateToInt32(static_cast<double>(f) * k);
    v.x = b.x > a.x ? f : Sub32(0, f);
    v.y = b.y > a.y ? g : Sub32(0, g);
    return v;
}

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

AngleLimit::AngleLimit(double degrees)
    : degrees_(degrees), cosine_(std::cos(degrees * kCutterPi / 180.0)) {}

namespace {

// Far enough from the limit's cosine that neither the rounding of the computed
// cosine nor that of the comparison can decide otherwise.
constexpr double kCosineMargin = 1e-9;
// Where the legs' squares and their dot product are exact: coordinates this
// small never wrap in a difference, and the products fit 64 bits.
constexpr uint32_t kExactRange = 1u << 28;
// Legs whose squares differ by more than this factor lose too much of the
// computed cosine to rounding (the law of cosines subtracts large squares).
constexpr double kLegSquareRatio = 1e10;

// Every coordinate in [-kExactRange, kExactRange): moved up by kExactRange,
// none has a bit at or above 2 * kExactRange.
bool InExactRange(Pos_xyz a, Pos_xyz b, Pos_xyz c) {
    const auto up = [](int32_t v) { return static_cast<uint32_t>(v) + kExactRange; };
    return (up(a.x) | up(a.y) | up(b.x) | up(b.y) | up(c.x) | up(c.y)) < 2 * kExactRange;
}

// Whether the true cosine dot / sqrt(uv) lies above k, from squares alone.
bool CosineAbove(double dot, double uv, double k) {
    if ((dot >= 0) != (k >= 0)) return dot >= 0;
    return dot >= 0 ? dot * dot > k * k * uv : dot * dot < k * k * uv;
}

}  // namespace

bool AngleLimit::Below(Pos_xyz a, Pos_xyz b, Pos_xyz c) const {
    // Most corners are far from the limit: the true cosine, from exact integer
    // terms, decides them without a root. Its distance from the computed one is
    // below 3e-10 for such legs, so twice the margin keeps both on one side.
    if (InExactRange(a, b, c)) {
        const int64_t ux = int64_t{a.x} - b.x, uy = int64_t{a.y} - b.y;
        const int64_t vx = int64_t{c.x} - b.x, vy = int64_t{c.y} - b.y;
        const auto u2 = static_cast<double>(ux * ux + uy * uy);
        const auto v2 = static_cast<double>(vx * vx + vy * vy);
        const auto dot = static_cast<double>(ux * vx + uy * vy);
        if (u2 > 0 && v2 > 0 && u2 <= kLegSquareRatio * v2 && v2 <= kLegSquareRatio * u2) {
            if (CosineAbove(dot, u2 * v2, cosine_ + 2 * kCosineMargin)) return true;
            if (!CosineAbove(dot, u2 * v2, cosine_ - 2 * kCosineMargin)) return false;
        }
    }
    // Away from the limit's cosine the comparison cannot go either way by
    // rounding (the margin is millions of times the arc cosine's error); near
    // it, the angle is computed exactly as CornerAngle does.
    const double cosine = CornerCosine(a, b, c);
    if (cosine > cosine_ + kCosineMargin) return true;
    if (!(cosine >= cosine_ - kCosineMargin)) return false;  // not-a-number too
    return AngleFromCosine(cosine) < degrees_;
}

Pos_xyz Displace(Pos_xyz p, Pos_xyz offset) {
    return Pos_xyz{Add32(p.x, offset.x), Add32(p.y, offset.y), p.pen};
}
