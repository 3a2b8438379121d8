#pragma once
// The serial port to the cutter, opened and set up for the cutter's line
// (38400 baud, 8N1, RTS/CTS) with libserialport, and the list of ports.
#include <string>
#include <vector>

struct sp_port;

struct PortListing {
    std::string name;         // e.g. /dev/ttyUSB0
    std::string description;  // a USB adapter's product name, or the driver's
};

// Every serial port the system knows; false with a problem when listing fails.
bool ListPorts(std::vector<PortListing>& ports, std::string& problem);

// "/dev/ttyUSB0 (FT232R USB UART), /dev/ttyS0 (ttyS0)", or "none".
std::string PortListText(const std::vector<PortListing>& ports);

class CutterPort {
public:
    CutterPort() = default;
    CutterPort(const CutterPort&) = delete;
    CutterPort& operator=(const CutterPort&) = delete;
    ~CutterPort();

    enum class OpenError { None, Missing, Busy, Failed };

    // Opens `device` for writing and claims it for this program alone. A
    // pseudo-terminal (a virtual port, e.g. from socat) is opened as it is:
    // libserialport cannot describe one, and it has no line to set up.
    OpenError Open(const std::string& device, std::string& problem);

    int fd() const { return fd_; }

    enum class LineState { Free, Held, Unknown };
    // Whether the cutter holds CTS low now; a virtual port cannot tell.
    LineState State() const;

private:
    sp_port* port_ = nullptr;
    int ownFd_ = -1;  // a pseudo-terminal's descriptor, opened here
    int fd_ = -1;
};
