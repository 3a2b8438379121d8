#pragma once
#include <cstdint>

#include "pos_xyz.h"

// The cutter's corrections depend on these exact steps: coordinate differences
// in 32-bit integers, everything else in IEEE double, each conversion back to an
// integer truncating toward zero, and pi taken as 3.14159.
constexpr double kCutterPi = 3.14159;

int32_t PointDistance(Pos_xyz a, Pos_xyz b);

// PointDistance(a, b) > units, for 0 <= units < 2^26, without the square root.
bool DistanceAbove(Pos_xyz a, Pos_xyz b, int32_t units);

// Displacement of about `length` units from a toward b; only x and y are set.
// The squared length is formed in 64 bits, so any int32 length is exact.
Pos_xyz OffsetVector(int32_t length, Pos_xyz a, Pos_xyz b);

// Angle at b between the legs to a and to c, in degrees (0 to 180). A zero-length
// leg gives not-a-number. A cosine that rounding pushes above 1 (a path turning
// back on itself) counts as 1: the sharpest corner there is.
double CornerAngle(Pos_xyz a, Pos_xyz b, Pos_xyz c);

// A limit on corner angles: Below(a, b, c) is CornerAngle(a, b, c) < degrees,
// without the arc cosine wherever the cosine alone decides.
class AngleLimit {
public:
    explicit AngleLimit(double degrees);
    bool Below(Pos_xyz a, Pos_xyz b, Pos_xyz c) const;

private:
    double degrees_;
    double cosine_;
};

// Point plus displacement, in wrapping 32-bit arithmetic.
Pos_xyz Displace(Pos_xyz p, Pos_xyz offset);
