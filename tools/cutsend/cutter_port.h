#pragma once
// The serial port to the cutter, opened and set up for the cutter's line
// (38400 baud, 8N1, RTS/CTS) with libserialport, and the list of ports.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/platform/failure.h"

struct sp_port;

// Why the ports could not be listed or the cutter's port not had: the kind,
// for what cutsend does next, and the failure (e.g. "no serial port
// /dev/ttyUSB9", "/dev/ttyUSB0: cannot set up the line") with the system's
// reason as the system or libserialport recorded it right at the failing call.
struct PortFailure {
    enum class Kind { None, Missing, Busy, Failed };
    Kind kind = Kind::None;
    Failure failure;
    std::string hint;  // what the user can do about it, or ""

    explicit operator bool() const { return kind != Kind::None; }
    // "WHAT: REASON" and the hint, for one line on stderr.
    std::string Message() const;
};

struct PortListing {
    std::string name;         // e.g. /dev/ttyUSB0
    std::string description;  // a USB adapter's product name, or the driver's
};

// Every serial port the system knows.
PortFailure ListPorts(std::vector<PortListing>& ports);

// "/dev/ttyUSB0 (FT232R USB UART), /dev/ttyS0 (ttyS0)", or "none".
std::string PortListText(const std::vector<PortListing>& ports);

class CutterPort {
public:
    CutterPort() = default;
    CutterPort(const CutterPort&) = delete;
    CutterPort& operator=(const CutterPort&) = delete;
    ~CutterPort();

    // Opens `device` for writing and claims it for this program alone. A
    // pseudo-terminal (a virtual port, e.g. from socat) is opened as it is:
    // libserialport cannot describe one, and it has no line to set up.
    PortFailure Open(const std::string& device);

    int fd() const { return fd_; }

    enum class LineState { Free, Held, Unknown };
    // Whether the cutter holds CTS low now; a virtual port cannot tell.
    LineState State() const;
    // The bytes the driver still holds for the line (TIOCOUTQ); none where it
    // cannot tell, as on a virtual port.
    std::optional<uint64_t> Queued() const;

private:
    sp_port* port_ = nullptr;
    int ownFd_ = -1;  // a pseudo-terminal's descriptor, opened here
    int fd_ = -1;
};
