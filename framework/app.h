#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "settings.h"

namespace framework {

class Dialog;

// The one application object of a program. Run sets the program up and runs its
// main dialog modally; there is no message loop of its own, so one run of the
// program is one run of that dialog.
class App {
public:
    // commonControls: the common control classes the program's templates use.
    App(std::wstring name, DWORD commonControls);
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    virtual ~App();

    static App* Current() { return current_; }

    // Called from the program's wWinMain; the program's exit code: 0 once the
    // dialog has run, 1 when set-up failed or the dialog could not be created.
    int Run(HINSTANCE instance);

    HINSTANCE instance() const { return instance_; }
    const std::wstring& name() const { return name_; }

    // Places the settings under HKCU\Software\<key>\<application name>.
    void SetRegistryKey(std::wstring key);
    const Settings& settings() const;

    // The window that owns message boxes and file dialogs opened without an owner.
    void SetMainWindow(Dialog* dialog) { mainWindow_ = dialog; }
    HWND mainWindowHandle() const;

    HICON LoadIcon(UINT id) const;

protected:
    // The program's set-up before its dialog runs; false ends the program at
    // once. The base registers the common controls.
    virtual bool InitInstance();
    virtual std::unique_ptr<Dialog> CreateMainDialog() = 0;

private:
    static App* current_;
    HINSTANCE instance_ = nullptr;
    std::wstring name_;
    DWORD commonControls_;
    std::unique_ptr<Settings> settings_;
    Dialog* mainWindow_ = nullptr;
};

}  // namespace framework
