#include "message_box.h"

#include "app.h"

namespace framework {

int ShowMessage(const wchar_t* text, UINT type) {
    const App* app = App::Current();
    return MessageBoxW(app->mainWindowHandle(), text, app->name().c_str(), type);
}

}  // namespace framework
