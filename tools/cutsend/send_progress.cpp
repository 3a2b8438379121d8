// cutsend's progress: one redrawn line on a terminal, else a line per quarter and per hold;
// bytes, rate and time left by what has left the computer, and a word when the cutter takes
// nothing.
#include "send_progress.h"

#include <thread>
#include <utility>

#include "stop_signals.h"

namespace {

using std::chrono::duration;

constexpr duration<double> kRedraw{0.1};
// Nothing taken for this long: the cutter is off, offline, on another port,
// or its cable carries no CTS. It may also be paused on purpose: waiting goes on.
constexpr double kNothingTakenSeconds = 10;
constexpr std::chrono::milliseconds kDrainSlice{50};

std::string Minutes(double seconds) {
    const long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

unsigned long long Count(uint64_t n) {
    return static_cast<unsigned long long>(n);
}

}  // namespace

SendProgress::SendProgress(ProgressStyle style, uint64_t totalBytes, std::FILE* out,
                           PortProbes probes)
    : style_(style),
      probes_(std::move(probes)),
      total_(totalBytes),
      out_(out),
      start_(Clock::now()),
      line_(totalBytes, start_) {
    if (style_ == ProgressStyle::Lines) Line("sending " + std::to_string(total_) + " bytes");
}

void SendProgress::Update() {
    const Clock::time_point now = Clock::now();
    line_.Update(probes_.queued(), probes_.cts(), now);
    SayNothingTaken(now);
    Draw(now, false);
}

bool SendProgress::IsCancelRequested() {
    Update();
    return StopSignal() != 0;
}

void SendProgress::ChunkSent(uint32_t, uint32_t bytesSent) {
    line_.Written(bytesSent, Clock::now());
    Update();
}

void SendProgress::SayNothingTaken(Clock::time_point now) {
    if (nothingTakenSaid_ || style_ == ProgressStyle::Quiet) return;
    if (line_.secondsNothingTaken(now) < kNothingTakenSeconds) return;
    nothingTakenSaid_ = true;
    if (style_ == ProgressStyle::OneLine) std::fputs("\r\033[K", out_);
    Line(
        "the cutter has taken nothing for 10 s: check that it is switched on, online, on this "
        "port, with a cable that carries CTS; still waiting (Ctrl-C stops)");
    lastDraw_ = {};
}

std::string SendProgress::RateAndTimeLeft() const {
    const std::optional<double> rate = line_.rate();
    if (!rate) return "";
    char text[64];
    std::snprintf(text, sizeof text, "%.0f bytes/s", *rate);
    std::string shown = text;
    if (const std::optional<double> left = line_.secondsLeft(); left && !line_.allLeft())
        shown += (style_ == ProgressStyle::Lines ? ", " : "  ") + Minutes(*left) + " left";
    return shown;
}

void SendProgress::Draw(Clock::time_point now, bool force) {
    if (style_ == ProgressStyle::Quiet) return;
    if (style_ == ProgressStyle::Lines) return DrawLines(now);
    if (!force && now - lastDraw_ < kRedraw) return;
    lastDraw_ = now;
    const uint64_t left = line_.left();
    const int percent = total_ > 0 ? static_cast<int>(left * 100 / total_) : 100;
    char text[96];
    std::snprintf(text, sizeof text, "\r\033[Ksent %llu of %llu bytes  %3d%%", Count(left),
                  Count(total_), percent);
    std::string shown = text;
    if (const std::string rate = RateAndTimeLeft(); !rate.empty()) shown += "  " + rate;
    if (line_.holding()) shown += "  cutter holding the line";
    std::fputs(shown.c_str(), out_);
    std::fflush(out_);
}

void SendProgress::DrawLines(Clock::time_point now) {
    // A line at each quarter, and when a hold begins and ends.
    if (line_.holding() != holdShown_) {
        holdShown_ = line_.holding();
        if (holdShown_) {
            holdBegan_ = now;
            Line("cutter holding the line");
        } else {
            char text[64];
            std::snprintf(text, sizeof text, "cutter took bytes again after %.1f s",
                          duration<double>(now - holdBegan_).count());
            Line(text);
        }
    }
    const uint64_t left = line_.left();
    const int percent = total_ > 0 ? static_cast<int>(left * 100 / total_) : 100;
    if (percent / 25 > quartersShown_ && left < total_) {
        quartersShown_ = percent / 25;
        char text[96];
        std::snprintf(text, sizeof text, "%d%% sent (%llu of %llu bytes", percent, Count(left),
                      Count(total_));
        const std::string rate = RateAndTimeLeft();
        Line(text + (rate.empty() ? "" : ", " + rate) + ")");
    }
}

void SendProgress::Line(const std::string& text) {
    std::fprintf(out_, "cutsend: %s\n", text.c_str());
    std::fflush(out_);
}

void SendProgress::Finish(bool complete) {
    if (style_ == ProgressStyle::Quiet) return;
    if (complete) {
        // A virtual port cannot tell what it still holds: the line's rate tells
        // when the last byte has gone, and the closing line waits for it.
        Update();
        while (!line_.allLeft() && StopSignal() == 0) {
            std::this_thread::sleep_for(kDrainSlice);
            Update();
        }
    }
    if (style_ == ProgressStyle::OneLine) {
        Draw(Clock::now(), true);
        std::fputc('\n', out_);
    }
    char text[128];
    if (complete)
        std::snprintf(text, sizeof text, "sent %llu bytes in %.1f s", Count(total_),
                      duration<double>(line_.lastLeft() - start_).count());
    else
        std::snprintf(text, sizeof text, "stopped after %llu of %llu bytes", Count(line_.written()),
                      Count(total_));
    Line(text);
}
