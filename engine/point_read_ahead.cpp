#include "point_read_ahead.h"

#include <system_error>

#include "command_scan.h"

bool PointReadAhead::Reader::Fill(Block& block) {
    // Worked on in locals: the steps' stores then cannot be taken to change them.
    CommandScanner scanHere = scan;
    Pos_xyz last = lastPoint;
    const PlotExtent mapBy = extent;
    PenCommand command;
    uint32_t count = 0;
    bool more = true;
    while (count < kStepsPerBlock) {
        if (scanHere.AtEnd()) {
            more = false;
            break;
        }
        PointStep step{};
        step.position = scanHere.position();
        step.atEnd = false;
        // A repeated point is dropped: it makes no step of its own.
        for (;;) {
            if (!scanHere.Next(command)) {
                step.atEnd = true;
                break;
            }
            const Pos_xyz p = MapPoint(command, mapBy);
            if (SamePlace(p, last)) continue;
            last = p;
            step.point = p;
            break;
        }
        block.steps[count++] = step;
    }
    scan = scanHere;
    lastPoint = last;
    block.count = count;
    return more && !scanHere.AtEnd();
}

PointReadAhead::PointReadAhead(const uint8_t* data, uint32_t length, const PlotExtent& extent)
    : reader_{CommandScanner(data, length), extent}, blocks_(std::make_unique<Block[]>(kBlocks)) {
    try {
        thread_ = std::thread(&PointReadAhead::ReadAhead, this);
    } catch (const std::system_error&) {
        // No thread to be had: NextSteps reads each block itself when it is needed.
    }
}

PointReadAhead::~PointReadAhead() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void PointReadAhead::ReadAhead() {
    for (uint64_t next = 0;; ++next) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            // The block the cutter reads now is never written.
            changed_.wait(lock, [&] { return stop_ || next - taken_ < kBlocks - 1; });
            if (stop_) return;
        }
        const bool more = reader_.Fill(blocks_[next % kBlocks]);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            filled_ = next + 1;
            readingDone_ = !more;
        }
        changed_.notify_all();
        if (!more) return;
    }
}

std::span<const PointStep> PointReadAhead::NextSteps() {
    if (!thread_.joinable()) {
        if (readingDone_) return {};
        Block& block = blocks_[0];
        readingDone_ = !reader_.Fill(block);
        return {block.steps, block.count};
    }
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return filled_ > taken_ || readingDone_; });
    if (filled_ == taken_) return {};
    const Block& block = blocks_[taken_ % kBlocks];
    ++taken_;  // and the block handed out before is free again
    lock.unlock();
    changed_.notify_all();
    return {block.steps, block.count};
}
