// Lists the serial ports and opens the cutter's with libserialport at 38400 8N1 with RTS/CTS,
// locked against a second sender; a pty opens as it is. Also tells whether CTS is held.
#include "cutter_port.h"

#include <fcntl.h>
#include <libserialport.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "cutter_line.h"
#include "platform/system_error.h"
#include "port_permission_hint.h"

namespace {

std::string LastPortError() {
    char* message = sp_last_error_message();
    std::string text = message != nullptr ? message : "unknown error";
    sp_free_error_message(message);
    return text;
}

// Linux numbers pseudo-terminal slaves under /dev/pts/.
bool IsPseudoTerminal(const std::string& device) {
    char resolved[PATH_MAX];
    if (::realpath(device.c_str(), resolved) == nullptr) return false;
    return std::strncmp(resolved, "/dev/pts/", 9) == 0;
}

}  // namespace

bool ListPorts(std::vector<PortListing>& ports, std::string& problem) {
    sp_port** list = nullptr;
    if (sp_list_ports(&list) != SP_OK) {
        problem = "cannot list the serial ports: " + LastPortError();
        return false;
    }
    for (sp_port** p = list; *p != nullptr; ++p) {
        PortListing listing{sp_get_port_name(*p), ""};
        const char* product =
            sp_get_port_transport(*p) == SP_TRANSPORT_USB ? sp_get_port_usb_product(*p) : nullptr;
        const char* description = sp_get_port_description(*p);
        if (product != nullptr && *product != '\0')
            listing.description = product;
        else if (description != nullptr)
            listing.description = description;
        ports.push_back(listing);
    }
    sp_free_port_list(list);
    return true;
}

std::string PortListText(const std::vector<PortListing>& ports) {
    if (ports.empty()) return "none";
    std::string text;
    for (const PortListing& port : ports) {
        if (!text.empty()) text += ", ";
        text += port.name;
        if (!port.description.empty()) text += " (" + port.description + ")";
    }
    return text;
}

CutterPort::OpenError CutterPort::Open(const std::string& device, std::string& problem) {
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) {
        problem =
            errno == ENOENT ? "no serial port " + device : device + ": " + std::strerror(errno);
        return OpenError::Missing;
    }
    if (!S_ISCHR(info.st_mode)) {
        problem = device + " is not a serial port";
        return OpenError::Missing;
    }
    if (IsPseudoTerminal(device)) {
        ownFd_ = ::open(device.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (ownFd_ < 0) {
            const SystemError why = SystemError::Last();
            problem = device + ": " + why.Message() + PortPermissionHint(device, why.code());
            return why.code() == EBUSY ? OpenError::Busy : OpenError::Failed;
        }
        fd_ = ownFd_;
    } else {
        if (sp_get_port_by_name(device.c_str(), &port_) != SP_OK) {
            problem = device + ": " + LastPortError();
            return OpenError::Missing;
        }
        if (sp_open(port_, SP_MODE_WRITE) != SP_OK) {
            // libserialport's own record of the system's reason: errno may
            // have changed since.
            const int code = sp_last_error_code();
            problem = device + ": " + LastPortError() + PortPermissionHint(device, code);
            return code == EBUSY ? OpenError::Busy : OpenError::Failed;
        }
        const bool configured =
            sp_set_baudrate(port_, static_cast<int>(harvel::kCutterBaudRate)) == SP_OK &&
            sp_set_bits(port_, harvel::kCutterDataBits) == SP_OK &&
            sp_set_parity(port_, SP_PARITY_NONE) == SP_OK &&
            sp_set_stopbits(port_, harvel::kCutterStopBits) == SP_OK &&
            sp_set_flowcontrol(port_, SP_FLOWCONTROL_RTSCTS) == SP_OK &&
            sp_get_port_handle(port_, &fd_) == SP_OK;
        if (!configured) {
            problem = device + ": cannot set up the line: " + LastPortError();
            return OpenError::Failed;
        }
    }
    // Another sender on the same port would interleave its bytes with ours.
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        problem = device + " is busy: another program is using it";
        return OpenError::Busy;
    }
    return OpenError::None;
}

CutterPort::LineState CutterPort::State() const {
    sp_signal signals{};
    if (port_ == nullptr || sp_get_signals(port_, &signals) != SP_OK) return LineState::Unknown;
    return (signals & SP_SIG_CTS) != 0 ? LineState::Free : LineState::Held;
}

CutterPort::~CutterPort() {
    if (port_ != nullptr) {
        sp_close(port_);
        sp_free_port(port_);
    }
    if (ownFd_ >= 0) ::close(ownFd_);
}
