#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "command_parse.h"
#include "command_scan.h"
#include "pos_xyz.h"

// One step of pass 2's reading loop: the scan position its progress check
// sees, then either the next point that is not a repeat of the one before, or
// the end of the commands.
struct PointStep {
    Pos_xyz point;
    uint32_t position;
    bool atEnd;
};

// Pass 2's reading (finding the commands, mapping their points by the extent,
// dropping repeats) on a thread of its own, a few blocks of steps ahead of the
// cutter. The reading is a large part of a conversion's work, and on a machine
// with a second processor it then costs the job's thread nothing. The steps
// come in file order, exactly as the reading loop would make them; the job's
// own thread keeps every call to the link, so progress and cancel are seen as
// before. Memory is a fixed few hundred KiB, whatever the input's size.
class PointReadAhead {
public:
    PointReadAhead(const uint8_t* data, uint32_t length, const PlotExtent& extent);
    ~PointReadAhead();  // stops the reading thread, wherever it is
    PointReadAhead(const PointReadAhead&) = delete;
    PointReadAhead& operator=(const PointReadAhead&) = delete;

    // The next steps in order; empty once every step has been handed out. The
    // span stays valid until the next call.
    std::span<const PointStep> NextSteps();

private:
    static constexpr uint32_t kStepsPerBlock = 8192;
    static constexpr uint32_t kBlocks = 4;

    struct Block {
        PointStep steps[kStepsPerBlock];
        uint32_t count;
    };

    // The reading loop's state, carried from block to block.
    struct Reader {
        CommandScanner scan;
        PlotExtent extent;
        // Every mapped point lies at 40 or more, so the first one is never dropped.
        Pos_xyz lastPoint{0, 0, 0};
        // Fills `block`; false once the reading has ended (the block may still
        // hold its last steps).
        bool Fill(Block& block);
    };

    void ReadAhead();

    Reader reader_;
    std::unique_ptr<Block[]> blocks_;
    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t filled_ = 0;  // blocks the reading thread has finished
    uint64_t taken_ = 0;   // blocks handed to the cutter
    bool readingDone_ = false;
    bool stop_ = false;
    std::thread thread_;
};
