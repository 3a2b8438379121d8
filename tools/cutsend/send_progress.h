#pragma once
// What the user sees while the stream goes out, and the cancel that a stop
// signal (Ctrl-C) asks for. The engine reports each chunk sent through the
// job link and asks for the cancel between chunks and while a chunk waits
// (the cutter holding the line); both moments redraw the progress.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>

#include "cutter_port.h"
#include "job_link.h"

enum class ProgressStyle { Quiet, Lines, OneLine };

class SendProgress : public SilentJobLink {
public:
    using Clock = std::chrono::steady_clock;

    using LineProbe = std::function<CutterPort::LineState()>;

    // `probe` tells whether the cutter holds the line; where it cannot, a
    // pause of the chunks tells.
    SendProgress(ProgressStyle style, uint64_t totalBytes, std::FILE* out, LineProbe probe);

    bool IsCancelRequested() override;
    // The engine reports here each chunk that has gone to the port.
    void ChunkSent(uint32_t chunks, uint32_t bytesSent) override;

    uint64_t bytesSent() const;
    // The closing line: sent in full, or where it stopped.
    void Finish(bool complete);

private:
    bool Holding(Clock::time_point now) const;
    void Draw(Clock::time_point now, bool force);
    void Line(const char* text);

    ProgressStyle style_;
    LineProbe probe_;
    uint64_t total_;
    std::FILE* out_;
    uint64_t sent_ = 0;
    Clock::time_point start_;
    Clock::time_point lastChunk_;
    Clock::time_point lastDraw_{};
    int quartersShown_ = 0;
    bool holdShown_ = false;
};
