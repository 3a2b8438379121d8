// Writing the engine's pen commands for the HPGL reader, and keeping out what 32 bits cannot map.
#include "hpgl/pen_writer.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/command_parse.h"
#include "engine/move_writer.h"

namespace {

// The engine maps a point to its distance from the drawing's corner plus a
// margin, and in port mode adds the cutter's shift: all of it must stay
// within int32, so the drawing may span no more than this.
constexpr int64_t kWidestSpan =
    INT32_MAX - kDrawingMargin - std::max(int64_t{kPortShiftFirst}, int64_t{kPortShiftSecond});

bool Round(double v, int64_t& rounded) {
    const double r = std::round(v);                         // an exact half away from zero
    if (!(r >= INT32_MIN && r <= INT32_MAX)) return false;  // not a number too
    rounded = static_cast<int64_t>(r);
    return true;
}

}  // namespace

HpglPenWriter::HpglPenWriter(BufferedOutput& out) : out_(out) {
    out_.Append("IN;", 3);
    counts_.bytes = 3;
}

bool HpglPenWriter::Write(bool penDown, double x, double y) {
    int64_t ix = 0;
    int64_t iy = 0;
    if (!Round(x, ix) || !Round(y, iy)) {
        ++counts_.outOfRange;
        return false;
    }
    if (counts_.written > 0 && (std::max(maxX_, ix) - std::min(minX_, ix) > kWidestSpan ||
                                std::max(maxY_, iy) - std::min(minY_, iy) > kWidestSpan)) {
        ++counts_.tooFarApart;
        return false;
    }
    if (counts_.written == 0) {
        minX_ = maxX_ = ix;
        minY_ = maxY_ = iy;
    }
    minX_ = std::min(minX_, ix);
    maxX_ = std::max(maxX_, ix);
    minY_ = std::min(minY_, iy);
    maxY_ = std::max(maxY_, iy);
    lastX_ = ix;
    lastY_ = iy;
    ++counts_.written;
    const std::string line =
        (penDown ? "PD" : "PU") + std::to_string(ix) + ',' + std::to_string(iy) + ';';
    out_.Append(line.data(), line.size());
    counts_.bytes += line.size();
    return true;
}

bool HpglPenWriter::IsAt(double x, double y) const {
    int64_t ix = 0;
    int64_t iy = 0;
    return counts_.written > 0 && Round(x, ix) && Round(y, iy) && ix == lastX_ && iy == lastY_;
}
