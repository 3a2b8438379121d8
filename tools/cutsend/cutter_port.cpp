// Lists the serial ports and opens the cutter's with libserialport at 38400 8N1 with RTS/CTS,
// locked against a second sender; a pty opens as it is. Also tells whether CTS is held and
// what the driver still holds.
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
#include <utility>

#include "engine/cutter_line.h"
#include "engine/platform/system_error.h"
#include "port_permission_hint.h"

namespace {

// libserialport's failure of the call just made: the system's own error where
// the system failed (SP_ERR_FAIL), else libserialport's message in `what`.
PortFailure LibraryFailure(PortFailure::Kind kind, std::string what, sp_return returned) {
    if (returned == SP_ERR_FAIL)
        return {kind, Failure(std::move(what), SystemError(sp_last_error_code())), ""};
    char* message = sp_last_error_message();
    what += std::string(": ") + (message != nullptr ? message : "unknown error");
    sp_free_error_message(message);
    return {kind, Failure(std::move(what)), ""};
}

// Linux numbers pseudo-terminal slaves under /dev/pts/.
bool IsPseudoTerminal(const std::string& device) {
    char resolved[PATH_MAX];
    if (::realpath(device.c_str(), resolved) == nullptr) return false;
    return std::strncmp(resolved, "/dev/pts/", 9) == 0;
}

}  // namespace

std::string PortFailure::Message() const {
    return failure.Text() + hint;
}

PortFailure ListPorts(std::vector<PortListing>& ports) {
    sp_port** list = nullptr;
    if (const sp_return listed = sp_list_ports(&list); listed != SP_OK)
        return LibraryFailure(PortFailure::Kind::Failed, "cannot list the serial ports", listed);
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
    return {};
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

PortFailure CutterPort::Open(const std::string& device) {
    using Kind = PortFailure::Kind;
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) {
        const SystemError why = SystemError::Last();
        if (why.code() == ENOENT) return {Kind::Missing, Failure("no serial port " + device), ""};
        return {Kind::Missing, Failure(device, why), ""};
    }
    if (!S_ISCHR(info.st_mode))
        return {Kind::Missing, Failure(device + " is not a serial port"), ""};
    if (IsPseudoTerminal(device)) {
        ownFd_ = ::open(device.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (ownFd_ < 0) {
            const SystemError why = SystemError::Last();
            return {why.code() == EBUSY ? Kind::Busy : Kind::Failed, Failure(device, why),
                    PortPermissionHint(device, why.code())};
        }
        fd_ = ownFd_;
    } else {
        if (const sp_return found = sp_get_port_by_name(device.c_str(), &port_); found != SP_OK)
            return LibraryFailure(Kind::Missing, device, found);
        if (const sp_return opened = sp_open(port_, SP_MODE_WRITE); opened != SP_OK) {
            PortFailure failure = LibraryFailure(Kind::Failed, device, opened);
            const int code = failure.failure.reason().code();
            if (code == EBUSY) failure.kind = Kind::Busy;
            failure.hint = PortPermissionHint(device, code);
            return failure;
        }
        sp_return set = sp_set_baudrate(port_, static_cast<int>(harvel::kCutterBaudRate));
        if (set == SP_OK) set = sp_set_bits(port_, harvel::kCutterDataBits);
        if (set == SP_OK) set = sp_set_parity(port_, SP_PARITY_NONE);
        if (set == SP_OK) set = sp_set_stopbits(port_, harvel::kCutterStopBits);
        if (set == SP_OK) set = sp_set_flowcontrol(port_, SP_FLOWCONTROL_RTSCTS);
        if (set == SP_OK) set = sp_get_port_handle(port_, &fd_);
        if (set != SP_OK)
            return LibraryFailure(Kind::Failed, device + ": cannot set up the line", set);
    }
    // Another sender on the same port would interleave its bytes with ours.
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0)
        return {Kind::Busy, Failure(device + " is busy: another program is using it"), ""};
    return {};
}

CutterPort::LineState CutterPort::State() const {
    sp_signal signals{};
    if (port_ == nullptr || sp_get_signals(port_, &signals) != SP_OK) return LineState::Unknown;
    return (signals & SP_SIG_CTS) != 0 ? LineState::Free : LineState::Held;
}

std::optional<uint64_t> CutterPort::Queued() const {
    if (port_ == nullptr) return std::nullopt;
    const int waiting = sp_output_waiting(port_);
    if (waiting < 0) return std::nullopt;
    return static_cast<uint64_t>(waiting);
}

CutterPort::~CutterPort() {
    if (port_ != nullptr) {
        sp_close(port_);
        sp_free_port(port_);
    }
    if (ownFd_ >= 0) ::close(ownFd_);
}
