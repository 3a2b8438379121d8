// Follows the bytes that have left the computer for the cutter, from the driver's queue where
// the port tells it, else by the line's rate while the far end takes bytes.
#include "line_tracker.h"

#include <algorithm>

#include "engine/cutter_line.h"

namespace {

using Seconds = std::chrono::duration<double>;

// 38400 baud, 8N1: ten bits a byte.
constexpr double kLineBytesPerSecond = harvel::kCutterBaudRate / 10.0;
// Nothing left for this long while bytes remain: the cutter holds the line.
constexpr double kHoldAfter = 1.0;
// Less line time than this is too short to give a rate.
constexpr double kShortestMeasure = 1.0;
// One step longer than this has missed the moment bytes left: not line time.
constexpr double kLongestStep = 0.25;

}  // namespace

LineTracker::LineTracker(uint64_t totalBytes, Clock::time_point start)
    : total_(totalBytes), lastUpdate_(start), lastWritten_(start), lastLeft_(start) {}

void LineTracker::Written(uint64_t bytes, Clock::time_point now) {
    if (bytes > written_) lastWritten_ = now;
    written_ = bytes;
}

void LineTracker::Update(std::optional<uint64_t> queued, Cts cts, Clock::time_point now) {
    const double step = Seconds(now - lastUpdate_).count();
    if (step <= 0) return;
    lastUpdate_ = now;
    uint64_t left = left_;
    if (queued) {
        left = written_ - std::min(*queued, written_);
    } else {
        // A virtual port frees its buffer in steps of many kilobytes, seconds
        // apart: only the line's rate, bounded by what the port has taken, is
        // known of what its far end has received.
        queueKnown_ = false;
        modelled_ = std::min(static_cast<double>(written_), modelled_ + kLineBytesPerSecond * step);
        left = static_cast<uint64_t>(modelled_);
    }
    if (left > left_) {
        runningSeconds_ += std::min(step, kLongestStep);
        left_ = left;
        lastLeft_ = now;
    }
    holding_ = !allLeft() && (cts == Cts::Held || Seconds(now - lastLeft_).count() > kHoldAfter);
}

std::optional<double> LineTracker::rate() const {
    if (runningSeconds_ < kShortestMeasure) return std::nullopt;
    return static_cast<double>(left_) / runningSeconds_;
}

std::optional<double> LineTracker::secondsLeft() const {
    const std::optional<double> bytesPerSecond = rate();
    if (!bytesPerSecond || *bytesPerSecond <= 0) return std::nullopt;
    return static_cast<double>(total_ - left_) / *bytesPerSecond;
}

double LineTracker::secondsNothingTaken(Clock::time_point now) const {
    if (queueKnown_) return allLeft() ? 0 : Seconds(now - lastLeft_).count();
    return written_ >= total_ ? 0 : Seconds(now - lastWritten_).count();
}
