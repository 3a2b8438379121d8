// Overlapped writes to the cutter's COM port, waiting in slices with cancel between while the
// cutter holds the line; the drain waits for the driver's output queue to empty.
#include <windows.h>

#include "engine/platform/port_writer.h"

namespace {

PortResult Failed(SystemError reason, uint32_t written) {
    return {PortStatus::Failed, reason, written};
}

}  // namespace

PortWriter::PortWriter(PortHandle port) : port_(port) {
    if (port_ == nullptr || port_ == INVALID_HANDLE_VALUE) {
        setupError_ = SystemError(Refusal::NotOpen);
        return;
    }
    // Manual reset, not signalled, no name: one event for every write of the job.
    event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (event_ == nullptr) setupError_ = SystemError::Last();
}

PortWriter::~PortWriter() {
    if (event_ != nullptr) CloseHandle(event_);
}

PortResult PortWriter::Write(const uint8_t* data, uint32_t n, const CancelCheck& isCancelled) {
    const uint32_t asked = n;
    while (n > 0) {
        // The port is open for overlapped I/O; its offsets stay 0 for every write.
        OVERLAPPED overlapped{};
        overlapped.hEvent = event_;
        DWORD written = 0;
        if (!WriteFile(port_, data, n, &written, &overlapped)) {
            if (GetLastError() != ERROR_IO_PENDING) return Failed(SystemError::Last(), asked - n);
            for (;;) {
                const DWORD waited = WaitForSingleObject(event_, PortWriter::kPortWaitSliceMs);
                if (waited == WAIT_OBJECT_0) break;
                const SystemError waitError =
                    waited == WAIT_TIMEOUT ? SystemError() : SystemError::Last();
                if (!waitError && !isCancelled()) continue;
                // The structure and the bytes stay in use until the write has
                // really ended: cancel it and wait for that. What it wrote
                // before the cancel counts.
                CancelIoEx(port_, &overlapped);
                written = 0;
                GetOverlappedResult(port_, &overlapped, &written, TRUE);
                const uint32_t taken = asked - n + written;
                if (waitError) return Failed(waitError, taken);
                return {PortStatus::Cancelled, {}, taken};
            }
            if (!GetOverlappedResult(port_, &overlapped, &written, FALSE))
                return Failed(SystemError::Last(), asked - n);
        }
        // A write that the port's write timeout ended while the cutter held the
        // line has written fewer bytes: not an error, the rest follows.
        data += written;
        n -= written;
        if (n > 0 && isCancelled()) return {PortStatus::Cancelled, {}, asked - n};
        if (n > 0 && written == 0) Sleep(PortWriter::kPortWaitSliceMs);
    }
    return {PortStatus::Done, {}, asked};
}

PortResult PortWriter::Drain(const CancelCheck& isCancelled) {
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(port_, &errors, &status)) {
            // A driver without a queue to report has nothing to wait for.
            const SystemError error = SystemError::Last();
            if (error.code() == ERROR_INVALID_FUNCTION || error.code() == ERROR_NOT_SUPPORTED)
                return {};
            return Failed(error, 0);
        }
        if (status.cbOutQue == 0) return {};
        if (isCancelled()) return {PortStatus::Cancelled, {}};
        Sleep(PortWriter::kPortWaitSliceMs);
    }
}

void PortWriter::Discard() {
    PurgeComm(port_, PURGE_TXABORT | PURGE_TXCLEAR);
}
