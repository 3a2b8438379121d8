// The polygon buffer and the outline it gives at EP or FP.
#include "hpgl_polygon.h"

#include <algorithm>

namespace {

bool HasCut(const HpglSubpolygon& part) {
    return std::any_of(part.moves.begin(), part.moves.end(),
                       [](const HpglMove& move) { return move.down; });
}

}  // namespace

void HpglPolygon::Begin(HpglPoint start) {
    parts_.assign(1, HpglSubpolygon{start, {}, false});
    moves_ = 0;
}

bool HpglPolygon::Add(HpglPoint to, bool down) {
    if (moves_ >= kMostMoves) return false;
    ++moves_;
    if (parts_.empty()) parts_.push_back({to, {}, false});
    parts_.back().moves.push_back({to, down});
    return true;
}

void HpglPolygon::Close(bool penDown, HpglPoint at) {
    if (!parts_.empty()) parts_.back().closed = penDown;
    parts_.push_back({at, {}, false});
}

std::vector<HpglSubpolygon> HpglPolygon::Outline(bool fill) const {
    std::vector<HpglSubpolygon> outline;
    for (const HpglSubpolygon& part : parts_) {
        if (!HasCut(part)) continue;
        outline.push_back(part);
        // A writer that closes its polygons itself gets no second closing line.
        if ((part.closed || fill) && !(part.moves.back().to == part.start))
            outline.back().moves.push_back({part.start, true});
    }
    return outline;
}

bool HpglPolygon::Drawn() const {
    return std::any_of(parts_.begin(), parts_.end(), HasCut);
}
