// Programs started for the UI tests: tried again when Wine fails to start them, ended by force
// if a test leaves them running; and closing a program someone else started.
#include "ui/driver/child_process.h"

#include <stdexcept>

#include "ui/driver/send_message.h"
#include "ui/driver/text_convert.h"

namespace ui {

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& workingDir) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + program + L"\"";
    // On a loaded machine Wine now and then fails to bring up a new process
    // with an internal error; that is Wine's, not the program's, so try again.
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                           workingDir.c_str(), &startup, &info))
            break;
        const DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == 5)
            throw std::runtime_error("cannot start " + Utf8(program) + ": error " +
                                     std::to_string(error));
        Sleep(500);
    }
    CloseHandle(info.hThread);
    process_.Reset(info.hProcess);
    pid_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
    if (process_.valid()) Kill();
}

bool ChildProcess::running() const {
    return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs) {
    return WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::exitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

void ChildProcess::Kill() {
    if (!running()) return;
    TerminateProcess(process_.get(), 255);
    WaitForSingleObject(process_.get(), 5000);
}

bool CloseProgramOf(HWND window, DWORD timeoutMs) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    framework::OwnedHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
    if (!process.valid()) return true;
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0) return true;
    TerminateProcess(process.get(), 255);
    WaitForSingleObject(process.get(), 5000);
    return false;
}

}  // namespace ui
