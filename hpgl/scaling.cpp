// User units placed as a plotter places them: a linear map from user units
// to the rotated frame of P1/P2, then the rotation onto the material.
#include "hpgl/scaling.h"

#include <cmath>

namespace {

// A double's relative precision, and the finest part of a plotter unit that
// placing a point must keep.
constexpr double kRelativePrecision = 0x1p-52;
constexpr double kFinestUnit = 1e-3;

}  // namespace

void HpglScaling::Reset() {
    rotation_ = 0;
    mode_ = Mode::Off;
    p1p2FromArea_ = true;
    areaInstruction_ = "SC";
    Recompute();
}

HpglPoint HpglScaling::Rotated(HpglPoint p) const {
    switch (rotation_) {
        case 90: return {-p.y, p.x};
        case 180: return {-p.x, -p.y};
        case 270: return {p.y, -p.x};
        default: return p;
    }
}

HpglPoint HpglScaling::Unrotated(HpglPoint p) const {
    switch (rotation_) {
        case 90: return {p.y, -p.x};
        case 180: return {-p.x, -p.y};
        case 270: return {-p.y, p.x};
        default: return p;
    }
}

// The plotting area's width and height as the rotated frame sees them.
HpglPoint HpglScaling::AreaInFrame() const {
    const HpglPoint area = plotArea_.value_or(HpglPoint{});
    return rotation_ % 180 == 0 ? area : HpglPoint{area.y, area.x};
}

std::string HpglScaling::InputP1P2(const double* n, size_t count) {
    if (count == 0) {
        p1p2FromArea_ = true;
        areaInstruction_ = "SC";
    } else if (count == 2 || count == 4) {
        const HpglPoint p1 = Rotated({n[0], n[1]});
        const HpglPoint p2 = count == 4 ? Rotated({n[2], n[3]})
                                        : HpglPoint{p2_.x - p1_.x + p1.x, p2_.y - p1_.y + p1.y};
        p1_ = p1;
        p2_ = p2;
        // P2 follows P1 at the area's distance, known only when the area is.
        if (count == 4 || plotArea_) p1p2FromArea_ = false;
    } else {
        return "IP needs 2 or 4 numbers";
    }
    Recompute();
    return Unsound("IP");
}

std::string HpglScaling::InputRelative(const double* n, size_t count) {
    if (count != 0 && count != 2 && count != 4) return "IR needs 2 or 4 numbers";
    if (count == 0 || !plotArea_) {
        p1p2FromArea_ = true;
        areaInstruction_ = count == 0 ? "SC" : "IR";
        Recompute();
        return "";
    }
    const HpglPoint area = AreaInFrame();
    const auto at = [&](double px, double py) {
        return Rotated({area.x * px / 100, area.y * py / 100});
    };
    const HpglPoint p1 = at(n[0], n[1]);
    const HpglPoint p2 =
        count == 4 ? at(n[2], n[3]) : HpglPoint{p2_.x - p1_.x + p1.x, p2_.y - p1_.y + p1.y};
    p1_ = p1;
    p2_ = p2;
    p1p2FromArea_ = false;
    Recompute();
    return Unsound("IR");
}

std::string HpglScaling::Scale(const double* n, size_t count) {
    if (count == 0) {
        mode_ = Mode::Off;
        Recompute();
        return "";
    }
    const double type = count >= 5 ? n[4] : 0;
    Mode mode = Mode::Anisotropic;
    if (type == 1 && (count == 5 || count == 7)) {
        mode = Mode::Isotropic;
    } else if (type == 2 && count == 5) {
        mode = Mode::PointFactor;
    } else if (type != 0 || (count != 4 && count != 5)) {
        return "SC with these numbers is no scaling";
    }
    for (size_t i = 0; i < count; ++i)
        if (!std::isfinite(n[i])) return "SC with a number out of range";
    // Limits that meet, or a factor of zero, would put the drawing in one point.
    const bool flat =
        mode == Mode::PointFactor ? n[1] == 0 || n[3] == 0 : n[0] == n[1] || n[2] == n[3];
    if (flat) return "SC of no width or height";
    mode_ = mode;
    for (size_t i = 0; i < 7; ++i) sc_[i] = i < count ? n[i] : 50;  // isotropic margins: 50 %
    Recompute();
    return Unsound("SC");
}

std::string HpglScaling::Rotate(const double* n, size_t count) {
    const double angle = count == 0 ? 0 : n[0];
    if (count > 1 || (angle != 0 && angle != 90 && angle != 180 && angle != 270))
        return "RO turns by 0, 90, 180 or 270 degrees only";
    // P1/P2 set by IP/IR stay where they are on the material.
    rotation_ = static_cast<int>(angle);
    Recompute();
    return Unsound("RO");
}

void HpglScaling::Recompute() {
    if (p1p2FromArea_) {
        p1_ = {0, 0};
        p2_ = Rotated(AreaInFrame());
    }
    const HpglPoint p1 = Unrotated(p1_);
    const HpglPoint p2 = Unrotated(p2_);
    needsArea_.clear();
    double sx = 1;
    double sy = 1;
    HpglPoint shift;  // in the rotated frame
    if (mode_ == Mode::PointFactor) {
        sx = sc_[1];
        sy = sc_[3];
        shift = {p1.x - sc_[0] * sx, p1.y - sc_[2] * sy};
    } else if (mode_ != Mode::Off) {
        if (p1p2FromArea_ && !plotArea_) needsArea_ = areaInstruction_;
        // P1 and P2 on one line would give no width: the plotter moves P2 by one unit.
        const double dx = p2.x != p1.x ? p2.x - p1.x : 1;
        const double dy = p2.y != p1.y ? p2.y - p1.y : 1;
        sx = dx / (sc_[1] - sc_[0]);
        sy = dy / (sc_[3] - sc_[2]);
        HpglPoint margin;
        if (mode_ == Mode::Isotropic) {
            const double s = std::fmin(std::fabs(sx), std::fabs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
            margin = {(dx - (sc_[1] - sc_[0]) * sx) * sc_[5] / 100,
                      (dy - (sc_[3] - sc_[2]) * sy) * sc_[6] / 100};
        }
        shift = {p1.x + margin.x - sc_[0] * sx, p1.y + margin.y - sc_[2] * sy};
    }
    // The rotation applied to the columns of the scaling and to the shift.
    const HpglPoint column0 = Rotated({sx, 0});
    const HpglPoint column1 = Rotated({0, sy});
    m_[0] = column0.x;
    m_[1] = column1.x;
    m_[2] = column0.y;
    m_[3] = column1.y;
    t_ = Rotated(shift);
}

// Scaling whose arithmetic overflows, cannot be undone (arcs are worked out
// in user units), or is so far from the origin for its size that the
// doubles no longer tell neighbouring plotter units apart, gives another
// shape: it is refused rather than cut.
std::string HpglScaling::Unsound(const char* name) const {
    const double det = m_[0] * m_[3] - m_[1] * m_[2];
    bool sound = std::isfinite(det) && det != 0 && std::isfinite(1 / det) && std::isfinite(t_.x) &&
                 std::isfinite(t_.y);
    for (double m : m_) sound = sound && std::isfinite(m);
    if (sound && mode_ != Mode::Off) {
        // The largest term a coordinate's mapping adds up, at the user units' limits.
        const double largest = std::fmax(std::fabs(sc_[0]) + std::fabs(sc_[1]),
                                         std::fabs(sc_[2]) + std::fabs(sc_[3])) *
                                   std::fmax(std::fabs(m_[0]) + std::fabs(m_[1]),
                                             std::fabs(m_[2]) + std::fabs(m_[3])) +
                               std::fabs(t_.x) + std::fabs(t_.y);
        sound = std::isfinite(largest) && largest * kRelativePrecision <= kFinestUnit;
    }
    if (sound) return "";
    return std::string(name) +
           " gives scaling whose arithmetic overflows, cannot be undone or cannot tell plotter "
           "units apart";
}

HpglPoint HpglScaling::ToPlotter(HpglPoint user) const {
    if (mode_ == Mode::Off && rotation_ == 0) return user;  // exactly as written
    const HpglPoint step = Step(user);
    return {step.x + t_.x, step.y + t_.y};
}

HpglPoint HpglScaling::Step(HpglPoint user) const {
    if (mode_ == Mode::Off && rotation_ == 0) return user;
    return {m_[0] * user.x + m_[1] * user.y, m_[2] * user.x + m_[3] * user.y};
}

HpglPoint HpglScaling::ToUser(HpglPoint plotter) const {
    if (mode_ == Mode::Off && rotation_ == 0) return plotter;
    const double det = m_[0] * m_[3] - m_[1] * m_[2];
    const double x = plotter.x - t_.x;
    const double y = plotter.y - t_.y;
    return {(m_[3] * x - m_[1] * y) / det, (m_[0] * y - m_[2] * x) / det};
}
