// Window messages to another process: Send throws when the window does not answer within
// 10 s instead of hanging; Post for handlers that open a modal window.
#include "ui/driver/send_message.h"

#include <stdexcept>
#include <string>

namespace ui {

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kReplyWaitMs, &result))
        throw std::runtime_error("window did not answer message " + std::to_string(message));
    return static_cast<LRESULT>(result);
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!PostMessageW(window, message, wParam, lParam))
        throw std::runtime_error("PostMessage " + std::to_string(message) + " failed");
}

}  // namespace ui
