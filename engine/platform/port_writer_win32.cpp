#include <windows.h>

#include "port_writer.h"

PortWriter::PortWriter(PortHandle port, uint32_t waitMs) : port_(port), waitMs_(waitMs) {
    // Manual reset, not signalled, no name: one event for every chunk of the job.
    event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (event_ == nullptr) error_ = SystemError::Last();
    if (port_ == nullptr || port_ == INVALID_HANDLE_VALUE)
        error_ = SystemError(ERROR_INVALID_HANDLE);
}

PortWriter::~PortWriter() {
    if (event_ != nullptr) CloseHandle(event_);
}

bool PortWriter::ready() const {
    return event_ != nullptr && port_ != nullptr && port_ != INVALID_HANDLE_VALUE;
}

PortWrite PortWriter::Write(const uint8_t* data, uint32_t n) {
    // The port is open for overlapped I/O; its offsets stay 0 for every write.
    OVERLAPPED overlapped{};
    overlapped.hEvent = event_;
    DWORD written = 0;
    if (WriteFile(port_, data, n, &written, &overlapped)) return PortWrite::Done;
    if (GetLastError() != ERROR_IO_PENDING) {
        error_ = SystemError::Last();
        return PortWrite::Failed;
    }
    if (WaitForSingleObject(event_, waitMs_) == WAIT_OBJECT_0) {
        if (GetOverlappedResult(port_, &overlapped, &written, FALSE)) return PortWrite::Done;
        error_ = SystemError::Last();
        return PortWrite::Failed;
    }
    // Still pending: the structure and the bytes stay in use until the write
    // has really ended, so cancel it and wait for that.
    CancelIoEx(port_, &overlapped);
    GetOverlappedResult(port_, &overlapped, &written, TRUE);
    return PortWrite::TimedOut;
}
