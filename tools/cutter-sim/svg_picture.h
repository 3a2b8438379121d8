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
// cuts as solid lines, pen-up moves dashed. The picture's frame is known only
// at the end, so the path data is kept until Write.
class SvgPicture : public StrokeSink {
public:
    void Stroke(const KnifeStroke& stroke) override;
    // Frames the picture around `box` with a margin of one millimetre. With
    // layers over it, the stream itself is drawn as one thin line beneath them.
    void Write(std::ostream& out, const BoundingBox& box,
               const std::vector<SvgLayer>& layers = {}) const;

private:
    std::string cutPath_;
    std::string movePath_;
    bool cutOpen_ = false;  // the last cut ended where the next one may go on
    KnifePoint cutEnd_{0, 0};
};
