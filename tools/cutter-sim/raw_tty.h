#pragma once
#include <termios.h>

#include <string>

#include "engine/platform/failure.h"

// The stream's source: a tty or pty, a file, a FIFO, or stdin ("-"). A tty is
// put into raw mode at 38400 baud 8N1 and restored when the object goes.
class InputPort {
public:
    InputPort() = default;
    InputPort(const InputPort&) = delete;
    InputPort& operator=(const InputPort&) = delete;
    ~InputPort();

    Failure Open(const std::string& path);

    int fd() const { return fd_; }
    bool isTty() const { return restoreTty_; }

private:
    bool MakeRaw();

    int fd_ = -1;
    bool ownsFd_ = false;
    bool restoreTty_ = false;
    termios saved_{};
};
