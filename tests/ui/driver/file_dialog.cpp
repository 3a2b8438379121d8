// Drives the system's file dialogs as a user would: types the name into the file name box and
// presses Save or Open, or Cancel.
#include "ui/driver/file_dialog.h"

#include <stdexcept>

#include "ui/driver/send_message.h"

namespace ui {

namespace {

// Ids of the common file dialog: the explorer-style file name box (a combo box
// with an edit inside) and the older plain edit.
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

// The direct child of `parent` with this class and id; the file dialog has
// more than one window with id 1 (its toolbar too), so GetDlgItem will not do.
HWND DirectChild(HWND parent, const wchar_t* className, int id) {
    for (HWND child = FindWindowExW(parent, nullptr, className, nullptr); child != nullptr;
         child = FindWindowExW(parent, child, className, nullptr)) {
        if (GetDlgCtrlID(child) == id) return child;
    }
    return nullptr;
}

HWND FileNameEdit(HWND fileDialog) {
    if (HWND combo = GetDlgItem(fileDialog, kFileNameCombo)) {
        // Wherever the edit sits inside the combo box (ComboBoxEx > ComboBox > Edit).
        HWND inner = FindWindowExW(combo, nullptr, L"ComboBox", nullptr);
        HWND edit = FindWindowExW(inner != nullptr ? inner : combo, nullptr, L"Edit", nullptr);
        if (edit != nullptr) return edit;
    }
    if (HWND edit = GetDlgItem(fileDialog, kFileNameEdit)) return edit;
    throw std::runtime_error("the file dialog has no file name box");
}

void Press(HWND fileDialog, int id) {
    HWND button = DirectChild(fileDialog, L"Button", id);
    if (button == nullptr)
        throw std::runtime_error("the file dialog has no button " + std::to_string(id));
    // Posted: the dialog ends, and its owner goes on, inside the handler.
    Post(button, BM_CLICK);
}

}  // namespace

void ChooseFileName(HWND fileDialog, const std::wstring& path) {
    Send(FileNameEdit(fileDialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    Press(fileDialog, IDOK);
}

void CancelFileDialog(HWND fileDialog) {
    Press(fileDialog, IDCANCEL);
}

}  // namespace ui
