#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "settings.h"

namespace framework {

class Dialog;

// The one application object of a program. Its start-up runs the program's
// dialog; returning false from InitInstance ends the program without a message
// loop of its own, so one run of the program is one run of that dialog.
class App {
public:
    explicit App(std::wstring name);
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    virtual ~App();

    static App* Current() { return current_; }

    // Called from the program's wWinMain.
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
    virtual bool InitInstance() { return true; }

private:
    static App* current_;
    HINSTANCE instance_ = nullptr;
    std::wstring name_;
    std::unique_ptr<Settings> settings_;
    Dialog* mainWindow_ = nullptr;
};

}  // namespace framework
