#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>

// Reads no faster than a serial line carries bytes. The line is busy for
// 1/rate seconds per byte; a read may start only when the line has carried the
// bytes read before. Time in which no byte was waiting earns no credit, so a
// sender that falls behind shows up as a lower rate, as on a real line.
class LinePacer {
public:
    using Clock = std::chrono::steady_clock;

    // 8N1 framing: a start bit, eight data bits and a stop bit per byte.
    static constexpr uint32_t BytesPerSecondAtBaud(uint32_t baud) { return baud / 10; }
    // Small pieces keep the sender's buffer full and the pace even.
    static constexpr size_t kPiece = 32;

    explicit LinePacer(uint32_t bytesPerSecond) : bytesPerSecond_(bytesPerSecond) {}

    // The earliest time at which the next piece may be read.
    Clock::time_point NextReadAt() const { return lineFreeAt_; }
    // Records n bytes read at `at`: the line carries them from then on (or from
    // when it became free, if it was still busy).
    void Took(size_t n, Clock::time_point at);

private:
    uint32_t bytesPerSecond_;
    Clock::time_point lineFreeAt_{};
    uint64_t carriedSinceAnchor_ = 0;
    Clock::time_point anchor_{};
};
