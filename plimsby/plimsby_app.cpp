#include "plimsby_app.h"

#include <windows.h>
// windows.h first: commctrl.h needs its types.
#include <commctrl.h>

#include "plimsby_dlg.h"

CPlimsbyApp::CPlimsbyApp() : App(L"Plimsby") {}

bool CPlimsbyApp::InitInstance() {
    // The wait window's template holds a progress bar, whose class lives in
    // the common controls.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    CPlimsbyDlg dialog;
    SetMainWindow(&dialog);
    // Every way the dialog ends leads to the same place, so its result is not looked at.
    dialog.DoModal();
    SetMainWindow(nullptr);
    // No message loop of our own: the program ends with the dialog.
    return false;
}

CPlimsbyApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return theApp.Run(instance);
}
