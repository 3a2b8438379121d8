#include "plimsby_dlg.h"

#include <shellapi.h>

#include "about_dlg.h"
#include "app.h"
#include "exchange_paths.h"
#include "plot_file_size_rule.h"
#include "plot_file_status.h"
#include "resource.h"

namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollPeriodMs = 200;
constexpr WORD kBarTop = 50;
constexpr int kWindowLeft = 300;
constexpr int kWindowTop = 300;

// Passed to the shell as it stands, trailing blank included; the shell finds
// the program in the working folder.
constexpr wchar_t kSenderCommand[] = L"Drovane.exe ";

}  // namespace

using framework::OnMessage;

const framework::MessageEntry<CPlimsbyDlg> CPlimsbyDlg::kMessageTable[] = {
    OnMessage(WM_SYSCOMMAND, &CPlimsbyDlg::OnSysCommand),
    OnMessage(WM_PAINT, &CPlimsbyDlg::OnPaint),
    OnMessage(WM_QUERYDRAGICON, &CPlimsbyDlg::OnQueryDragIcon),
    OnMessage(WM_TIMER, &CPlimsbyDlg::OnTimer),
};

CPlimsbyDlg::CPlimsbyDlg(HWND parent) : Dialog(IDD_PLIMSBY_DIALOG, parent) {
    m_hIcon = framework::App::Current()->LoadIcon(IDR_MAINFRAME);
}

bool CPlimsbyDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return framework::DispatchMessageTable(this, kMessageTable, message, wParam, lParam, result);
}

void CPlimsbyDlg::DoDataExchange(framework::DataExchange& exchange) {
    Dialog::DoDataExchange(exchange);
    exchange.Control(IDC_PROGRESS, m_progress);
}

BOOL CPlimsbyDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    AppendSystemMenuItem(IDM_ABOUTBOX, IDS_ABOUTBOX);
    SetIcons(m_hIcon);
    // The template's own position does not count: the window always opens here.
    RestoreAndMoveTo(kWindowLeft, kWindowTop);

    m_progress.SetRange(kBarTop);
    m_progress.SetStep(1);
    m_progress.SetPos(0);
    m_lastSize = 0;
    SetTimer(kPollTimer, kPollPeriodMs);
    return TRUE;
}

// Each tick moves the bar (it starts over past its top by itself) and looks at
// the plot file's size by name only: the exporter may still be writing it.
LRESULT CPlimsbyDlg::OnTimer(WPARAM, LPARAM) {
    m_progress.StepIt();
    if (LookAtPlotFileSize(QueryPlotFileSize(harvel::kPlotFile), m_lastSize) ==
        PlotFileLook::Complete) {
        HandOff();
    }
    return 0;
}

// The timer goes first so that no later tick sees the file again; the modal
// run ends as soon as this tick has returned.
void CPlimsbyDlg::HandOff() {
    if (m_bHandedOff) return;
    m_bHandedOff = true;
    KillTimer(kPollTimer);
    Dialog::OnCancel();
    // Nothing is reported when Drovane cannot be started; the watcher ends anyway.
    ShellExecuteW(nullptr, nullptr, kSenderCommand, nullptr, harvel::kWorkingFolder, SW_SHOW);
}

LRESULT CPlimsbyDlg::OnSysCommand(WPARAM command, LPARAM) {
    if ((command & 0xFFF0) != IDM_ABOUTBOX) return Default();
    // The About box's own message loop still delivers this window's ticks.
    CAboutDlg about(hwnd());
    about.DoModal();
    return 0;
}

LRESULT CPlimsbyDlg::OnPaint(WPARAM, LPARAM) {
    if (!IsIconic(hwnd())) return Default();
    PaintIconCentred(m_hIcon);
    return 0;
}

LRESULT CPlimsbyDlg::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(m_hIcon);
}
