// ui-press: presses a button of a program's window from outside, by window
// messages, as the UI tests do. The unattended demonstration uses it to press
// Start once the sender's dialog is up.
//
//   ui-press "WINDOW CAPTION" CONTROL_ID [TIMEOUT_MS]
//
// Exit 0 once the button is clicked; 1 when the window did not appear in time.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "ui/driver/controls.h"
#include "ui/driver/top_windows.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: ui-press \"WINDOW CAPTION\" CONTROL_ID [TIMEOUT_MS]\n");
        return 2;
    }
    const int controlId = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    const DWORD timeoutMs =
        argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) : 60000;
    // Windows of programs that are ending may not answer while the window is
    // looked for; that is no failure, only a reason to look again.
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        try {
            HWND window = ui::WaitForWindow(argv[1], 0, 1000);
            ui::ClickLater(window, controlId);
            break;
        } catch (const std::exception& e) {
            if (GetTickCount64() >= deadline) {
                std::fprintf(stderr, "ui-press: %s\n", e.what());
                return 1;
            }
            Sleep(100);
        }
    }
    return 0;
}
