#pragma once
// The drag knife's tip: it trails the tool axis by the knife offset like a
// castor, so the line it leaves in the material differs from the stream's.
#include <vector>

#include "stream_decoder.h"

// A point of the tip's path, in plotter units (1/40 mm).
struct TipPoint {
    double x;
    double y;
};

using TipLine = std::vector<TipPoint>;

// Follows the knife strokes and computes where the tip went. While the knife
// is down the tip is dragged toward the axis and stays `offsetUnits` behind
// it (a tractrix); while it is up the blade is lifted and keeps its heading.
class BladeTrail : public StrokeSink {
public:
    explicit BladeTrail(double offsetUnits) : offset_(offsetUnits) {}

    void Stroke(const KnifeStroke& stroke) override;

    // The tip's cuts: one polyline for every run of consecutive cut strokes.
    const std::vector<TipLine>& cuts() const { return cuts_; }
    // The axis's cut strokes, for the picture.
    const std::vector<KnifeStroke>& axisCuts() const { return axisCuts_; }
    double cutLengthUnits() const { return cutLength_; }
    // The box around every point the tip cut through.
    BoundingBox box() const;

private:
    void Drag(const KnifeStroke& stroke);
    void AddTipPoint(TipPoint p);

    double offset_;
    bool placed_ = false;
    // From the axis to the tip; a lifted blade keeps it.
    double trailX_ = 0;
    double trailY_ = 0;
    bool cutOpen_ = false;
    KnifePoint lastCutEnd_{0, 0};
    std::vector<TipLine> cuts_;
    std::vector<KnifeStroke> axisCuts_;
    double cutLength_ = 0;
};
