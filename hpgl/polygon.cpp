// The polygon buffer and the outline it gives at EP or FP.
#include "hpgl/polygon.h"

void HpglPolygon::Begin(HpglPoint start) {
    points_.clear();
    cuts_ = 0;
    startPending_ = false;
    currentStart_ = 0;
    points_.push_back({start, Kind::Start});
}

// A subpolygon without a line is not kept: its first point gives way.
void HpglPolygon::Start(HpglPoint at) {
    startPending_ = false;
    if (!points_.empty() && currentStart_ + 1 == points_.size()) {
        points_.back() = {at, Kind::Start};
        return;
    }
    currentStart_ = points_.size();
    points_.push_back({at, Kind::Start});
}

bool HpglPolygon::Add(HpglPoint to, bool down) {
    if (points_.size() >= kMostPoints) return false;
    if (!down || startPending_ || points_.empty()) {
        Start(to);
        return true;
    }
    points_.push_back({to, Kind::Cut});
    ++cuts_;
    return true;
}

void HpglPolygon::Close(bool penDown) {
    if (penDown && currentStart_ < points_.size()) points_[currentStart_].kind = Kind::ClosedStart;
    startPending_ = true;
}

void HpglPolygon::Outline(bool fill, const LineSink& line) const {
    size_t i = 0;
    while (i < points_.size()) {
        const Vertex& first = points_[i];
        HpglPoint from = first.at;
        for (++i; i < points_.size() && points_[i].kind == Kind::Cut; ++i) {
            line(from, points_[i].at);
            from = points_[i].at;
        }
        const bool closes = fill || first.kind == Kind::ClosedStart;
        if (closes && !(from == first.at)) line(from, first.at);
    }
}
