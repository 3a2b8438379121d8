#pragma once
// How far the stream has really gone: the bytes that have left the computer,
// not those the driver has taken. A serial port tells what its driver still
// holds (TIOCOUTQ); a virtual port (a pty) cannot, so there the bytes are
// taken to leave at the line's own rate, as far as the port has taken them. From
// that come the rate (over the time the line ran), the time left, whether the
// cutter holds the line, and how long it has taken nothing.
#include <chrono>
#include <cstdint>
#include <optional>

class LineTracker {
public:
    using Clock = std::chrono::steady_clock;
    enum class Cts { Free, Held, Unknown };

    LineTracker(uint64_t totalBytes, Clock::time_point start);

    // The driver has taken `bytes` in all.
    void Written(uint64_t bytes, Clock::time_point now);
    // What the system tells now: the bytes the driver still holds (none where it
    // cannot tell) and the CTS line.
    void Update(std::optional<uint64_t> queued, Cts cts, Clock::time_point now);

    uint64_t left() const { return left_; }        // bytes that have left the computer
    uint64_t written() const { return written_; }  // bytes the driver has taken
    bool allLeft() const { return left_ >= total_; }
    bool holding() const { return holding_; }
    // Bytes a second over the time the line ran; none before there is enough to measure.
    std::optional<double> rate() const;
    std::optional<double> secondsLeft() const;
    // How long the cutter has taken nothing, from the start or the last byte it
    // took (on a virtual port: the last its buffer took); 0 once all is taken.
    double secondsNothingTaken(Clock::time_point now) const;
    // The time the last byte left, once all have.
    Clock::time_point lastLeft() const { return lastLeft_; }

private:
    uint64_t total_;
    uint64_t written_ = 0;
    uint64_t left_ = 0;
    double modelled_ = 0;  // a virtual port's bytes by the line's rate
    double runningSeconds_ = 0;
    bool holding_ = false;
    bool queueKnown_ = true;
    Clock::time_point lastUpdate_;
    Clock::time_point lastWritten_;
    Clock::time_point lastLeft_;
};
