// The plotter's geometry: scaling, rotation, window, encoded polylines,
// arcs, circles, rectangles and polygon mode, as the lines handed on to cut.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "hpgl/arcs.h"
#include "hpgl/encoded.h"
#include "hpgl/geometry.h"

namespace {

// Runs instructions given as name and numbers and writes the lines as
// "U x,y" / "D x,y", rounded to whole units.
class Plot {
public:
    explicit Plot(std::optional<HpglPoint> area = std::nullopt)
        : geometry_(area, [this](HpglPoint p, bool down) {
              lines_ += (lines_.empty() ? "" : " ") + std::string(down ? "D" : "U") +
                        std::to_string(std::llround(p.x)) + "," + std::to_string(std::llround(p.y));
              ++count_;
          }) {}
    Plot& operator()(const char* name, std::vector<double> numbers = {}) {
        geometry_.Instruction(name, numbers);
        return *this;
    }
    Plot& Encoded(std::string_view bytes) {
        geometry_.EncodedPolyline(bytes);
        return *this;
    }
    void Finish() { geometry_.Finish(); }
    const std::string& lines() const { return lines_; }
    size_t count() const { return count_; }
    const HpglGeometry& geometry() const { return geometry_; }

private:
    HpglGeometry geometry_;
    std::string lines_;
    size_t count_ = 0;
};

constexpr HpglPoint kArea{10000, 7500};

TEST(HpglGeometry, ScalingPlacesUserUnitsAsAPlotterDoes) {
    // Anisotropic, as plotutils writes it: 10000 user units over 8128 plotter units.
    EXPECT_EQ(Plot()("IP", {0, 0, 8128, 8128})("SC", {0, 10000, 0, 10000})("PA", {5000, 10000})(
                  "PD", {10000, 0})
                  .lines(),
              "U4064,8128 D8128,0");
    // Isotropic: the smaller factor on both axes, the rest shared out as asked.
    EXPECT_EQ(
        Plot()("IP", {0, 0, 2000, 1000})("SC", {0, 10, 0, 10, 1, 0, 50})("PD", {10, 10}).lines(),
        "U0,0 D1000,1000");
    // Point factor: one user unit is so many plotter units, from P1.
    EXPECT_EQ(Plot()("IP", {100, 100, 200, 200})("SC", {0, 4, 0, -2, 2})("PD", {10, 10}).lines(),
              "U0,0 D140,80");
    // RO90 turns the frame a quarter counter-clockwise; IP set after it is in the turned frame.
    EXPECT_EQ(Plot()("RO", {90})("PD", {100, 0}).lines(), "U0,0 D0,100");
    // Off both axes, so that a turn the wrong way shows in both coordinates.
    const auto turned = [](double angle) {
        return Plot()("RO", {angle})("IP", {0, 0, 1000, 1000})("PD", {30, 70}).lines();
    };
    EXPECT_EQ(turned(90), "U0,0 D-70,30");
    EXPECT_EQ(turned(270), "U0,0 D70,-30");
    // IR is a share of the plotting area.
    EXPECT_EQ(Plot(kArea)("IR", {0, 0, 50, 50})("SC", {0, 1, 0, 1})("PD", {1, 1}).lines(),
              "U0,0 D5000,3750");
    // A scaling off (SC;) takes plotter units as they are.
    EXPECT_EQ(Plot()("IP", {0, 0, 10, 10})("SC", {0, 1, 0, 1})("SC")("PD", {7, 7}).lines(),
              "U0,0 D7,7");
}

TEST(HpglGeometry, ScalingThatWouldGiveAnotherShapeIsRefused) {
    const auto refusal = [](std::vector<double> sc) {
        Plot plot;
        plot("IP", {0, 0, 10000, 10000})("SC", std::move(sc));
        return plot.geometry().Refusal().why();
    };
    EXPECT_EQ(refusal({-1.7e308, 1.7e308, 0, 100}),
              "SC gives scaling whose arithmetic overflows, cannot be undone or cannot tell "
              "plotter units apart");
    EXPECT_NE(refusal({0, 1e-200, 0, 1e-200}), "");  // its inverse underflows
    EXPECT_NE(refusal({1e18, 1e18 + 1000, 0, 100}), "");
    EXPECT_NE(refusal({1e18, 2, 0, 2, 2}), "");  // a point factor from far away
    EXPECT_EQ(refusal({0, 100, 0, 100}), "");
    EXPECT_EQ(refusal({-1e6, 1e6, 5e5, 6e5}), "");
}

TEST(HpglGeometry, ScalingToTheDevicesAreaNeedsItsSize) {
    Plot without;
    without("SC", {0, 10000, 0, 7500})("PU", {0, 0})("PD", {10000, 7500});
    EXPECT_EQ(without.lines(), "");
    EXPECT_EQ(without.geometry().Refusal(), HpglRefusal::NeedsPlotArea("SC"));
    EXPECT_EQ(
        Plot({{5000, 3750}})("SC", {0, 10000, 0, 7500})("PU", {0, 0})("PD", {10000, 7500}).lines(),
        "U0,0 D5000,3750");
    // A later IP settles it before anything is drawn.
    Plot later;
    later("SC", {0, 1, 0, 1})("IP", {0, 0, 40, 40})("PD", {1, 1});
    EXPECT_EQ(later.lines(), "U0,0 D40,40");
    EXPECT_FALSE(later.geometry().Refusal());
    EXPECT_EQ(Plot()("IR", {10, 10, 90, 90})("SC", {0, 1, 0, 1})("PD", {1, 1}).geometry().Refusal(),
              HpglRefusal::NeedsPlotArea("IR"));
}

TEST(HpglGeometry, TheWindowClipsLinesAndHidesMovesOutsideIt) {
    EXPECT_EQ(Plot()("IW", {0, 0, 100, 100})("PU", {-50, 50})("PD", {150, 50})("PU", {200, 200})(
                  "PD", {50, 200})
                  .lines(),
              "U0,50 D100,50");
}

TEST(HpglGeometry, EncodedPolylinesDecodeInBothBases) {
    // 100 is 200 (the sign is the lowest bit) = 8 + 3 * 64: 'G', then the
    // terminator 3 + 191. 0xC2 alone is 3: -1. '>' then 1 (as 2) halves what follows.
    const HpglEncodedPolyline eight = DecodeEncodedPolyline("<=G\xC2\xC2\xCA\n>\xC1G\xC2G\xC2");
    ASSERT_EQ(eight.steps.size(), 2u);
    EXPECT_TRUE(eight.steps[0].penUp && eight.steps[0].absolute);
    EXPECT_EQ(eight.steps[0].x, 100);
    EXPECT_EQ(eight.steps[0].y, -1);
    EXPECT_FALSE(eight.steps[1].penUp || eight.steps[1].absolute);
    EXPECT_EQ(eight.steps[1].x, -5);
    EXPECT_EQ(eight.steps[1].y, 50);
    EXPECT_EQ(eight.numbersDropped, 1u);  // the lone x at the end
    // Base 32: 200 = 8 + 6 * 32, the terminator 6 + 95 ('e').
    const HpglEncodedPolyline seven = DecodeEncodedPolyline("7GeGe?");
    ASSERT_EQ(seven.steps.size(), 1u);
    EXPECT_EQ(seven.steps[0].y, 100);
    // Base 32's last continuing digit ('^', 31) and its first terminator ('_', 0).
    const HpglEncodedPolyline boundary = DecodeEncodedPolyline("7^_^_");
    ASSERT_EQ(boundary.steps.size(), 1u);
    EXPECT_EQ(boundary.steps[0].x, -15);
    EXPECT_EQ(boundary.steps[0].y, -15);
    // A number that never ends, or one too long for any coordinate, shifts
    // every pair after it: the line cannot be read.
    EXPECT_EQ(seven.problem, "a number cut off before its last digit at byte 5");
    EXPECT_EQ(DecodeEncodedPolyline("GGGGGGGGGGG\xC2G\xC2").problem,
              "a number of more than 10 digits at byte 0");
    // Cut as relative pen-down moves, the '<' pair as a move.
    EXPECT_EQ(Plot()("PU", {10, 10}).Encoded("<=G\xC2G\xC2").lines(), "U10,10 U100,100");
    EXPECT_EQ(Plot()("PU", {10, 10}).Encoded("G\xC2\xBF").lines(), "U10,10 D110,10");
}

TEST(HpglGeometry, ArcsAreCutAsChordsOfTheirTolerance) {
    const auto chords = [](double sweep, std::optional<double> tolerance, bool distance) {
        return ArcChords({0, 0}, {1000, 0}, sweep, tolerance, {distance}).size();
    };
    EXPECT_EQ(chords(90, std::nullopt, false), 18u);  // 5 degrees when none is given
    EXPECT_EQ(chords(90, 30, false), 3u);
    EXPECT_EQ(chords(-90, 0.1, false), 180u);  // no finer than half a degree
    // At most 1000 * (1 - cos 5 deg) = 3.8 units from the arc: chords of just over 10 degrees.
    EXPECT_EQ(chords(90, 3.81, true), 9u);
    // AA from the pen, AR's centre relative to it; the pen ends at the arc's end.
    EXPECT_EQ(Plot()("PU", {100, 0})("PD")("AA", {0, 0, 180, 90}).lines(), "U100,0 D0,100 D-100,0");
    EXPECT_EQ(Plot()("PU", {100, 0})("AR", {-100, 0, 90, 90})("PD", {0, 0}).lines(),
              "U100,0 U0,100 D0,0");
    // A circle: up to its start, round, and back to the centre.
    Plot circle;
    circle("PU", {0, 0})("CI", {100, 90});
    EXPECT_EQ(circle.lines(), "U0,0 U100,0 D0,100 D-100,0 D0,-100 D100,0 U0,0");
    EXPECT_EQ(Plot()("CI", {1000}).count(), 74u);  // 72 chords of 5 degrees
}

TEST(HpglGeometry, RectanglesAreCutAsOutlines) {
    EXPECT_EQ(Plot()("PU", {10, 10})("EA", {30, 20}).lines(), "U10,10 D30,10 D30,20 D10,20 D10,10");
    EXPECT_EQ(Plot()("PU", {10, 10})("RR", {-5, 5}).lines(), "U10,10 D5,10 D5,15 D10,15 D10,10");
}

TEST(HpglGeometry, APolygonIsCutOnceAtItsEdgeOrFill) {
    // Closed by the writer: as given, once, though both fill and edge ask for it.
    EXPECT_EQ(
        Plot()("PU", {0, 0})("PM", {0})("PD", {10, 0, 10, 10, 0, 0})("PM", {2})("FP")("EP").lines(),
        "U0,0 D10,0 D10,10 D0,0");
    // Left open with the pen down: closed; with the pen up: open for the edge, closed for the fill.
    EXPECT_EQ(Plot()("PM", {0})("PD", {10, 0, 10, 10})("PM", {2})("EP").lines(),
              "U0,0 D10,0 D10,10 D0,0");
    EXPECT_EQ(Plot()("PM", {0})("PD", {10, 0, 10, 10})("PU")("PM", {2})("EP").lines(),
              "U0,0 D10,0 D10,10");
    EXPECT_EQ(Plot()("PM", {0})("PD", {10, 0, 10, 10})("PU")("PM", {2})("FP").lines(),
              "U0,0 D10,0 D10,10 D0,0");
    // Nothing is cut before the edge; a polygon never edged is counted.
    Plot unedged;
    unedged("PM", {0})("PD", {10, 0})("PM", {2});
    unedged.Finish();
    EXPECT_EQ(unedged.lines(), "");
    EXPECT_EQ(unedged.geometry().UncutPolygons(), 1u);
}

}  // namespace
