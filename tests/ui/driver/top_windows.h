#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ui {

constexpr DWORD kWindowWaitMs = 10000;

// Visible top-level windows, optionally only those of one process (pid 0: any).
std::vector<HWND> VisibleTopLevelWindows(DWORD pid = 0);

// The visible top-level window with exactly this caption (of process pid, or
// of any process for 0), once its thread has finished initialising it. Throws
// when none appears within timeoutMs.
HWND WaitForWindow(const std::wstring& caption, DWORD pid = 0, DWORD timeoutMs = kWindowWaitMs);

// A visible dialog-class top-level window of pid other than `except`, whose
// text or one of whose controls' texts is `text` (a message box, say). Throws
// after timeoutMs.
HWND WaitForDialogShowing(const std::wstring& text, DWORD pid, HWND except = nullptr,
                          DWORD timeoutMs = kWindowWaitMs);

// Any visible dialog-class top-level window of pid other than `except` (a file
// dialog, say). Throws after timeoutMs.
HWND WaitForOtherDialog(DWORD pid, HWND except, DWORD timeoutMs = kWindowWaitMs);

// Null when there is none right now.
HWND FindDialogShowing(const std::wstring& text, DWORD pid, HWND except = nullptr);

// True once the window is gone (destroyed or hidden) within timeoutMs.
bool WaitUntilGone(HWND window, DWORD timeoutMs = kWindowWaitMs);

// Waits until the window's thread has handled everything sent before: after
// this, the effects of earlier sent messages are visible. False on timeout.
bool Settle(HWND window, DWORD timeoutMs = kWindowWaitMs);

RECT WindowRect(HWND window);
std::wstring WindowText(HWND window);

}  // namespace ui
