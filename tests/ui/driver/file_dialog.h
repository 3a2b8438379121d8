#pragma once
#include <windows.h>

#include <string>

namespace ui {

// The system's file-open and file-save dialogs, driven as a user would: type a
// name into the file name box and press the OK (Save/Open) button, or Cancel.
void ChooseFileName(HWND fileDialog, const std::wstring& path);
void CancelFileDialog(HWND fileDialog);

}  // namespace ui
