// Finds another process's top-level windows: by caption, dialogs showing a text, any further
// dialog; waits until they are ready or gone, and reads window texts.
#include "ui/driver/top_windows.h"

#include <stdexcept>

#include "ui/driver/send_message.h"
#include "ui/driver/text_convert.h"

namespace ui {

namespace {

constexpr DWORD kPollMs = 10;

struct Collect {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    auto* c = reinterpret_cast<Collect*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (IsWindowVisible(window) && (c->pid == 0 || c->pid == pid)) c->windows.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

bool IsDialogClass(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wstring(name) == L"#32770";
}

// The window's text, or nothing when it does not answer (a window that goes
// away while the search looks at it).
std::wstring TextIfAny(HWND window) {
    try {
        return WindowText(window);
    } catch (const std::runtime_error&) {
        return {};
    }
}

bool ShowsText(HWND window, const std::wstring& text) {
    if (TextIfAny(window) == text) return true;
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChildren, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children)
        if (TextIfAny(child) == text) return true;
    return false;
}

}  // namespace

std::vector<HWND> VisibleTopLevelWindows(DWORD pid) {
    Collect c{pid, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&c));
    return c.windows;
}

HWND WaitForWindow(const std::wstring& caption, DWORD pid, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        for (HWND window : VisibleTopLevelWindows(pid)) {
            // A dialog shows itself part way through its initialisation; its
            // controls are only complete once its thread takes messages again.
            if (TextIfAny(window) == caption && Settle(window, timeoutMs)) return window;
        }
        Sleep(kPollMs);
    } while (GetTickCount64() < end);
    throw std::runtime_error("no window \"" + Utf8(caption) + "\" within " +
                             std::to_string(timeoutMs) + " ms");
}

HWND FindDialogShowing(const std::wstring& text, DWORD pid, HWND except) {
    for (HWND window : VisibleTopLevelWindows(pid)) {
        if (window != except && IsDialogClass(window) && ShowsText(window, text)) return window;
    }
    return nullptr;
}

HWND WaitForDialogShowing(const std::wstring& text, DWORD pid, HWND except, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        if (HWND window = FindDialogShowing(text, pid, except)) {
            if (Settle(window, timeoutMs)) return window;
        }
        Sleep(kPollMs);
    } while (GetTickCount64() < end);
    throw std::runtime_error("no dialog showing \"" + Utf8(text) + "\" within " +
                             std::to_string(timeoutMs) + " ms");
}

HWND WaitForOtherDialog(DWORD pid, HWND except, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        for (HWND window : VisibleTopLevelWindows(pid)) {
            if (window != except && IsDialogClass(window) && Settle(window, timeoutMs))
                return window;
        }
        Sleep(kPollMs);
    } while (GetTickCount64() < end);
    throw std::runtime_error("no further dialog within " + std::to_string(timeoutMs) + " ms");
}

bool WaitUntilGone(HWND window, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount64() >= end) return false;
        Sleep(kPollMs);
    }
    return true;
}

bool Settle(HWND window, DWORD timeoutMs) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0;
}

RECT WindowRect(HWND window) {
    RECT r{};
    if (!GetWindowRect(window, &r)) throw std::runtime_error("GetWindowRect failed");
    return r;
}

std::wstring WindowText(HWND window) {
    // WM_GETTEXT rather than GetWindowText: the latter does not ask windows of
    // other processes for their controls' texts.
    const LRESULT length = Send(window, WM_GETTEXTLENGTH);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

}  // namespace ui
