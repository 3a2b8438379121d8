#pragma once
// The operating system's reason for a failed call, kept so that whoever reports
// the failure can say why: errno on POSIX, GetLastError() on Windows.
#include <string>

class SystemError {
public:
    SystemError() = default;  // no failure
    explicit SystemError(int code) : code_(code) {}

    // The reason the last system call on this thread failed. A call that
    // failed without leaving a code still counts as a failure (an I/O error).
    static SystemError Last();

    int code() const { return code_; }
    explicit operator bool() const { return code_ != 0; }
    // The system's own text for the code (strerror / FormatMessage).
    std::string Message() const;

private:
    int code_ = 0;
};
