#pragma once
// Polygon mode (PM): the moves made between PM0 and PM2 are kept, not cut,
// until EP or FP asks for the outline. Subpolygons are closed as a plotter
// closes them: each back to its own first point.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "hpgl/scaling.h"

class HpglPolygon {
public:
    using LineSink = std::function<void(HpglPoint from, HpglPoint to)>;

    // PM0: a new polygon whose first point is where the pen stands.
    void Begin(HpglPoint start);
    // A move inside the polygon. A raised move, and the first move after
    // PM1, start a new subpolygon there without a line. False when the
    // buffer is full: a plotter's holds far fewer points.
    bool Add(HpglPoint to, bool down);
    // PM1/PM2: ends the subpolygon, closed when the pen is down; the next
    // point starts the next subpolygon.
    void Close(bool penDown);
    // Hands on the outline's lines, subpolygon by subpolygon; a filled
    // polygon (FP) is closed everywhere. A subpolygon its writer closed gets
    // no second closing line.
    void Outline(bool fill, const LineSink& line) const;
    bool Drawn() const { return cuts_ > 0; }

    static constexpr size_t kMostPoints = size_t{1} << 20;  // 24 MiB

private:
    enum class Kind : uint8_t { Start, ClosedStart, Cut };
    struct Vertex {
        HpglPoint at;
        Kind kind = Kind::Start;
    };
    void Start(HpglPoint at);

    std::vector<Vertex> points_;
    size_t currentStart_ = 0;  // index of the open subpolygon's first point
    size_t cuts_ = 0;
    bool startPending_ = false;  // after PM1: the next point starts a subpolygon
};
