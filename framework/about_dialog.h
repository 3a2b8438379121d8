#pragma once
#include "dialog.h"

namespace framework {

// A program's About box: its template shows the icon, the name and version,
// and an OK button; it needs no code of its own. Owned by the main window,
// which stays disabled while the box is open but keeps receiving its timers.
class AboutDialog : public Dialog {
public:
    AboutDialog(UINT templateId, HWND owner) : Dialog(templateId, owner) {}
};

}  // namespace framework
