#include "skarrow_app.h"

#include <windows.h>
// windows.h first: commctrl.h needs its types.
#include <commctrl.h>

#include "skarrow_dlg.h"

namespace {

// The settings live under HKCU\Software\<this key>\Drovane\config.
constexpr wchar_t kRegistryKey[] = L"应用程序向导生成的本地应用程序";

}  // namespace

CSkarrowApp::CSkarrowApp() : App(L"Drovane") {}

bool CSkarrowApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    App::InitInstance();
    SetRegistryKey(kRegistryKey);

    CSkarrowDlg dialog;
    SetMainWindow(&dialog);
    dialog.DoModal();
    SetMainWindow(nullptr);
    // No message loop of our own: the program ends with the dialog.
    return false;
}

CSkarrowApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return theApp.Run(instance);
}
