// Measures the cut's box on the stream for the cutter ("CDR;", then "U<y>,<x>;" and
// "D<y>,<x>;" lines shifted by the port shift, then the footer) and words it in millimetres.
#include "cut_box.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/move_writer.h"

namespace {

constexpr double kUnitsPerMm = 40.0;
constexpr int64_t kLargestNumber = int64_t{1} << 40;

// Follows the stream's moves byte by byte, so that a line may cross blocks.
class MoveReader {
public:
    explicit MoveReader(CutBox& box) : box_(box) {}

    void Take(char c) {
        if (c == 'U' || c == 'D') {
            letter_ = c;
            field_ = 0;
            value_[0] = value_[1] = 0;
            negative_ = false;
        } else if (letter_ == 0) {
            return;
        } else if (c == '-') {
            negative_ = true;
        } else if (c >= '0' && c <= '9') {
            // The engine's numbers have at most ten digits; more would be no move.
            if (value_[field_] < kLargestNumber) value_[field_] = value_[field_] * 10 + (c - '0');
        } else if (c == ',' && field_ == 0) {
            if (negative_) value_[0] = -value_[0];
            negative_ = false;
            field_ = 1;
        } else if (c == ';') {
            if (negative_) value_[field_] = -value_[field_];
            Move(value_[1] - kPortShiftSecond, value_[0] - kPortShiftFirst);
            letter_ = 0;
        } else {
            letter_ = 0;  // not a move: the header "CDR;"
        }
    }

private:
    void Move(int64_t x, int64_t y) {
        if (letter_ == 'D' && seen_) {
            Include(x0_, y0_);
            Include(x, y);
        }
        x0_ = x;
        y0_ = y;
        seen_ = true;
    }
    void Include(int64_t x, int64_t y) {
        if (!box_.any) {
            box_ = {true, x, y, x, y};
            return;
        }
        box_.minX = std::min(box_.minX, x);
        box_.minY = std::min(box_.minY, y);
        box_.maxX = std::max(box_.maxX, x);
        box_.maxY = std::max(box_.maxY, y);
    }

    CutBox& box_;
    char letter_ = 0;
    int field_ = 0;
    int64_t value_[2] = {0, 0};  // the engine's numbers are 32-bit: no overflow here
    bool negative_ = false;
    bool seen_ = false;
    int64_t x0_ = 0, y0_ = 0;
};

}  // namespace

SystemError MeasureCut(const OutputFile& stream, CutBox& box) {
    box = {};
    MoveReader reader(box);
    std::vector<char> block(1 << 16);
    for (uint64_t offset = 0; offset < stream.size();) {
        const auto n =
            static_cast<uint32_t>(std::min<uint64_t>(block.size(), stream.size() - offset));
        if (const SystemError failed = stream.ReadAt(offset, block.data(), n)) return failed;
        for (uint32_t i = 0; i < n; ++i) reader.Take(block[i]);
        offset += n;
    }
    return {};
}

std::string CutBoxText(const CutBox& box) {
    if (!box.any) return "nothing to cut";
    char text[128];
    std::snprintf(text, sizeof text, "cutting %.1f \u00d7 %.1f mm at %.1f, %.1f",
                  static_cast<double>(box.maxX - box.minX) / kUnitsPerMm,
                  static_cast<double>(box.maxY - box.minY) / kUnitsPerMm,
                  static_cast<double>(box.minX) / kUnitsPerMm,
                  static_cast<double>(box.minY) / kUnitsPerMm);
    return text;
}

std::string BeyondSheet(const CutBox& box, HpglPoint sheet) {
    if (!box.any ||
        (static_cast<double>(box.maxX) <= sheet.x && static_cast<double>(box.maxY) <= sheet.y))
        return "";
    char text[160];
    std::snprintf(text, sizeof text,
                  "the cut reaches %.1f \u00d7 %.1f mm from the origin, beyond --max-size "
                  "%g\u00d7%g mm; nothing sent",
                  static_cast<double>(box.maxX) / kUnitsPerMm,
                  static_cast<double>(box.maxY) / kUnitsPerMm, sheet.x / kUnitsPerMm,
                  sheet.y / kUnitsPerMm);
    return text;
}
