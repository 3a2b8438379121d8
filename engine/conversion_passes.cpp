#include "conversion_passes.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include "command_scan.h"
#include "contour_cutter.h"
#include "point_read_ahead.h"

namespace {

// From this size on, pass 1 scans the second half of the drawing on a second
// thread: the extent comes out the same in any order, and the halves meet at a
// ';', after which a scan always looks for the next command letter afresh.
constexpr uint32_t kSplitExtentFrom = 1u << 20;

void MergeExtent(PlotExtent& into, const PlotExtent& other) {
    if (!other.seen) return;
    if (!into.seen) {
        into = other;
        return;
    }
    if (other.minX < into.minX) into.minX = other.minX;
    if (other.maxY > into.maxY) into.maxY = other.maxY;
}

// The second half's scan. It never calls the link (that stays with the job's
// thread); it counts the progress steps it would have made, and ends early
// when asked to.
class BackHalfScan {
public:
    BackHalfScan(const uint8_t* data, uint32_t from, uint32_t length)
        : data_(data), from_(from), length_(length) {}
    ~BackHalfScan() {
        if (!thread_.joinable()) return;
        stop_ = true;
        thread_.join();
    }

    // False when no thread could be started: the caller scans it all itself.
    bool Start() {
        try {
            thread_ = std::thread(&BackHalfScan::Scan, this);
            return true;
        } catch (const std::system_error&) {
            return false;
        }
    }

    // Waits for the scan's end, asking `stopRequested` about every 2 ms; false
    // (the scan stopped) when it said yes.
    template <class StopRequested>
    bool Wait(StopRequested stopRequested) {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!done_) {
            if (stopRequested()) return false;
            ended_.wait_for(lock, std::chrono::milliseconds(2));
        }
        lock.unlock();
        thread_.join();
        return true;
    }

    const PlotExtent& extent() const { return extent_; }
    uint32_t progressSteps() const { return progressSteps_; }

private:
    void Scan() {
        CommandScanner scan(data_ + from_, length_ - from_);
        PenCommand command;
        // The whole scan checks the progress at the ';' before `from_` (the
        // front half's last check) and then at every command's ';'.
        uint32_t lastBlock = (from_ - 1) >> 10;
        while (!scan.AtEnd() && !stop_.load(std::memory_order_relaxed)) {
            const uint32_t block = (from_ + scan.position()) >> 10;
            if (scan.position() != 0 && block != lastBlock) {
                lastBlock = block;
                ++progressSteps_;
            }
            if (scan.Next(command)) ScanExtent(command.numbers, extent_);
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        ended_.notify_one();
    }

    const uint8_t* data_;
    uint32_t from_;
    uint32_t length_;
    PlotExtent extent_;
    uint32_t progressSteps_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread thread_;
};

// Where the front half ends: just past the first ';' from the middle on, or
// the whole length for a small drawing or one without such a ';'.
uint32_t FrontHalfLength(const uint8_t* data, uint32_t length) {
    if (length < kSplitExtentFrom) return length;
    const uint32_t middle = length / 2;
    const void* semicolon = std::memchr(data + middle, ';', length - middle);
    if (semicolon == nullptr) return length;
    return static_cast<uint32_t>(static_cast<const uint8_t*>(semicolon) - data) + 1;
}

}  // namespace

std::optional<PlotExtent> RunExtentPass(const uint8_t* data, uint32_t length, JobLink& link,
                                        ProgressSteps& progress) {
    progress.Start(length);
    uint32_t front = FrontHalfLength(data, length);
    BackHalfScan back(data, front, length);
    if (front < length && !back.Start()) front = length;

    PlotExtent extent;
    CommandScanner scan(data, front);
    PenCommand command;
    while (!scan.AtEnd()) {
        progress.Check(scan.position());
        if (scan.Next(command)) ScanExtent(command.numbers, extent);
        if (link.IsCancelRequested()) return std::nullopt;
    }
    if (front < length) {
        if (!back.Wait([&link] { return link.IsCancelRequested(); })) return std::nullopt;
        progress.StepsMadeElsewhere(back.progressSteps(), length);
        MergeExtent(extent, back.extent());
    }
    return extent;
}

JobResult RunCutPass(const uint8_t* data, uint32_t length, const PlotExtent& extent,
                     const CutSettings& settings, BufferedOutput& out, JobLink& link,
                     ProgressSteps& progress) {
    progress.Start(length);
    MoveWriter writer(out, settings.toPort);
    writer.WriteText(settings.toPort ? kPortHeader : kFileHeader);
    ContourCutter cutter(writer, settings.nOffsetUnits, settings.nOvercutUnits);

    PointReadAhead reader(data, length, extent);
    for (std::span<const PointStep> steps; !(steps = reader.NextSteps()).empty();) {
        for (const PointStep& step : steps) {
            progress.Check(step.position);
            if (step.atEnd)
                cutter.EndOfInput();
            else
                cutter.FeedPoint(step.point);
            if (out.failed()) return JobResult::OutputWriteFailed;
            if (link.IsCancelRequested()) return JobResult::Cancelled;
        }
    }
    writer.WriteText(kFooter);
    return out.Flush() ? JobResult::Completed : JobResult::OutputWriteFailed;
}
