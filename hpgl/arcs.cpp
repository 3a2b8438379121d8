// Chords of an arc: the angle of each from the tolerance, the count from the
// sweep, so that every chord of one arc has the same length.
#include "hpgl/arcs.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDefaultChordDegrees = 5;
// The plotter's own bounds on a chord's angle; the lower one also bounds the
// number of chords of one arc.
constexpr double kSmallestChordDegrees = 0.5;
constexpr double kLargestChordDegrees = 180;

double ChordDegrees(double radius, std::optional<double> tolerance, HpglChordTolerance mode) {
    double degrees = kDefaultChordDegrees;
    if (tolerance && mode.asDistance) {
        // The chord's middle lies `tolerance` inside the arc.
        const double cosine = 1 - std::fabs(*tolerance) / std::fabs(radius);
        degrees = 2 * std::acos(std::fmax(-1.0, std::fmin(1.0, cosine))) * 180 / kPi;
    } else if (tolerance) {
        degrees = std::fabs(*tolerance);
    }
    return std::fmin(kLargestChordDegrees, std::fmax(kSmallestChordDegrees, degrees));
}

}  // namespace

std::vector<HpglPoint> ArcChords(HpglPoint center, HpglPoint start, double sweepDegrees,
                                 std::optional<double> tolerance, HpglChordTolerance mode) {
    std::vector<HpglPoint> points;
    if (!std::isfinite(sweepDegrees)) return points;
    // Beyond a whole turn the knife would only go round again.
    const double sweep = std::fmin(360.0, std::fmax(-360.0, sweepDegrees));
    const double dx = start.x - center.x;
    const double dy = start.y - center.y;
    const double radius = std::hypot(dx, dy);
    const double chord = ChordDegrees(radius, tolerance, mode);
    const int count = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / chord - 1e-9)));
    const double first = std::atan2(dy, dx);
    for (int i = 1; i <= count; ++i) {
        const double angle = first + sweep * kPi / 180 * i / count;
        if (i == count && std::fabs(sweep) == 360) {
            points.push_back(start);  // a whole circle closes exactly
            break;
        }
        points.push_back(
            {center.x + radius * std::cos(angle), center.y + radius * std::sin(angle)});
    }
    return points;
}
