// How far the blade's cut misses the drawing's sharp corners (under 145 degrees): each one's
// distance to the nearest cut segment, found through the 2 mm cells each segment passes.
#include "corner_miss.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

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
constexpr size_t kCornersBetweenStopChecks = 64;
constexpr size_t kSegmentsBetweenStopChecks = 4096;

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

// The blade's segments filed under the square cells they pass through, so
// that each corner looks only at the cut near it. The index grows with the
// number of segments and their length in cells, never with the area they
// span; on very long cuts the cells grow so that it stays within bounds.
class SegmentGrid {
public:
    // Left empty when `stopped` says so while segments are filed.
    SegmentGrid(const std::vector<TipLine>& cuts, const std::function<bool()>& stopped) {
        double length = 0;  // across and along, as the cells count it
        for (const TipLine& line : cuts) {
            for (size_t i = 1; i < line.size(); ++i) {
                segments_.push_back({&line[i - 1], &line[i]});
                length +=
                    std::fabs(line[i].x - line[i - 1].x) + std::fabs(line[i].y - line[i - 1].y);
            }
        }
        cell_ = std::max(kCell, length / kMaxLengthCells);
        for (size_t i = 0; i < segments_.size(); ++i) {
            if (i % kSegmentsBetweenStopChecks == 0 && stopped && stopped()) {
                segments_.clear();
                entries_.clear();
                return;
            }
            File(i);
        }
        std::sort(entries_.begin(), entries_.end(),
                  [](const Entry& a, const Entry& b) { return a.cell < b.cell; });
    }

    bool empty() const { return segments_.empty(); }

    // Looks ring by ring outward from the point's cell until no nearer
    // segment can lie further out. Once the rings have looked at more cells
    // than there are segments, it looks at every segment instead. A segment
    // within `enough` ends the search: nearer ones would not matter.
    double Nearest(double px, double py, double enough) const {
        const int64_t cx = Cell(px);
        const int64_t cy = Cell(py);
        const int64_t farthest = std::max({cx - minX_, maxX_ - cx, cy - minY_, maxY_ - cy});
        double best = std::numeric_limits<double>::infinity();
        uint64_t looked = 0;
        auto visit = [&](int64_t x, int64_t y) {
            ++looked;
            const uint64_t key = Key(x, y);
            auto at = std::lower_bound(entries_.begin(), entries_.end(), key,
                                       [](const Entry& e, uint64_t k) { return e.cell < k; });
            for (; at != entries_.end() && at->cell == key && best > enough; ++at)
                best = std::min(best, Distance(px, py, segments_[at->segment]));
        };
        for (int64_t ring = 0; ring <= farthest && best > enough; ++ring) {
            if (looked > segments_.size()) {
                for (const Segment& s : segments_) best = std::min(best, Distance(px, py, s));
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
            if (best <= static_cast<double>(ring) * cell_) break;
        }
        return best;
    }

private:
    static constexpr double kCell = 80;  // 2 mm
    // Cells of cut length at most, some 64 MB of index.
    static constexpr double kMaxLengthCells = 4.0 * 1024 * 1024;

    struct Segment {
        const TipPoint* a;
        const TipPoint* b;
    };
    struct Entry {
        uint64_t cell;
        size_t segment;
    };

    static double Distance(double px, double py, const Segment& s) {
        return DistanceToSegment(px, py, *s.a, *s.b);
    }

    // Column by column along x, the cells between the heights at which the
    // segment enters and leaves the column: every cell it passes through.
    void File(size_t index) {
        const TipPoint& a = *segments_[index].a;
        const TipPoint& b = *segments_[index].b;
        const TipPoint& left = a.x <= b.x ? a : b;
        const TipPoint& right = a.x <= b.x ? b : a;
        const double dx = right.x - left.x;
        auto heightAt = [&](double x) {
            if (x <= left.x) return left.y;
            if (x >= right.x) return right.y;
            return left.y + std::clamp((x - left.x) / dx, 0.0, 1.0) * (right.y - left.y);
        };
        const int64_t lastColumn = Cell(right.x);
        for (int64_t column = Cell(left.x); column <= lastColumn; ++column) {
            const double enter = heightAt(static_cast<double>(column) * cell_);
            const double leave = heightAt(static_cast<double>(column + 1) * cell_);
            const int64_t top = Cell(std::max(enter, leave));
            for (int64_t row = Cell(std::min(enter, leave)); row <= top; ++row) {
                entries_.push_back({Key(column, row), index});
                Widen(column, row);
            }
        }
    }

    int64_t Cell(double v) const { return static_cast<int64_t>(std::floor(v / cell_)); }
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

    double cell_ = kCell;
    std::vector<Segment> segments_;
    std::vector<Entry> entries_;  // by cell
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
                                            const std::vector<TipLine>& cuts,
                                            const std::function<bool()>& stopped) {
    if (corners.empty()) return std::nullopt;
    const SegmentGrid grid(cuts, stopped);
    if (grid.empty()) return std::nullopt;
    CornerMiss miss;
    miss.corners = corners.size();
    // Corners that meet at one point are measured once: their cell may hold
    // the sides of every one of them.
    std::vector<KnifePoint> distinct = corners;
    std::sort(distinct.begin(), distinct.end(),
              [](KnifePoint a, KnifePoint b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    distinct.erase(std::unique(distinct.begin(), distinct.end(), Same), distinct.end());
    // Only a corner further from the cut than the largest so far changes the
    // answer: the search for each stops at the first segment within it, which
    // keeps corners among many crossing lines cheap.
    for (size_t i = 0; i < distinct.size(); ++i) {
        if (i % kCornersBetweenStopChecks == 0 && stopped && stopped()) return std::nullopt;
        const double x = static_cast<double>(distinct[i].x);
        const double y = static_cast<double>(distinct[i].y);
        miss.largestUnits = std::max(miss.largestUnits, grid.Nearest(x, y, miss.largestUnits));
    }
    return miss;
}
