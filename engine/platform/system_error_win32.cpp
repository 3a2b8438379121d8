// A failed call's reason on Windows: GetLastError() and FormatMessage's text without its
// closing period and line break.
#include <windows.h>

#include "engine/platform/system_error.h"

SystemError SystemError::Last() {
    const DWORD code = GetLastError();
    return SystemError(code != 0 ? static_cast<int>(code) : ERROR_GEN_FAILURE);
}

std::string SystemError::SystemMessage() const {
    char text[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(code_), 0, text, sizeof text, nullptr);
    // The system's texts end in ".\r\n"; strerror's have neither.
    while (n > 0 &&
           (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ' || text[n - 1] == '.'))
        --n;
    return n > 0 ? std::string(text, n) : "error " + std::to_string(code_);
}
