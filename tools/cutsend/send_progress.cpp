// cutsend's progress: one redrawn line on a terminal, a line per quarter elsewhere, and
// "cutter holding the line" while CTS is low or chunks stop.
#include "send_progress.h"

#include <utility>

#include "stop_signals.h"

namespace {

using std::chrono::duration;

// Where the port cannot tell CTS: no chunk for this long while bytes remain
// means the cutter holds the line. A chunk takes about 0.27 s at 38400 baud.
constexpr duration<double> kHoldAfter{1.0};
constexpr duration<double> kRedraw{0.1};

void Minutes(char* text, size_t size, double seconds) {
    const long whole = static_cast<long>(seconds + 0.5);
    std::snprintf(text, size, "%ld:%02ld", whole / 60, whole % 60);
}

}  // namespace

SendProgress::SendProgress(ProgressStyle style, uint64_t totalBytes, std::FILE* out,
                           LineProbe probe)
    : style_(style),
      probe_(std::move(probe)),
      total_(totalBytes),
      out_(out),
      start_(Clock::now()),
      lastChunk_(start_) {
    if (style_ == ProgressStyle::Lines) {
        std::fprintf(out_, "cutsend: sending %llu bytes\n",
                     static_cast<unsigned long long>(total_));
        std::fflush(out_);
    }
}

uint64_t SendProgress::bytesSent() const {
    return sent_;
}

bool SendProgress::Holding(Clock::time_point now) const {
    if (bytesSent() >= total_) return false;
    switch (probe_()) {
        case CutterPort::LineState::Held: return true;
        case CutterPort::LineState::Free: return false;
        case CutterPort::LineState::Unknown: break;
    }
    return now - lastChunk_ > kHoldAfter;
}

bool SendProgress::IsCancelRequested() {
    Draw(Clock::now(), false);
    return StopSignal() != 0;
}

void SendProgress::ChunkSent(uint32_t, uint32_t bytesSent) {
    sent_ = bytesSent;
    lastChunk_ = Clock::now();
    holdShown_ = false;
    Draw(lastChunk_, false);
}

void SendProgress::Draw(Clock::time_point now, bool force) {
    if (style_ == ProgressStyle::Quiet) return;
    const uint64_t sent = bytesSent();
    const int percent = total_ > 0 ? static_cast<int>(sent * 100 / total_) : 100;
    if (style_ == ProgressStyle::Lines) {
        // A line at each quarter and when a hold begins.
        if (Holding(now) && !holdShown_) {
            holdShown_ = true;
            Line("cutter holding the line");
        }
        if (percent / 25 > quartersShown_ && sent < total_) {
            quartersShown_ = percent / 25;
            char text[96];
            std::snprintf(text, sizeof text, "%d%% sent (%llu of %llu bytes)", percent,
                          static_cast<unsigned long long>(sent),
                          static_cast<unsigned long long>(total_));
            Line(text);
        }
        return;
    }
    if (!force && now - lastDraw_ < kRedraw) return;
    lastDraw_ = now;
    const double seconds = duration<double>(now - start_).count();
    const double rate = seconds > 0.05 ? static_cast<double>(sent) / seconds : 0;
    char left[32] = "--:--";
    if (rate > 0) Minutes(left, sizeof left, static_cast<double>(total_ - sent) / rate);
    char text[160];
    std::snprintf(text, sizeof text,
                  "\r\033[Ksent %llu of %llu bytes  %3d%%  %.0f bytes/s  %s left%s",
                  static_cast<unsigned long long>(sent), static_cast<unsigned long long>(total_),
                  percent, rate, left, Holding(now) ? "  cutter holding the line" : "");
    std::fputs(text, out_);
    std::fflush(out_);
}

void SendProgress::Line(const char* text) {
    std::fprintf(out_, "cutsend: %s\n", text);
    std::fflush(out_);
}

void SendProgress::Finish(bool complete) {
    if (style_ == ProgressStyle::Quiet) return;
    if (style_ == ProgressStyle::OneLine) {
        Draw(Clock::now(), true);
        std::fputc('\n', out_);
    }
    const double seconds = duration<double>(Clock::now() - start_).count();
    char text[128];
    if (complete)
        std::snprintf(text, sizeof text, "sent %llu bytes in %.1f s",
                      static_cast<unsigned long long>(total_), seconds);
    else
        std::snprintf(text, sizeof text, "stopped after %llu of %llu bytes",
                      static_cast<unsigned long long>(bytesSent()),
                      static_cast<unsigned long long>(total_));
    Line(text);
}
