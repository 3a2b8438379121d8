#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "stream_decoder.h"

// A further path drawn over the stream: its class, its stroke attributes and
// its path data in millimetres.
struct SvgLayer {
    std::string name;
    std::string style;
    std::string path;
};

// Collects the knife's strokes and draws them as an SVG picture in millimetres:
// cuts as solid lines, pen-up moves dashed, each contour numbered where its
// pen-up move ends (by job and contour, "2.5", when several jobs came). The picture's frame is
// known only at the end, so the path data is kept until Write.
class SvgPicture : public StrokeSink {
public:
    void Stroke(const KnifeStroke& stroke) override;
    void ContourBegins(KnifePoint at) override;
    void JobBegins() override;
    // Frames the picture around `box` with a margin of one millimetre. With
    // layers over it, the stream itself is drawn as one thin line beneath them.
    void Write(std::ostream& out, const BoundingBox& box,
               const std::vector<SvgLayer>& layers = {}) const;

private:
    struct ContourLabel {
        uint32_t job;
        uint32_t contour;
        KnifePoint at;
    };
    void WriteLabels(std::ostream& out, const BoundingBox& frame) const;

    std::vector<ContourLabel> labels_;
    uint32_t job_ = 1;
    uint32_t jobs_ = 0;  // JobBegins calls: several jobs when above 1
    uint32_t contour_ = 0;
    std::string cutPath_;
    std::string movePath_;
    bool cutOpen_ = false;  // the last cut ended where the next one may go on
    KnifePoint cutEnd_{0, 0};
};
