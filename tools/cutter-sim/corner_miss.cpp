#include "corner_miss.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>

void DrawingOutline::Stroke(const KnifeStroke& s) {
    if (!s.cut) {
        open_ = false;
        return;
    }
    if (!open_) lines_.push_back({s.from});
    lines_.back().push_back(s.to);
    open_ = true;
}

namespace {

constexpr double kPi = 3.14159265358979323846;

bool IsSharp(KnifePoint before, KnifePoint corner, KnifePoint after) {
    const double ax = static_cast<double>(before.x - corner.x);
    const double ay = static_cast<double>(before.y - corner.y);
    const double bx = static_cast<double>(after.x - corner.x);
    const double by = static_cast<double>(after.y - corner.y);
    const double lengths = std::hypot(ax, ay) * std::hypot(bx, by);
    if (lengths == 0) return false;
    const double cosine = std::clamp((ax * bx + ay * by) / lengths, -1.0, 1.0);
    return std::acos(cosine) * 180 / kPi < kSharpCornerDegrees;
}

bool Same(KnifePoint a, KnifePoint b) {
    return a.x == b.x && a.y == b.y;
}

double DistanceToSegment(double px, double py, const TipPoint& a, const TipPoint& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double squared = dx * dx + dy * dy;
    double t = squared > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / squared : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

// The blade's segments sorted into square cells, so that each corner looks
// only at the cut near it.
class SegmentGrid {
public:
    static constexpr double kCell = 80;  // 2 mm

    explicit SegmentGrid(const std::vector<TipLine>& cuts) {
        for (const TipLine& line : cuts) {
            for (size_t i = 1; i < line.size(); ++i) {
                const Segment segment{&line[i - 1], &line[i]};
                const int64_t x0 = Cell(std::min(line[i - 1].x, line[i].x));
                const int64_t x1 = Cell(std::max(line[i - 1].x, line[i].x));
                const int64_t y0 = Cell(std::min(line[i - 1].y, line[i].y));
                const int64_t y1 = Cell(std::max(line[i - 1].y, line[i].y));
                for (int64_t cx = x0; cx <= x1; ++cx)
                    for (int64_t cy = y0; cy <= y1; ++cy) cells_[Key(cx, cy)].push_back(segment);
                Widen(x0, y0);
                Widen(x1, y1);
            }
        }
    }

    bool empty() const { return cells_.empty(); }

    // Looks ring by ring outward from the point's cell until no nearer
    // segment can lie further out; far from every cut it looks at them all.
    double Nearest(double px, double py) const {
        const int64_t cx = Cell(px);
        const int64_t cy = Cell(py);
        const int64_t farthest = std::max({cx - minX_, maxX_ - cx, cy - minY_, maxY_ - cy});
        double best = std::numeric_limits<double>::infinity();
        auto visit = [&](int64_t x, int64_t y) {
            const auto found = cells_.find(Key(x, y));
            if (found != cells_.end()) best = std::min(best, NearestIn(found->second, px, py));
        };
        for (int64_t ring = 0; ring <= farthest; ++ring) {
            if (static_cast<uint64_t>(ring) * 8 > cells_.size()) {
                for (const auto& cell : cells_)
                    best = std::min(best, NearestIn(cell.second, px, py));
                break;
            }
            for (int64_t x = cx - ring; x <= cx + ring; ++x) {
                visit(x, cy - ring);
                if (ring > 0) visit(x, cy + ring);
            }
            for (int64_t y = cy - ring + 1; y <= cy + ring - 1; ++y) {
                visit(cx - ring, y);
                visit(cx + ring, y);
            }
            if (best <= static_cast<double>(ring) * kCell) break;
        }
        return best;
    }

private:
    struct Segment {
        const TipPoint* a;
        const TipPoint* b;
    };

    static double NearestIn(const std::vector<Segment>& segments, double px, double py) {
        double best = std::numeric_limits<double>::infinity();
        for (const Segment& s : segments)
            best = std::min(best, DistanceToSegment(px, py, *s.a, *s.b));
        return best;
    }
    static int64_t Cell(double v) { return static_cast<int64_t>(std::floor(v / kCell)); }
    // Cells stay within ±2^31 for any coordinate the stream can carry.
    static uint64_t Key(int64_t x, int64_t y) {
        return (static_cast<uint64_t>(x) << 32) ^ (static_cast<uint64_t>(y) & 0xffffffffu);
    }
    void Widen(int64_t x, int64_t y) {
        minX_ = std::min(minX_, x);
        maxX_ = std::max(maxX_, x);
        minY_ = std::min(minY_, y);
        maxY_ = std::max(maxY_, y);
    }

    std::unordered_map<uint64_t, std::vector<Segment>> cells_;
    int64_t minX_ = INT64_MAX;
    int64_t maxX_ = INT64_MIN;
    int64_t minY_ = INT64_MAX;
    int64_t maxY_ = INT64_MIN;
};

}  // namespace

std::vector<KnifePoint> SharpCorners(const std::vector<std::vector<KnifePoint>>& lines) {
    std::vector<KnifePoint> corners;
    for (const std::vector<KnifePoint>& line : lines) {
        const size_t n = line.size();
        if (n < 3) continue;
        for (size_t i = 1; i + 1 < n; ++i)
            if (IsSharp(line[i - 1], line[i], line[i + 1])) corners.push_back(line[i]);
        if (Same(line.front(), line.back()) && IsSharp(line[n - 2], line[0], line[1]))
            corners.push_back(line[0]);
    }
    return corners;
}

std::optional<CornerMiss> MeasureCornerMiss(const std::vector<KnifePoint>& corners,
                                            const std::vector<TipLine>& cuts) {
    const SegmentGrid grid(cuts);
    if (corners.empty() || grid.empty()) return std::nullopt;
    CornerMiss miss;
    miss.corners = corners.size();
    for (const KnifePoint& corner : corners) {
        miss.largestUnits =
            std::max(miss.largestUnits,
                     grid.Nearest(static_cast<double>(corner.x), static_cast<double>(corner.y)));
    }
    return miss;
}
