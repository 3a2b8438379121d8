#pragma once
#include "dialog.h"
#include "resource.h"

// The About box: the icon, the program's name and version, and an OK button.
// Owned by the wait window, which stays disabled while the box is open.
class CAboutDlg : public framework::Dialog {
public:
    explicit CAboutDlg(HWND owner) : Dialog(IDD_ABOUTBOX, owner) {}
};
