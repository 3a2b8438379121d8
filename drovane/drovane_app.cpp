#include "drovane_app.h"

#include <windows.h>
// windows.h first: commctrl.h needs its types.
#include <commctrl.h>

#include "drovane_dlg.h"

namespace {

// The settings live under HKCU\Software\<this key>\Drovane\config.
constexpr wchar_t kRegistryKey[] = L"应用程序向导生成的本地应用程序";

}  // namespace

CDrovaneApp::CDrovaneApp() : App(L"Drovane") {}

bool CDrovaneApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    App::InitInstance();
    SetRegistryKey(kRegistryKey);

    CDrovaneDlg dialog;
    SetMainWindow(&dialog);
    dialog.DoModal();
    SetMainWindow(nullptr);
    // No message loop of our own: the program ends with the dialog.
    return false;
}

CDrovaneApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return theApp.Run(instance);
}
