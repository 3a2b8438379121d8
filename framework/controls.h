#pragma once
#include <windows.h>
// windows.h first: commctrl.h needs its types.
#include <commctrl.h>

#include <string>
#include <string_view>

namespace framework {

// A control of a dialog, bound to its window by the dialog's data exchange.
// Thin: it only holds the HWND; the window belongs to the dialog.
class Window {
public:
    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    HWND hwnd() const { return hwnd_; }

    void Enable(bool enabled) const { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
    void SetText(std::wstring_view text) const {
        SetWindowTextW(hwnd_, std::wstring(text).c_str());
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(hwnd_, message, wParam, lParam);
    }

private:
    HWND hwnd_ = nullptr;
};

class Button : public Window {};

class Edit : public Window {};

class ComboBox : public Window {
public:
    int AddString(std::wstring_view text) const {
        std::wstring copy(text);
        return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(copy.c_str())));
    }
    int GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }
    void SetCurSel(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }
};

// The messages are sent, so they may come from any thread; the call waits for
// the thread that owns the bar.
class ProgressBar : public Window {
public:
    void SetRange(WORD upper) const { Send(PBM_SETRANGE, 0, MAKELPARAM(0, upper)); }
    void SetStep(int step) const { Send(PBM_SETSTEP, static_cast<WPARAM>(step)); }
    void StepIt() const { Send(PBM_STEPIT); }
    void SetPos(int pos) const { Send(PBM_SETPOS, static_cast<WPARAM>(pos)); }
    int GetPos() const { return static_cast<int>(Send(PBM_GETPOS)); }
};

}  // namespace framework
