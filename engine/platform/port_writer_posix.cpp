#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <cerrno>

#include <chrono>

#include "port_writer.h"

PortWriter::PortWriter(PortHandle port, uint32_t waitMs) : port_(port), waitMs_(waitMs) {
    if (port_ < 0) error_ = SystemError(EBADF);
    // Writes must never block past the wait: poll() does the waiting.
    if (port_ >= 0) ::fcntl(port_, F_SETFL, ::fcntl(port_, F_GETFL) | O_NONBLOCK);
}

PortWriter::~PortWriter() = default;

bool PortWriter::ready() const {
    return port_ >= 0;
}

PortWrite PortWriter::Write(const uint8_t* data, uint32_t n) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs_);
    while (n > 0) {
        ssize_t written = ::write(port_, data, n);
        if (written > 0) {
            data += written;
            n -= static_cast<uint32_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            error_ = SystemError::Last();
            return PortWrite::Failed;
        }
        // A non-blocking port that is full: wait for room until the deadline.
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return PortWrite::TimedOut;
        pollfd pfd{port_, POLLOUT, 0};
        int r = ::poll(&pfd, 1, static_cast<int>(left.count()));
        if (r == 0) return PortWrite::TimedOut;
        if (r < 0 && errno != EINTR) {
            error_ = SystemError::Last();
            return PortWrite::Failed;
        }
        if (r > 0 && (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            error_ = SystemError((pfd.revents & POLLNVAL) != 0 ? EBADF : EIO);
            return PortWrite::Failed;
        }
    }
    return PortWrite::Done;
}
