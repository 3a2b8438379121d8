#pragma once
// What the user sees while the stream goes out, and the cancel that a stop
// signal (Ctrl-C) asks for. The engine reports each chunk the driver takes
// and asks for the cancel between chunks and while a chunk or the drain waits;
// each moment updates what has left the computer (LineTracker) and redraws.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "engine/job_link.h"
#include "line_tracker.h"

enum class ProgressStyle { Quiet, Lines, OneLine };

class SendProgress : public SilentJobLink {
public:
    using Clock = LineTracker::Clock;

    // What the port tells: the CTS line, and the bytes its driver still holds
    // (none where it cannot tell, as on a virtual port).
    struct PortProbes {
        std::function<LineTracker::Cts()> cts;
        std::function<std::optional<uint64_t>()> queued;
    };

    SendProgress(ProgressStyle style, uint64_t totalBytes, std::FILE* out, PortProbes probes);

    bool IsCancelRequested() override;
    // The engine reports here each chunk the driver has taken.
    void ChunkSent(uint32_t chunks, uint32_t bytesSent) override;

    // The closing line: sent in full (when the last byte has left), or where
    // it stopped.
    void Finish(bool complete);

private:
    void Update();
    void Draw(Clock::time_point now, bool force);
    void DrawLines(Clock::time_point now);
    void SayNothingTaken(Clock::time_point now);
    std::string RateAndTimeLeft() const;
    void Line(const std::string& text);

    ProgressStyle style_;
    PortProbes probes_;
    uint64_t total_;
    std::FILE* out_;
    Clock::time_point start_;
    LineTracker line_;
    Clock::time_point lastDraw_{};
    int quartersShown_ = 0;
    bool holdShown_ = false;
    Clock::time_point holdBegan_{};
    bool nothingTakenSaid_ = false;
};
