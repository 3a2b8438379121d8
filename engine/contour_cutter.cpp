// The drag knife's corrections point by point: at sharp corners the cut runs on by the knife
// offset and turns there; closed contours are cut again over their start by the overcut.
#include "engine/contour_cutter.h"

#include "engine/geometry.h"

namespace {
constexpr double kSharpAngleDegrees = 145.0;  // a wider corner needs no offset
constexpr int32_t kMinSharpEntry = 40;        // 1 mm: shorter entries are cut plain
}  // namespace

ContourCutter::ContourCutter(MoveWriter& writer, int32_t nOffsetUnits, int32_t nOvercutUnits)
    : writer_(writer),
      sharpAngle_(kSharpAngleDegrees),
      nOffsetUnits_(nOffsetUnits),
      nOvercutUnits_(nOvercutUnits) {}

bool ContourCutter::IsSharp(Pos_xyz from, Pos_xyz corner, Pos_xyz next) const {
    // Not-a-number (a zero-length leg) is below no limit: not sharp.
    return nOffsetUnits_ > 0 && DistanceAbove(from, corner, kMinSharpEntry) &&
           sharpAngle_.Below(from, corner, next);
}

Pos_xyz ContourCutter::OffsetPoint(Pos_xyz base, Pos_xyz from, Pos_xyz toward) const {
    return Displace(base, OffsetVector(nOffsetUnits_, from, toward));
}

void ContourCutter::FeedPoint(Pos_xyz p) {
    if (p.pen == 0 || pointCount_ == 0) {
        // A pen-down point before any pen-up point starts the contour where it
        // stands, as a pen-up point there would: no line goes to an unset place.
        if (pointCount_ >= 3) FinishContour();
        if (pointCount_ == 2) SingleCut();
        StartContour(p);
        return;
    }
    if (pointCount_ == 1) {
        cornerPoint_ = p;
        pointCount_ = 2;
        collecting_ = nOvercutUnits_ > 0;  // nothing recorded is ever cut otherwise
        replayPending_ = nOvercutUnits_ > 0;
        return;
    }
    ++pointCount_;
    CornerStep(p);
}

void ContourCutter::EndOfInput() {
    if (pointCount_ >= 3) FinishContour();
    if (pointCount_ == 2) SingleCut();
    pointCount_ = 0;
}

void ContourCutter::StartContour(Pos_xyz p) {
    // The list keeps its storage for the next contour: no allocation per contour,
    // and never more than the largest contour's recording.
    overcutList_.clear();
    collecting_ = false;
    overcutSoFar_ = 0;
    pointCount_ = 1;
    fromPoint_ = p;
    startPoint_ = p;
}

// A start and one pen-down point: a plain cut, without offset or overcut.
void ContourCutter::SingleCut() {
    writer_.WriteMove('U', fromPoint_);
    writer_.WriteMove('D', cornerPoint_);
}

void ContourCutter::RecordOvercut(Pos_xyz from, Pos_xyz toward, int32_t length) {
    overcutList_.push_back(Displace(from, OffsetVector(length, from, toward)));
    collecting_ = false;
}

void ContourCutter::CornerStep(Pos_xyz n) {
    const Pos_xyz f = fromPoint_;
    const Pos_xyz b = cornerPoint_;
    const bool firstCorner = pointCount_ == 3;

    if (firstCorner) writer_.WriteMove('U', f);
    if (IsSharp(f, b, n)) {
        const Pos_xyz h = OffsetPoint(b, f, b);
        const Pos_xyz j = OffsetPoint(b, b, n);
        writer_.WriteMove('D', h);
        writer_.WriteMove('D', j);
        if (collecting_) {
            const int32_t room = OvercutRoom();
            const int32_t piece = PointDistance(f, h);
            if (piece > room) {
                RecordOvercut(f, h, room);
            } else {
                overcutList_.push_back(h);
                overcutList_.push_back(j);
                overcutSoFar_ += static_cast<int64_t>(piece) + nOffsetUnits_;
                if (overcutSoFar_ >= nOvercutUnits_) collecting_ = false;
            }
        }
        fromPoint_ = j;
    } else {
        writer_.WriteMove('D', b);
        if (collecting_) {
            const int32_t room = OvercutRoom();
            const int32_t entry = PointDistance(f, b);
            if (entry > room) {
                RecordOvercut(f, b, room);
            } else {
                // Reaching the overcut length exactly does not end the recording
                // here: the next corner records this point once more with a room
                // of 0. Stored jobs have always been cut that way.
                overcutList_.push_back(b);
                overcutSoFar_ += entry;
            }
        }
        fromPoint_ = b;
    }
    if (firstCorner) secondPoint_ = fromPoint_;
    prevCorner_ = b;
    cornerPoint_ = n;
}

void ContourCutter::FinishContour() {
    // The last corner turns toward the contour's second written point, so the
    // knife is lined up for the overcut; its entry is the whole last segment.
    const Pos_xyz last = cornerPoint_;
    if (IsSharp(prevCorner_, last, secondPoint_)) {
        writer_.WriteMove('D', OffsetPoint(last, prevCorner_, last));
        writer_.WriteMove('D', OffsetPoint(last, last, secondPoint_));
    } else {
        writer_.WriteMove('D', last);
    }
    if (SamePlace(last, startPoint_) && replayPending_) {
        replayPending_ = false;
        for (Pos_xyz p : overcutList_) writer_.WriteMove('D', p);
    }
}
