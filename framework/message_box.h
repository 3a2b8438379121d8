#pragma once
#include <windows.h>

namespace framework {

// A plain message box captioned with the application's name, owned by the main
// window so that it is modal to it.
int ShowMessage(const wchar_t* text, UINT type = MB_OK);

// The same box without an owner, for when the main window is going away.
int ShowMessageWithoutOwner(const wchar_t* text, UINT type = MB_OK);

}  // namespace framework
