// cutter-sim's input: a tty, pty, file, FIFO or stdin; a tty goes into raw mode at 38400 8N1
// so that every byte arrives as sent, and gets its settings back at the end.
#include "raw_tty.h"

#include <fcntl.h>
#include <unistd.h>

Failure InputPort::Open(const std::string& path) {
    if (path == "-") {
        fd_ = STDIN_FILENO;
    } else {
        // O_NONBLOCK: opening a serial line must not wait for its carrier.
        fd_ = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) return Failure::Last(path);
        ownsFd_ = true;
    }
    if (::isatty(fd_) && !MakeRaw()) return Failure::Last(path, "cannot set raw mode");
    return {};
}

// Every byte must arrive as sent: no echo, no line editing, no CR/LF mapping,
// no XON/XOFF, no signals from control characters.
bool InputPort::MakeRaw() {
    if (::tcgetattr(fd_, &saved_) != 0) return false;
    termios raw = saved_;
    ::cfmakeraw(&raw);
    raw.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    raw.c_cflag |= CS8 | CLOCAL | CREAD;
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    ::cfsetispeed(&raw, B38400);
    ::cfsetospeed(&raw, B38400);
    if (::tcsetattr(fd_, TCSANOW, &raw) != 0) return false;
    restoreTty_ = true;
    return true;
}

InputPort::~InputPort() {
    if (restoreTty_) ::tcsetattr(fd_, TCSANOW, &saved_);
    if (ownsFd_) ::close(fd_);
}
