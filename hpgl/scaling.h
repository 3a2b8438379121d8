#pragma once
// Where an HPGL user unit lands on the material: the scaling points P1/P2
// (IP, IR), user units (SC in its three forms) and the rotation (RO), as a
// plotter places them. Lengths on the material are plotter units (1/40 mm).
#include <cstddef>
#include <optional>
#include <string>

struct HpglPoint {
    double x = 0;
    double y = 0;
};

inline bool operator==(HpglPoint a, HpglPoint b) {
    return a.x == b.x && a.y == b.y;
}

class HpglScaling {
public:
    // The plotting area (width, height in plotter units) when the user gave
    // it; without it, only what does not depend on the device is known.
    explicit HpglScaling(std::optional<HpglPoint> plotArea) : plotArea_(plotArea) { Reset(); }

    // IN: P1/P2 at the plotting area's corners, no user units, no rotation.
    void Reset();
    // DF: user units off; P1/P2 and the rotation stay.
    void ScalingOff() { mode_ = Mode::Off; }

    // Each takes the instruction's parameters and returns "" or why the file
    // cannot be cut as the plotter would cut it.
    std::string InputP1P2(const double* n, size_t count);      // IP
    std::string InputRelative(const double* n, size_t count);  // IR
    std::string Scale(const double* n, size_t count);          // SC
    std::string Rotate(const double* n, size_t count);         // RO

    // "" when user units can be placed; otherwise the instruction whose
    // meaning needs the plotting area ("SC" or "IR").
    const std::string& NeedsPlotArea() const { return needsArea_; }

    // User units to plotter units, a user-unit step to a plotter step, and back.
    HpglPoint ToPlotter(HpglPoint user) const;
    HpglPoint Step(HpglPoint userStep) const;
    HpglPoint ToUser(HpglPoint plotter) const;

private:
    enum class Mode { Off, Anisotropic, Isotropic, PointFactor };

    HpglPoint Rotated(HpglPoint logical) const;
    HpglPoint Unrotated(HpglPoint physical) const;
    HpglPoint AreaInFrame() const;
    void Recompute();
    std::string Unsound(const char* name) const;

    std::optional<HpglPoint> plotArea_;
    int rotation_ = 0;  // 0, 90, 180 or 270 degrees, counter-clockwise
    // P1/P2 on the material; when they come from the plotting area they
    // follow the rotation, as the device's corners do.
    HpglPoint p1_, p2_;
    bool p1p2FromArea_ = true;
    std::string areaInstruction_ = "SC";  // what set P1/P2 from the area
    Mode mode_ = Mode::Off;
    double sc_[7] = {};  // SC's parameters as given
    // physical = m * user + t
    double m_[4] = {1, 0, 0, 1};
    HpglPoint t_;
    std::string needsArea_;
};
