#pragma once
#include <cstdint>

#include "native_types.h"
#include "system_error.h"

enum class PortWrite { Done, Failed, TimedOut };

// Writes the stream to the port one chunk at a time. Each write waits for the
// chunk to leave (up to waitMs); a chunk still pending then is cancelled and its
// end awaited before Write returns, so the caller's bytes are free again.
class PortWriter {
public:
    PortWriter(PortHandle port, uint32_t waitMs);
    PortWriter(const PortWriter&) = delete;
    PortWriter& operator=(const PortWriter&) = delete;
    ~PortWriter();

    bool ready() const;
    PortWrite Write(const uint8_t* data, uint32_t n);
    // Why the last write failed, or why the writer is not ready.
    const SystemError& error() const { return error_; }

private:
    PortHandle port_;
    uint32_t waitMs_;
    SystemError error_;
#ifdef _WIN32
    void* event_ = nullptr;  // the overlapped structure's own event
#endif
};
