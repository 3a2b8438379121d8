#include "app.h"

#include "dialog.h"

namespace framework {

App* App::current_ = nullptr;

App::App(std::wstring name)
    : name_(std::move(name)), settings_(std::make_unique<Settings>(L"", name_)) {
    current_ = this;
}

App::~App() {
    if (current_ == this) current_ = nullptr;
}

int App::Run(HINSTANCE instance) {
    instance_ = instance;
    InitInstance();
    return 0;
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
