#pragma once
#include <cmath>
#include <cstdint>

#include "engine/pos_xyz.h"
#include "engine/wrapping_math.h"

// The cutter's corrections depend on these exact steps: coordinate differences
// in 32-bit integers, everything else in IEEE double, each conversion back to an
// integer truncating toward zero, and pi taken as 3.14159.
constexpr double kCutterPi = 3.14159;

// Inline, like the other steps the cutter takes at every point: a call would
// pass the points through memory.
inline double LegSquare(Pos_xyz a, Pos_xyz b) {
    const double dx = Sub32(b.x, a.x);
    const double dy = Sub32(b.y, a.y);
    return dx * dx + dy * dy;
}

inline double LegLength(Pos_xyz a, Pos_xyz b) {
    return std::sqrt(LegSquare(a, b));
}

inline int32_t PointDistance(Pos_xyz a, Pos_xyz b) {
    return TruncateToInt32(LegLength(a, b));
}

// PointDistance(a, b) > units, for 0 <= units < 2^26, without the square root.
inline bool DistanceAbove(Pos_xyz a, Pos_xyz b, int32_t units) {
    // The square is a whole number, and the rounded root is monotonic: it
    // truncates above `units` exactly when the square reaches (units + 1)^2,
    // whose root is exact, while a square one less has a root well below it.
    const double next = static_cast<double>(units) + 1;
    return LegSquare(a, b) >= next * next;
}

// Displacement of about `length` units from a toward b; only x and y are set.
// The squared length is formed in 64 bits, so any int32 length is exact.
inline Pos_xyz OffsetVector(int32_t length, Pos_xyz a, Pos_xyz b) {
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

// Angle at b between the legs to a and to c, in degrees (0 to 180). A zero-length
// leg gives not-a-number. A cosine that rounding pushes above 1 (a path turning
// back on itself) counts as 1: the sharpest corner there is.
double CornerAngle(Pos_xyz a, Pos_xyz b, Pos_xyz c);

// A limit on corner angles: Below(a, b, c) is CornerAngle(a, b, c) < degrees,
// without the arc cosine wherever the cosine alone decides.
class AngleLimit {
public:
    explicit AngleLimit(double degrees);

    // Inline: the test runs at nearly every point of a drawing.
    bool Below(Pos_xyz a, Pos_xyz b, Pos_xyz c) const {
        // Most corners are far from the limit: the true cosine, from exact
        // integer terms, decides them without a root. Its distance from the
        // computed one is below 3e-10 for such legs, so twice the margin keeps
        // both on one side.
        if (InExactRange(a, b, c)) {
            const int64_t ux = int64_t{a.x} - b.x, uy = int64_t{a.y} - b.y;
            const int64_t vx = int64_t{c.x} - b.x, vy = int64_t{c.y} - b.y;
            const auto u2 = static_cast<double>(ux * ux + uy * uy);
            const auto v2 = static_cast<double>(vx * vx + vy * vy);
            const auto dot = static_cast<double>(ux * vx + uy * vy);
            if (u2 > 0 && v2 > 0 && u2 <= kLegSquareRatio * v2 && v2 <= kLegSquareRatio * u2) {
                if (clearlyAbove_.IsBelow(dot, u2 * v2)) return true;
                if (!clearlyBelow_.IsBelow(dot, u2 * v2)) return false;
            }
        }
        return BelowNearLimit(a, b, c);
    }

private:
    // Where the legs' squares and their dot product are exact: coordinates this
    // small never wrap in a difference, and the products fit 64 bits.
    static constexpr uint32_t kExactRange = 1u << 28;
    // Legs whose squares differ by more than this factor lose too much of the
    // computed cosine to rounding (the law of cosines subtracts large squares).
    static constexpr double kLegSquareRatio = 1e10;

    // Every coordinate in [-kExactRange, kExactRange): moved up by kExactRange,
    // none has a bit at or above 2 * kExactRange.
    static bool InExactRange(Pos_xyz a, Pos_xyz b, Pos_xyz c) {
        const auto up = [](int32_t v) { return static_cast<uint32_t>(v) + kExactRange; };
        return (up(a.x) | up(a.y) | up(b.x) | up(b.y) | up(c.x) | up(c.y)) < 2 * kExactRange;
    }

    // A cosine k, kept as its sign and square: IsBelow(dot, uv) tells whether k
    // lies below the true cosine dot / sqrt(uv), from squares alone.
    struct CosineBound {
        explicit CosineBound(double k) : nonNegative(k >= 0), square(k * k) {}
        bool IsBelow(double dot, double uv) const {
            const bool dotNonNegative = dot >= 0;
            if (dotNonNegative != nonNegative) return dotNonNegative;
            return dotNonNegative ? dot * dot > square * uv : dot * dot < square * uv;
        }
        bool nonNegative;
        double square;
    };

    // The corners the exact terms leave open, decided from the computed angle.
    bool BelowNearLimit(Pos_xyz a, Pos_xyz b, Pos_xyz c) const;

    double degrees_;
    double cosine_;
    CosineBound clearlyAbove_;  // the limit's cosine plus twice the margin
    CosineBound clearlyBelow_;  // the limit's cosine minus twice the margin
};

// Point plus displacement, in wrapping 32-bit arithmetic.
inline Pos_xyz Displace(Pos_xyz p, Pos_xyz offset) {
    return Pos_xyz{Add32(p.x, offset.x), Add32(p.y, offset.y), p.pen};
}
