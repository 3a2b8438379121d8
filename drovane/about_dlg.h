#pragma once
#include "dialog.h"
#include "resource.h"

// The About box: the icon, the program's name and version, and an OK button.
class CAboutDlg : public framework::Dialog {
public:
    CAboutDlg() : Dialog(IDD_ABOUTBOX) {}
};
