#pragma once
// A failure at a program's edge as one value: what failed, in words a person
// reads ("/dev/ttyUSB0: cannot set raw mode"), and why: the system's reason or
// the project's own refusal, where there is one.
#include <string>
#include <string_view>
#include <utility>

#include "engine/platform/system_error.h"

class Failure {
public:
    Failure() = default;  // no failure
    explicit Failure(std::string what, SystemError reason = {})
        : what_(std::move(what)), reason_(reason) {}
    // "subject: doing" with the reason the last failed system call left
    // behind, taken before anything else can change it.
    static Failure Last(std::string_view subject, std::string_view doing = {}) {
        const SystemError why = SystemError::Last();
        std::string what(subject);
        if (!doing.empty()) what.append(": ").append(doing);
        return Failure(std::move(what), why);
    }

    explicit operator bool() const { return !what_.empty(); }
    const std::string& what() const { return what_; }
    const SystemError& reason() const { return reason_; }
    // "what: reason", or "what" alone when there is no reason.
    std::string Text() const { return reason_ ? what_ + ": " + reason_.Message() : what_; }

private:
    std::string what_;
    SystemError reason_;
};
