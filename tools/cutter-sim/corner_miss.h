#pragma once
// How far the blade's cut misses the sharp corners of the drawing it was
// meant to cut.
#include <functional>
#include <optional>
#include <vector>

#include "blade_trail.h"
#include "stream_decoder.h"

// Collects a drawing's cuts as polylines: one for every run of consecutive
// cut strokes.
class DrawingOutline : public StrokeSink {
public:
    void Stroke(const KnifeStroke& stroke) override;
    const std::vector<std::vector<KnifePoint>>& lines() const { return lines_; }

private:
    std::vector<std::vector<KnifePoint>> lines_;
    bool open_ = false;
};

// A corner is sharp below this angle between its two sides; blunter corners
// the blade rounds off by little.
constexpr double kSharpCornerDegrees = 145;

// The drawing's sharp corners: inner points of each polyline, and the start
// of a closed one, whose sides meet at less than kSharpCornerDegrees.
std::vector<KnifePoint> SharpCorners(const std::vector<std::vector<KnifePoint>>& lines);

struct CornerMiss {
    size_t corners = 0;
    double largestUnits = 0;  // the largest of the corners' distances to the cut
};

// For every corner the distance to the nearest point of the blade's cut; none
// when the blade cut nothing, there is no corner, or `stopped` said so.
std::optional<CornerMiss> MeasureCornerMiss(const std::vector<KnifePoint>& corners,
                                            const std::vector<TipLine>& cuts,
                                            const std::function<bool()>& stopped = {});
