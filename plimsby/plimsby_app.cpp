// Plimsby's application object and entry point: the progress bar's common controls and the
// wait window as main dialog; the program ends when that window does.
#include "plimsby_app.h"

#include <windows.h>
// windows.h first: commctrl.h needs its types.
#include <commctrl.h>

#include "plimsby_dlg.h"
#include "system_libraries.h"

// The wait window's template holds a progress bar, whose class lives in the
// common controls.
CPlimsbyApp::CPlimsbyApp() : App(L"Plimsby", ICC_PROGRESS_CLASS) {}

// Every way the wait window ends leads to the same place: the program ends.
std::unique_ptr<framework::Dialog> CPlimsbyApp::CreateMainDialog() {
    return std::make_unique<CPlimsbyDlg>();
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // First of all: no library beside the program is ever loaded.
    if (!framework::RestrictDllSearchToSystem32()) return 1;
    CPlimsbyApp app;
    return app.Run(instance);
}
