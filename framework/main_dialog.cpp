// What both programs' main dialogs share: opening restored at (300, 300) with the program
// icon, that icon while minimised and dragged, and the About item on the system menu.
#include "main_dialog.h"

#include "app.h"

namespace framework {

namespace {

// The template's own position does not count: the window always opens here.
constexpr int kWindowLeft = 300;
constexpr int kWindowTop = 300;

}  // namespace

const MessageEntry<MainDialog> MainDialog::kMessageTable[] = {
    OnMessage(WM_SYSCOMMAND, &MainDialog::OnSysCommand),
    OnMessage(WM_PAINT, &MainDialog::OnPaint),
    OnMessage(WM_QUERYDRAGICON, &MainDialog::OnQueryDragIcon),
};

MainDialog::MainDialog(const MainDialogResources& resources, HWND parent)
    : Dialog(resources.dialogTemplate, parent),
      aboutTemplate_(resources.aboutTemplate),
      aboutItemText_(resources.aboutItemText),
      icon_(App::Current()->LoadIcon(resources.icon)) {}

bool MainDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return DispatchMessageTable(this, kMessageTable, message, wParam, lParam, result);
}

BOOL MainDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    AppendSystemMenuItem(kAboutCommand, aboutItemText_);
    SetIcons(icon_);
    RestoreAndMoveTo(kWindowLeft, kWindowTop);
    return TRUE;
}

LRESULT MainDialog::OnSysCommand(WPARAM command, LPARAM) {
    if ((command & 0xFFF0) != kAboutCommand) return Default();
    // The About box's template holds everything it shows (icon, name and
    // version, OK): it needs no code of its own. This window stays disabled
    // while the box is open, and the box's own message loop still delivers
    // this window's messages, its timers too.
    Dialog about(aboutTemplate_, hwnd());
    about.DoModal();
    return 0;
}

LRESULT MainDialog::OnPaint(WPARAM, LPARAM) {
    if (!IsIconic(hwnd())) return Default();
    PaintIconCentred(icon_);
    return 0;
}

LRESULT MainDialog::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(icon_);
}

}  // namespace framework
