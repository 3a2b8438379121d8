#pragma once
#include <cstdint>

#include "engine/platform/native_types.h"
#include "engine/platform/system_error.h"

// How a write or the drain ended. Failed carries the system's reason, or
// the line hung up where the system gave none. `written` tells how many of a
// write's bytes the port took, also when the write was cancelled or failed
// part way.
enum class PortStatus { Done, Cancelled, Failed };
struct PortResult {
    PortStatus status = PortStatus::Done;
    SystemError reason;
    uint32_t written = 0;
};

// Asked between the slices of a wait: true when the job is to stop. Refers to
// the caller's callable, which must outlive it; nothing is copied or allocated.
class CancelCheck {
public:
    template <class Callable>
    explicit CancelCheck(Callable& callable)
        : callable_(&callable),
          ask_([](void* c) -> bool { return (*static_cast<Callable*>(c))(); }) {}
    bool operator()() const { return ask_(callable_); }

private:
    void* callable_;
    bool (*ask_)(void*);
};

// Writes the stream to the cutter's port. The cutter holds the line (CTS low)
// for as long as it cannot take more, seconds or minutes: a write waits for it
// however long that is, in slices of at most kPortWaitSliceMs with the cancel
// check between them, and goes on exactly where it stopped. Only an error that
// the system reports (the port gone, the line hung up) is a failure.
class PortWriter {
public:
    static constexpr uint32_t kPortWaitSliceMs = 50;

    explicit PortWriter(PortHandle port);
    PortWriter(const PortWriter&) = delete;
    PortWriter& operator=(const PortWriter&) = delete;
    ~PortWriter();

    // Empty when writes can be issued, else why not.
    const SystemError& setupError() const { return setupError_; }

    // All n bytes, or cancelled or failed part way. A write still pending when
    // this returns has been cancelled and has ended: the bytes are free again.
    PortResult Write(const uint8_t* data, uint32_t n, const CancelCheck& isCancelled);

    // Waits until the driver has sent what it holds. A driver that cannot tell
    // (a pty) has nothing to wait for.
    PortResult Drain(const CancelCheck& isCancelled);

    // Throws away what the driver still holds for the cutter, unsent.
    void Discard();

private:
    PortHandle port_;
    SystemError setupError_;
#ifdef _WIN32
    void* event_ = nullptr;  // the overlapped structure's own event
#endif
};
