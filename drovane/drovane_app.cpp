// Drovane's application object and entry point: the common controls, the registry key its
// settings live under, and the sender dialog as the main window.
#include "drovane_app.h"

#include <windows.h>
// windows.h first: commctrl.h needs its types.
#include <commctrl.h>

#include "drovane_dlg.h"
#include "system_libraries.h"

namespace {

// The settings live under HKCU\Software\<this key>\Drovane\config.
constexpr wchar_t kRegistryKey[] = L"应用程序向导生成的本地应用程序";

}  // namespace

CDrovaneApp::CDrovaneApp() : App(L"Drovane", ICC_WIN95_CLASSES) {}

bool CDrovaneApp::InitInstance() {
    if (!App::InitInstance()) return false;
    SetRegistryKey(kRegistryKey);
    return true;
}

std::unique_ptr<framework::Dialog> CDrovaneApp::CreateMainDialog() {
    return std::make_unique<CDrovaneDlg>();
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // First of all: no library beside the program is ever loaded.
    if (!framework::RestrictDllSearchToSystem32()) return 1;
    CDrovaneApp app;
    return app.Run(instance);
}
