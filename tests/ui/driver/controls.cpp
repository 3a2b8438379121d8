// Reads and drives another process's dialog controls by id with window messages alone, no
// focus or mouse: texts, check boxes, combo boxes, progress bars, button clicks.
#include "ui/driver/controls.h"

#include <commctrl.h>

#include <stdexcept>

#include "ui/driver/send_message.h"
#include "ui/driver/top_windows.h"

namespace ui {

HWND Control(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) throw std::runtime_error("no control " + std::to_string(id));
    return control;
}

std::wstring ControlText(HWND dialog, int id) {
    return WindowText(Control(dialog, id));
}

void SetControlText(HWND dialog, int id, const std::wstring& text) {
    Send(Control(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool IsChecked(HWND dialog, int id) {
    return Send(Control(dialog, id), BM_GETCHECK) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int id) {
    return IsWindowEnabled(Control(dialog, id)) != FALSE;
}

std::vector<std::wstring> ComboEntries(HWND dialog, int id) {
    HWND combo = Control(dialog, id);
    const LRESULT count = Send(combo, CB_GETCOUNT);
    std::vector<std::wstring> entries;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        entries.push_back(text);
    }
    return entries;
}

int ComboSelection(HWND dialog, int id) {
    return static_cast<int>(Send(Control(dialog, id), CB_GETCURSEL));
}

void ChooseComboEntry(HWND dialog, int id, int index) {
    HWND combo = Control(dialog, id);
    if (Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index)) != index)
        throw std::runtime_error("combo box " + std::to_string(id) + " has no entry " +
                                 std::to_string(index));
    // CB_SETCURSEL notifies nobody; the user's choice would.
    Send(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

int ProgressPosition(HWND dialog, int id) {
    return static_cast<int>(Send(Control(dialog, id), PBM_GETPOS));
}

void Click(HWND dialog, int id) {
    Send(Control(dialog, id), BM_CLICK);
}

void ClickLater(HWND dialog, int id) {
    Post(Control(dialog, id), BM_CLICK);
}

}  // namespace ui
