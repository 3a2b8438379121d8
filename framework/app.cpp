// The program's one application object: loads and registers the common controls, places the
// settings in the registry, and runs the main dialog modally as the whole run.
#include "app.h"

#include "dialog.h"
#include "system_libraries.h"

namespace framework {

App* App::current_ = nullptr;

App::App(std::wstring name, DWORD commonControls)
    : name_(std::move(name)),
      commonControls_(commonControls),
      settings_(std::make_unique<Settings>(L"", name_)) {
    current_ = this;
}

App::~App() {
    if (current_ == this) current_ = nullptr;
}

int App::Run(HINSTANCE instance) {
    instance_ = instance;
    if (!InitInstance()) return 1;
    const std::unique_ptr<Dialog> dialog = CreateMainDialog();
    SetMainWindow(dialog.get());
    const INT_PTR result = dialog->DoModal();
    SetMainWindow(nullptr);
    return result == -1 ? 1 : 0;
}

bool App::InitInstance() {
    return LoadCommonControls(commonControls_);
}

void App::SetRegistryKey(std::wstring key) {
    settings_ = std::make_unique<Settings>(std::move(key), name_);
}

const Settings& App::settings() const {
    return *settings_;
}

HWND App::mainWindowHandle() const {
    return mainWindow_ != nullptr ? mainWindow_->hwnd() : nullptr;
}

HICON App::LoadIcon(UINT id) const {
    return ::LoadIconW(instance_, MAKEINTRESOURCEW(id));
}

}  // namespace framework
