#pragma once
#include <windows.h>

#include "dialog.h"

namespace framework {

// The resources a program's main dialog is built from.
struct MainDialogResources {
    UINT dialogTemplate;
    UINT icon;           // the program icon, on the window and when minimised
    UINT aboutTemplate;  // the About box
    UINT aboutItemText;  // string resource: the system menu's About item
};

// What both programs' main dialogs share: the window opens restored at
// (300, 300) with the program icon, paints that icon while minimised and uses
// it as the drag icon, and has an About item on its system menu.
class MainDialog : public Dialog {
public:
    // The system menu's About command.
    static constexpr UINT kAboutCommand = 0x0010;

    explicit MainDialog(const MainDialogResources& resources, HWND parent = nullptr);

protected:
    BOOL OnInitDialog() override;
    // A derived dialog handles its own messages first and passes the rest here.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static const MessageEntry<MainDialog> kMessageTable[];

    LRESULT OnSysCommand(WPARAM command, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);

    UINT aboutTemplate_;
    UINT aboutItemText_;
    HICON icon_;
};

}  // namespace framework
