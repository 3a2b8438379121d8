#include "geometry.h"

#include <cmath>

#include "wrapping_math.h"

static double LegLength(Pos_xyz a, Pos_xyz b) {
    double dx = Sub32(b.x, a.x);
    double dy = Sub32(b.y, a.y);
    return std::sqrt(dx * dx + dy * dy);
}

int32_t PointDistance(Pos_xyz a, Pos_xyz b) {
    return TruncateToInt32(LegLength(a, b));
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

bool AngleLimit::Below(Pos_xyz a, Pos_xyz b, Pos_xyz c) const {
    // Away from the limit's cosine the comparison cannot go either way by
    // rounding (a margin of 1e-9 is millions of times the arc cosine's error);
    // near it, the angle is computed exactly as CornerAngle does.
    const double cosine = CornerCosine(a, b, c);
    if (cosine > cosine_ + 1e-9) return true;
    if (!(cosine >= cosine_ - 1e-9)) return false;  // not-a-number too
    return AngleFromCosine(cosine) < degrees_;
}

Pos_xyz Displace(Pos_xyz p, Pos_xyz offset) {
    return Pos_xyz{Add32(p.x, offset.x), Add32(p.y, offset.y), p.pen};
}
