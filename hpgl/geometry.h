#pragma once
// The plotter's state behind the HPGL instructions that move the pen or
// place the drawing: pen moves (PU, PD, PA, PR, PE), arcs, circles and
// rectangles, polygon mode, scaling and rotation, and the input window. It
// hands each line to cut, in plotter units, to a sink.
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hpgl/arcs.h"
#include "hpgl/clip.h"
#include "hpgl/encoded.h"
#include "hpgl/polygon.h"
#include "hpgl/refusal.h"
#include "hpgl/scaling.h"

class HpglGeometry {
public:
    // Receives every point the knife goes to, lowered or raised.
    using Sink = std::function<void(HpglPoint plotterUnits, bool down)>;

    // `plotArea` in plotter units, when the user gave it.
    HpglGeometry(std::optional<HpglPoint> plotArea, Sink sink)
        : scaling_(plotArea), sink_(std::move(sink)) {}

    // Carries out one instruction with its numbers; false when the file cannot
    // be cut as a plotter would draw it, with the reason in Refusal().
    bool Instruction(std::string_view name, std::span<const double> numbers);
    // One pair of a PE line, as it is decoded.
    bool EncodedStep(const HpglEncodedStep& step);
    // PE with its bytes up to (not with) the ';', all at once.
    bool EncodedPolyline(std::string_view bytes);
    // Numbers without their partner that the caller met.
    void CountDropped(size_t numbers) { numbersDropped_ += numbers; }
    // The end of the file: a polygon still waiting for EP or FP is counted.
    void Finish();

    const HpglRefusal& Refusal() const { return refusal_; }
    // Numbers without their partner (a lone x) and numbers PE could not read.
    size_t NumbersDropped() const { return numbersDropped_; }
    // Polygons that were never edged or filled, and so not cut.
    size_t UncutPolygons() const { return uncutPolygons_; }

private:
    bool CarryOut(std::string_view name, std::span<const double> numbers);
    bool Refuse(HpglRefusal refusal);
    bool Refuse(std::string whyNotCut) {
        return Refuse(HpglRefusal::CannotBeCut(std::move(whyNotCut)));
    }
    bool Placeable();
    void MoveTo(HpglPoint to, bool down);
    void Draw(HpglPoint from, HpglPoint to, bool down);
    void Emit(HpglPoint at, bool down);
    HpglPoint Target(HpglPoint numbers, bool relative) const;
    bool Moves(std::span<const double> numbers);
    bool Arc(std::string_view name, std::span<const double> n);
    bool Circle(std::span<const double> n);
    bool Rectangle(std::string_view name, std::span<const double> n);
    bool Window(std::span<const double> n);
    bool PolygonMode(std::span<const double> n);
    void CutPolygon(bool fill);

    HpglScaling scaling_;
    Sink sink_;
    std::optional<HpglWindow> window_;
    bool relative_ = false;
    bool penDown_ = false;
    HpglPoint at_;  // where the pen stands, plotter units, kept exact
    std::optional<HpglPoint> emittedAt_;
    bool polygonMode_ = false;
    HpglPolygon polygon_;
    bool polygonCut_ = true;  // the buffer's outline was cut (or there is none)
    HpglChordTolerance chordMode_;
    HpglRefusal refusal_;
    size_t numbersDropped_ = 0;
    size_t uncutPolygons_ = 0;
};
