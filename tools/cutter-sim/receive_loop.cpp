// Reads the stream into the decoder until the footer, the input's end or a time-out, at the
// line's pace if asked, with holds standing in for a cutter holding CTS low.
#include "receive_loop.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <optional>
#include <thread>
#include <vector>

#include "line_pacer.h"

using Clock = LinePacer::Clock;

const char* ReceiveEndText(ReceiveEnd end) {
    switch (end) {
        case ReceiveEnd::Footer: return "ended at the footer";
        case ReceiveEnd::EndOfInput: return "input ended";
        case ReceiveEnd::QuietTimeout: return "input went quiet";
        case ReceiveEnd::NoFirstByte: return "no byte arrived";
        case ReceiveEnd::ReadError: return "read failed";
        case ReceiveEnd::Stopped: return "stopped by a signal";
    }
    return "?";
}

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

constexpr int kStopped = -2;

// Waits until fd is readable; 1 readable, 0 timed out, -1 failed, kStopped
// when asked to stop. A hung-up pty counts as readable: its read then reports
// the end.
int WaitReadable(int fd, int timeoutMs) {
    for (;;) {
        if (g_stopRequested) return kStopped;
        pollfd pfd{fd, POLLIN, 0};
        const int r = ::poll(&pfd, 1, timeoutMs);
        if (r < 0 && errno == EINTR) continue;
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
}

constexpr int kHoldSliceMs = 20;  // a signal ends a hold at once, a hang-up within this

// Reads nothing for `ms` milliseconds, or for good when ms is negative; then
// nothing is returned, unless the hold met an end of the stream.
std::optional<ReceiveEnd> HoldLine(int fd, int ms, int quietMs) {
    const Clock::time_point start = Clock::now();
    for (;;) {
        if (g_stopRequested) return ReceiveEnd::Stopped;
        const int heldMs = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
        if (ms >= 0 && heldMs >= ms) return std::nullopt;
        if (ms < 0 && quietMs >= 0 && heldMs >= quietMs) return ReceiveEnd::QuietTimeout;
        int slice = kHoldSliceMs;
        if (ms >= 0 && ms - heldMs < slice) slice = ms - heldMs;
        // No events asked for: poll reports only a hang-up or an error.
        pollfd pfd{fd, 0, 0};
        const int r = ::poll(&pfd, 1, slice);
        if (ms < 0 && r > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            return ReceiveEnd::EndOfInput;
    }
}

}  // namespace

ReceiveSettings ReceiveSettingsFrom(const SimOptions& options) {
    ReceiveSettings settings;
    settings.bytesPerSecond = LinePacer::BytesPerSecondAtBaud(options.baud);
    settings.quietMs = options.quietMs;
    settings.firstByteMs = options.firstByteMs;
    settings.holds = options.holds;
    return settings;
}

void RequestReceiveStop() {
    g_stopRequested = 1;
}

bool ReceiveStopRequested() {
    return g_stopRequested != 0;
}

ReceiveReport ReceiveStream(int fd, const ReceiveSettings& settings, StreamConsumer& decoder,
                            const std::function<void(const char*, size_t)>& record) {
    ReceiveReport report;
    std::optional<LinePacer> pacer;
    if (settings.bytesPerSecond > 0) pacer.emplace(settings.bytesPerSecond);
    const size_t piece = pacer ? LinePacer::kPiece : 64 * 1024;
    std::vector<char> buffer(piece);

    std::optional<Clock::time_point> firstByteAt;
    Clock::time_point lastByteAt{};
    uint64_t bytesRead = 0;
    size_t nextHold = 0;
    Clock::time_point heldUntil{};  // a held line starts afresh, it never catches up
    for (;;) {
        Clock::time_point dataAt = Clock::now();
        if (pacer) {
            dataAt = std::max(pacer->NextReadAt(), heldUntil);
            std::this_thread::sleep_until(dataAt);
        }
        if (nextHold < settings.holds.size() && bytesRead >= settings.holds[nextHold].afterBytes) {
            const HoldRule& hold = settings.holds[nextHold++];
            ++report.holds;
            const Clock::time_point holdStart = Clock::now();
            const std::optional<ReceiveEnd> end =
                HoldLine(fd, hold.ms, firstByteAt ? settings.quietMs : settings.firstByteMs);
            heldUntil = Clock::now();
            report.holdSeconds += std::chrono::duration<double>(heldUntil - holdStart).count();
            if (end) {
                report.end = *end;
                lastByteAt = heldUntil;
                break;
            }
            continue;
        }
        size_t want = piece;
        if (nextHold < settings.holds.size())
            want = static_cast<size_t>(
                std::min<uint64_t>(piece, settings.holds[nextHold].afterBytes - bytesRead));
        // Bytes already waiting kept the line busy; otherwise it stood idle
        // until they came.
        const int waiting = WaitReadable(fd, 0);
        if (waiting == kStopped) {
            report.end = ReceiveEnd::Stopped;
            break;
        }
        if (waiting == 0) {
            const int timeout = firstByteAt ? settings.quietMs : settings.firstByteMs;
            const Clock::time_point waitFrom = Clock::now();
            const int ready = WaitReadable(fd, timeout);
            if (firstByteAt)
                report.idleSeconds +=
                    std::chrono::duration<double>(Clock::now() - waitFrom).count();
            if (ready == kStopped) {
                report.end = ReceiveEnd::Stopped;
                break;
            }
            if (ready < 0) {
                report.end = ReceiveEnd::ReadError;
                report.error = SystemError::Last();
                break;
            }
            if (ready == 0) {
                report.end = firstByteAt ? ReceiveEnd::QuietTimeout : ReceiveEnd::NoFirstByte;
                break;
            }
            dataAt = Clock::now();
        } else if (!firstByteAt || !pacer) {
            dataAt = Clock::now();
        }
        const ssize_t got = ::read(fd, buffer.data(), want);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got < 0 && errno != EIO) {
            report.end = ReceiveEnd::ReadError;
            report.error = SystemError::Last();
            break;
        }
        if (got <= 0) {  // end of file, or EIO from a pty whose writer has gone
            report.end = ReceiveEnd::EndOfInput;
            break;
        }
        if (!firstByteAt) firstByteAt = dataAt;
        const size_t n = static_cast<size_t>(got);
        bytesRead += n;
        const size_t used = decoder.Feed(buffer.data(), n);
        if (record) record(buffer.data(), used);
        report.ignoredBytes += n - used;
        lastByteAt = Clock::now();
        if (pacer) {
            pacer->Took(n, dataAt);
            lastByteAt = pacer->NextReadAt();
        }
        if (decoder.finished()) {
            report.end = ReceiveEnd::Footer;
            break;
        }
    }
    decoder.EndOfStream();
    // The last piece is still on the line until its time is up.
    if (pacer) std::this_thread::sleep_until(lastByteAt);
    if (firstByteAt)
        report.seconds = std::chrono::duration<double>(lastByteAt - *firstByteAt).count();
    return report;
}
