// Message boxes captioned with the program's name, owned by the main window, or by none while
// that window goes away.
#include "message_box.h"

#include "app.h"

namespace framework {

int ShowMessage(const wchar_t* text, UINT type) {
    const App* app = App::Current();
    return MessageBoxW(app->mainWindowHandle(), text, app->name().c_str(), type);
}

int ShowMessageWithoutOwner(const wchar_t* text, UINT type) {
    return MessageBoxW(nullptr, text, App::Current()->name().c_str(), type);
}

}  // namespace framework
