#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace ui {

// Controls of a dialog in another process, by control id. Every call asks the
// control itself with a window message; none needs the focus or the mouse.
HWND Control(HWND dialog, int id);  // throws when the dialog has no such control

std::wstring ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::wstring& text);
bool IsChecked(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);

std::vector<std::wstring> ComboEntries(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);  // CB_ERR (-1) when none
// Selects an entry as the user would: the combo box changes its selection and
// its parent hears CBN_SELCHANGE.
void ChooseComboEntry(HWND dialog, int id, int index);

int ProgressPosition(HWND dialog, int id);

// Clicks a button and waits for its handler to finish.
void Click(HWND dialog, int id);
// Clicks a button without waiting: for a handler that opens a modal window.
void ClickLater(HWND dialog, int id);

}  // namespace ui
