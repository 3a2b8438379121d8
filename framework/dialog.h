#pragma once
#include <windows.h>

#include <cstddef>

#include "data_exchange.h"

namespace framework {

// A modal dialog built from a dialog template. Messages go first to the derived
// class's message table (see MessageEntry), then to the built-in OK and Cancel
// handling, then to the platform's default dialog handling.
class Dialog {
public:
    explicit Dialog(UINT templateId, HWND parent = nullptr);
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog() = default;

    // Runs the dialog until EndDialog; returns the result given there, or -1
    // when the dialog could not be created.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result) const { ::EndDialog(hwnd_, result); }

    HWND hwnd() const { return hwnd_; }

    // true: controls -> members; false: members -> controls. False when a
    // control's value was refused.
    bool UpdateData(bool saveAndValidate);

protected:
    virtual void DoDataExchange(DataExchange&) {}
    // The base exchanges the members into the controls; returns true to let the
    // platform set the initial focus.
    virtual BOOL OnInitDialog();
    // Enter key: take the controls' values and end with IDOK unless one is refused.
    virtual void OnOK();
    // Esc key and close box: end with IDCANCEL.
    virtual void OnCancel();

    // The derived class's message table; true when the message was handled.
    virtual bool HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

    // Called by a handler that wants the platform's default handling of the
    // message it is handling; its own result is then ignored.
    LRESULT Default() {
        if (defaultRequested_ != nullptr) *defaultRequested_ = true;
        return 0;
    }

    void SetTimer(UINT_PTR id, UINT periodMs) const { ::SetTimer(hwnd_, id, periodMs, nullptr); }
    void KillTimer(UINT_PTR id) const { ::KillTimer(hwnd_, id); }

    void SetItemText(int id, const wchar_t* text) const { SetDlgItemTextW(hwnd_, id, text); }
    void EnableItem(int id, bool enabled) const {
        EnableWindow(GetDlgItem(hwnd_, id), enabled ? TRUE : FALSE);
    }

    // Appends a separator and the item (command id, text from a string
    // resource) to the window's system menu, when it has one and the string is
    // not empty.
    void AppendSystemMenuItem(UINT commandId, UINT stringId) const;
    void SetIcons(HICON icon) const;
    // Shows the window restored and moves its top-left corner to (x, y) pixels.
    void RestoreAndMoveTo(int x, int y) const;
    // Painting of the minimised window: the icon centred in the client area.
    void PaintIconCentred(HICON icon) const;

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    HWND parent_;
    HWND hwnd_ = nullptr;
    bool* defaultRequested_ = nullptr;
};

// One row of a dialog's message table: a window message with its handler, or a
// control's notification (WM_COMMAND from an id with a code) with its handler.
// The first row that matches handles the message.
template <class D>
struct MessageEntry {
    UINT message;
    UINT controlId;
    UINT notifyCode;
    LRESULT (D::*onMessage)(WPARAM, LPARAM);
    void (D::*onCommand)();
};

template <class D>
constexpr MessageEntry<D> OnMessage(UINT message, LRESULT (D::*handler)(WPARAM, LPARAM)) {
    return {message, 0, 0, handler, nullptr};
}

template <class D>
constexpr MessageEntry<D> OnNotify(UINT controlId, UINT notifyCode, void (D::*handler)()) {
    return {WM_COMMAND, controlId, notifyCode, nullptr, handler};
}

// Runs the handler of the first matching row; the derived HandleMessage calls it.
template <class D, size_t N>
bool DispatchMessageTable(D* self, const MessageEntry<D> (&table)[N], UINT message, WPARAM wParam,
                          LPARAM lParam, LRESULT& result) {
    for (const MessageEntry<D>& row : table) {
        if (row.message != message) continue;
        if (row.onCommand != nullptr) {
            if (LOWORD(wParam) != row.controlId || HIWORD(wParam) != row.notifyCode) continue;
            (self->*row.onCommand)();
            result = 0;
            return true;
        }
        result = (self->*row.onMessage)(wParam, lParam);
        return true;
    }
    return false;
}

}  // namespace framework
