#pragma once
#include <windows.h>

namespace ui {

constexpr DWORD kReplyWaitMs = 10000;

// SendMessage to a window of another process that throws instead of hanging
// when the window's thread does not answer within kReplyWaitMs.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// PostMessage for requests whose handler runs a modal loop (a message box, a
// file dialog) and would not return until someone closes it.
void Post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

}  // namespace ui
