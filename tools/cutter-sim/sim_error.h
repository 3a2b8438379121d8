#pragma once
// A failure at cutter-sim's edges (the port, a file, a measure): what failed
// and, when a system call failed, the system's reason.
#include <string>
#include <string_view>
#include <utility>

#include "platform/system_error.h"

class SimError {
public:
    SimError() = default;  // no failure
    explicit SimError(std::string what, SystemError reason = {})
        : what_(std::move(what)), reason_(reason) {}
    // "subject: doing" with the reason the last failed system call left
    // behind, taken before anything else can change it.
    static SimError Last(std::string_view subject, std::string_view doing = {}) {
        const SystemError why = SystemError::Last();
        std::string what(subject);
        if (!doing.empty()) what.append(": ").append(doing);
        return SimError(std::move(what), why);
    }

    explicit operator bool() const { return !what_.empty(); }
    const SystemError& reason() const { return reason_; }
    // "what: reason", or "what" alone when the system gave no reason.
    std::string Text() const { return reason_ ? what_ + ": " + reason_.Message() : what_; }

private:
    std::string what_;
    SystemError reason_;
};
