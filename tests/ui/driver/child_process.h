#pragma once
#include <windows.h>

#include <string>

#include "framework/owned_handle.h"

namespace ui {

// A program started for a test. The destructor ends it if it is still
// running, so no test leaves a process behind for the next.
class ChildProcess {
public:
    ChildProcess(const std::wstring& program, const std::wstring& workingDir);
    ChildProcess(ChildProcess&&) = default;
    ChildProcess& operator=(ChildProcess&&) = default;
    ~ChildProcess();

    DWORD pid() const { return pid_; }
    bool running() const;
    // True when the process has ended within timeoutMs.
    bool WaitForExit(DWORD timeoutMs);
    DWORD exitCode() const;
    void Kill();

private:
    framework::OwnedHandle process_;
    DWORD pid_ = 0;
};

// Closes a program that someone else started through the close box of its
// window; ends it by force if it is still running after timeoutMs. True when
// it ended by itself.
bool CloseProgramOf(HWND window, DWORD timeoutMs = 5000);

}  // namespace ui
