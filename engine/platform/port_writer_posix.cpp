// Writes to the cutter's tty without blocking, waiting in poll slices with cancel between
// while the cutter holds the line; the drain waits for TIOCOUTQ to reach 0.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>

#include "engine/platform/port_writer.h"

namespace {

PortResult Failed(SystemError reason, uint32_t written) {
    return {PortStatus::Failed, reason, written};
}

constexpr short kLineGone = POLLERR | POLLHUP | POLLNVAL;

}  // namespace

PortWriter::PortWriter(PortHandle port) : port_(port) {
    if (port_ < 0) {
        setupError_ = SystemError(Refusal::NotOpen);
        return;
    }
    // Writes must never block: poll() does the waiting, in slices.
    const int flags = ::fcntl(port_, F_GETFL);
    if (flags < 0 || ::fcntl(port_, F_SETFL, flags | O_NONBLOCK) != 0)
        setupError_ = SystemError::Last();
}

PortWriter::~PortWriter() = default;

PortResult PortWriter::Write(const uint8_t* data, uint32_t n, const CancelCheck& isCancelled) {
    const uint32_t asked = n;
    while (n > 0) {
        const ssize_t written = ::write(port_, data, n);
        if (written > 0) {
            data += written;
            n -= static_cast<uint32_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return Failed(SystemError::Last(), asked - n);
        // The line is held: wait for room, a slice at a time.
        if (isCancelled()) return {PortStatus::Cancelled, {}, asked - n};
        pollfd pfd{port_, POLLOUT, 0};
        const int r = ::poll(&pfd, 1, static_cast<int>(kPortWaitSliceMs));
        if (r < 0 && errno != EINTR) return Failed(SystemError::Last(), asked - n);
        if (r > 0 && (pfd.revents & kLineGone) != 0) {
            // One more write gives the system's own reason where there is one.
            const ssize_t last = ::write(port_, data, n);
            if (last > 0) {
                data += last;
                n -= static_cast<uint32_t>(last);
                continue;
            }
            const bool told = last < 0 && errno != EAGAIN && errno != EWOULDBLOCK;
            return Failed(told ? SystemError::Last() : SystemError(Refusal::LineLost), asked - n);
        }
    }
    return {PortStatus::Done, {}, asked};
}

PortResult PortWriter::Drain(const CancelCheck& isCancelled) {
    for (;;) {
        int queued = 0;
        if (::ioctl(port_, TIOCOUTQ, &queued) != 0) {
            // Not a terminal (a pipe, a file): there is no queue to wait for.
            if (errno == ENOTTY || errno == EINVAL) return {};
            return Failed(SystemError::Last(), 0);
        }
        if (queued <= 0) return {};
        if (isCancelled()) return {PortStatus::Cancelled, {}};
        // No events asked: poll wakes early only when the line goes away.
        pollfd pfd{port_, 0, 0};
        const int r = ::poll(&pfd, 1, static_cast<int>(kPortWaitSliceMs));
        if (r < 0 && errno != EINTR) return Failed(SystemError::Last(), 0);
        if (r > 0 && (pfd.revents & kLineGone) != 0)
            return Failed(SystemError(Refusal::LineLost), 0);
    }
}

void PortWriter::Discard() {
    // Refused where the port is no terminal (a pipe), which holds nothing back.
    ::tcflush(port_, TCOFLUSH);
}
