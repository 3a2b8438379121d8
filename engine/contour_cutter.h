#pragma once
#include <cstdint>
#include <vector>

#include "engine/geometry.h"
#include "engine/move_writer.h"
#include "engine/pos_xyz.h"

// Pass 2's per-point state machine. It holds back one point, because the next
// pen-down point gives the direction out of a corner. A drag knife trails its
// holder, so at sharp corners the cut runs on past the corner by the knife offset
// and turns there; closed contours are cut again over their first stretch (the
// overcut) so that the start and the end of the cut meet.
class ContourCutter {
public:
    ContourCutter(MoveWriter& writer, int32_t nOffsetUnits, int32_t nOvercutUnits);

    // Points come in file order, never equal in x and y to the point before.
    void FeedPoint(Pos_xyz p);
    void EndOfInput();

private:
    bool IsSharp(Pos_xyz from, Pos_xyz corner, Pos_xyz next) const;
    Pos_xyz OffsetPoint(Pos_xyz base, Pos_xyz from, Pos_xyz toward) const;
    void StartContour(Pos_xyz p);
    void SingleCut();
    void CornerStep(Pos_xyz n);
    void FinishContour();
    void RecordOvercut(Pos_xyz from, Pos_xyz toward, int32_t length);
    // While collecting, overcutSoFar_ has not passed nOvercutUnits_: the room
    // left fits int32.
    int32_t OvercutRoom() const { return static_cast<int32_t>(nOvercutUnits_ - overcutSoFar_); }

    MoveWriter& writer_;
    const AngleLimit sharpAngle_;
    const int32_t nOffsetUnits_;
    const int32_t nOvercutUnits_;

    int32_t pointCount_ = 0;
    Pos_xyz startPoint_{};
    Pos_xyz fromPoint_{};
    Pos_xyz cornerPoint_{};
    Pos_xyz prevCorner_{};
    Pos_xyz secondPoint_{};
    std::vector<Pos_xyz> overcutList_;
    int64_t overcutSoFar_ = 0;  // 64-bit: piece + offset sums cannot overflow
    bool collecting_ = false;
    bool replayPending_ = false;
};
