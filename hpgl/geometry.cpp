// Pen moves in user units become lines in plotter units: scaled, clipped to
// the window, or kept for polygon mode, and then handed to the sink.
#include "hpgl/geometry.h"

#include <cmath>

bool HpglGeometry::Refuse(HpglRefusal refusal) {
    if (!refusal_) refusal_ = std::move(refusal);
    return false;
}

// User units can be placed once the plotting area is known where they need it.
bool HpglGeometry::Placeable() {
    const std::string& needs = scaling_.NeedsPlotArea();
    return needs.empty() || Refuse(HpglRefusal::NeedsPlotArea(needs));
}

bool HpglGeometry::Instruction(std::string_view name, std::span<const double> n) {
    return !refusal_ && CarryOut(name, n) && !refusal_;
}

bool HpglGeometry::CarryOut(std::string_view name, std::span<const double> n) {
    std::string problem;
    if (name == "IN") {
        scaling_.Reset();
        window_.reset();
        relative_ = false;
        penDown_ = false;
        at_ = {};
        polygonMode_ = false;
        Finish();  // IN empties the polygon buffer
        chordMode_ = {};
    } else if (name == "DF") {
        scaling_.ScalingOff();
        window_.reset();
        relative_ = false;
        polygonMode_ = false;
        chordMode_ = {};
    } else if (name == "PU" || name == "PD") {
        penDown_ = name == "PD";
        return Moves(n);
    } else if (name == "PA" || name == "PR") {
        relative_ = name == "PR";
        return Moves(n);
    } else if (name == "IP") {
        problem = scaling_.InputP1P2(n.data(), n.size());
    } else if (name == "IR") {
        problem = scaling_.InputRelative(n.data(), n.size());
    } else if (name == "SC") {
        problem = scaling_.Scale(n.data(), n.size());
    } else if (name == "RO") {
        problem = scaling_.Rotate(n.data(), n.size());
    } else if (name == "IW") {
        return Window(n);
    } else if (name == "CT") {
        chordMode_.asDistance = !n.empty() && n[0] == 1;
    } else if (name == "AA" || name == "AR") {
        return Arc(name, n);
    } else if (name == "CI") {
        return Circle(n);
    } else if (name == "EA" || name == "ER" || name == "RA" || name == "RR") {
        return Rectangle(name, n);
    } else if (name == "PM") {
        return PolygonMode(n);
    } else if (name == "EP" || name == "FP") {
        if (!polygonMode_) CutPolygon(name == "FP");
    }
    // SP: nothing to move.
    return problem.empty() || Refuse(problem);
}

HpglPoint HpglGeometry::Target(HpglPoint numbers, bool relative) const {
    if (!relative) return scaling_.ToPlotter(numbers);
    const HpglPoint step = scaling_.Step(numbers);
    return {at_.x + step.x, at_.y + step.y};
}

bool HpglGeometry::Moves(std::span<const double> n) {
    if (n.size() >= 2 && !Placeable()) return false;
    for (size_t i = 0; i + 1 < n.size(); i += 2)
        MoveTo(Target({n[i], n[i + 1]}, relative_), penDown_);
    if (n.size() % 2 != 0) ++numbersDropped_;
    return true;
}

bool HpglGeometry::EncodedStep(const HpglEncodedStep& step) {
    if (refusal_ || !Placeable()) return false;
    penDown_ = !step.penUp;
    MoveTo(Target({step.x, step.y}, !step.absolute), penDown_);
    return !refusal_;
}

bool HpglGeometry::EncodedPolyline(std::string_view bytes) {
    HpglEncodedDecoder decoder([this](const HpglEncodedStep& step) { EncodedStep(step); });
    for (size_t i = 0; i < bytes.size(); ++i) decoder.Feed(static_cast<unsigned char>(bytes[i]), i);
    decoder.Finish();
    numbersDropped_ += decoder.lonelyX();
    if (!decoder.problem().empty()) Refuse("PE: " + decoder.problem());
    return !refusal_;
}

void HpglGeometry::MoveTo(HpglPoint to, bool down) {
    if (polygonMode_) {
        if (!polygon_.Add(to, down))
            Refuse("PM: a polygon of more than " + std::to_string(HpglPolygon::kMostPoints) +
                   " points");
    } else {
        Draw(at_, to, down);
    }
    at_ = to;
}

void HpglGeometry::Draw(HpglPoint from, HpglPoint to, bool down) {
    if (!down) {
        // Outside the window the pen travels, but no point of the cut is there.
        if (!window_ || InsideWindow(*window_, to)) Emit(to, false);
        return;
    }
    if (window_ && !ClipToWindow(*window_, from, to)) return;
    // A cut starts where the knife was last put, or from a raised move there.
    if (!emittedAt_ || !(*emittedAt_ == from)) Emit(from, false);
    Emit(to, true);
}

void HpglGeometry::Emit(HpglPoint at, bool down) {
    sink_(at, down);
    emittedAt_ = at;
}

bool HpglGeometry::Arc(std::string_view name, std::span<const double> n) {
    if (n.size() != 3 && n.size() != 4) return Refuse(std::string(name) + " needs 3 or 4 numbers");
    if (!Placeable()) return false;
    const HpglPoint start = scaling_.ToUser(at_);
    const HpglPoint center =
        name == "AA" ? HpglPoint{n[0], n[1]} : HpglPoint{start.x + n[0], start.y + n[1]};
    const std::optional<double> tolerance = n.size() == 4 ? std::optional(n[3]) : std::nullopt;
    const std::vector<HpglPoint> chords = ArcChords(center, start, n[2], tolerance, chordMode_);
    if (!penDown_) {  // a raised pen only has to reach the arc's end
        if (!chords.empty()) MoveTo(scaling_.ToPlotter(chords.back()), false);
        return true;
    }
    for (HpglPoint p : chords) MoveTo(scaling_.ToPlotter(p), true);
    return true;
}

// A circle about the pen: up to its rightmost point, round, and back up to
// the centre, whatever the pen was.
bool HpglGeometry::Circle(std::span<const double> n) {
    if (n.size() != 1 && n.size() != 2) return Refuse("CI needs 1 or 2 numbers");
    if (!Placeable()) return false;
    const HpglPoint centerAt = at_;
    const HpglPoint center = scaling_.ToUser(at_);
    const HpglPoint start{center.x + n[0], center.y};
    const std::optional<double> tolerance = n.size() == 2 ? std::optional(n[1]) : std::nullopt;
    MoveTo(scaling_.ToPlotter(start), false);
    for (HpglPoint p : ArcChords(center, start, 360, tolerance, chordMode_))
        MoveTo(scaling_.ToPlotter(p), true);
    if (polygonMode_) polygon_.Close(true);
    MoveTo(centerAt, false);
    return true;
}

// The rectangle's outline from the pen to the opposite corner and round;
// the pen ends where it began, as it was.
bool HpglGeometry::Rectangle(std::string_view name, std::span<const double> n) {
    if (n.size() != 2) return Refuse(std::string(name) + " needs 2 numbers");
    if (!Placeable()) return false;
    const HpglPoint cornerAt = at_;
    const HpglPoint c = scaling_.ToUser(at_);
    const bool absolute = name[1] == 'A';
    const HpglPoint q = absolute ? HpglPoint{n[0], n[1]} : HpglPoint{c.x + n[0], c.y + n[1]};
    for (HpglPoint p : {HpglPoint{q.x, c.y}, q, HpglPoint{c.x, q.y}})
        MoveTo(scaling_.ToPlotter(p), true);
    MoveTo(cornerAt, true);
    return true;
}

bool HpglGeometry::Window(std::span<const double> n) {
    if (n.empty()) {
        window_.reset();
        return true;
    }
    if (n.size() != 4) return Refuse("IW needs 4 numbers");
    if (!Placeable()) return false;
    const HpglPoint a = scaling_.ToPlotter({n[0], n[1]});
    const HpglPoint b = scaling_.ToPlotter({n[2], n[3]});
    window_ = HpglWindow{{std::fmin(a.x, b.x), std::fmin(a.y, b.y)},
                         {std::fmax(a.x, b.x), std::fmax(a.y, b.y)}};
    return true;
}

bool HpglGeometry::PolygonMode(std::span<const double> n) {
    const double mode = n.empty() ? 0 : n[0];
    if (mode == 0) {
        if (!polygonCut_ && polygon_.Drawn()) ++uncutPolygons_;
        polygon_.Begin(at_);
        polygonMode_ = true;
        polygonCut_ = false;
    } else if (mode == 1 || mode == 2) {
        if (polygonMode_) polygon_.Close(penDown_);
        if (mode == 2) polygonMode_ = false;
    } else {
        return Refuse("PM takes 0, 1 or 2");
    }
    return true;
}

// EP and FP cut the same outline, once: a writer that asks for both (fill
// and edge) gets one cut.
void HpglGeometry::CutPolygon(bool fill) {
    if (polygonCut_) return;
    polygonCut_ = true;
    polygon_.Outline(fill, [this](HpglPoint from, HpglPoint to) { Draw(from, to, true); });
}

void HpglGeometry::Finish() {
    if (!polygonCut_ && polygon_.Drawn()) ++uncutPolygons_;
    polygonCut_ = true;
}
