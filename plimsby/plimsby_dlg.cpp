// The wait window: every 200 ms it steps the bar and looks at the plot file's size; once the
// file is complete it closes and starts Drovane, once per run.
#include "plimsby_dlg.h"

#include <shellapi.h>

#include "engine/exchange_paths.h"
#include "plot_file_size_rule.h"
#include "plot_file_status.h"
#include "resource.h"

namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollPeriodMs = 200;
constexpr WORD kBarTop = 50;

}  // namespace

using framework::OnMessage;

const framework::MessageEntry<CPlimsbyDlg> CPlimsbyDlg::kMessageTable[] = {
    OnMessage(WM_TIMER, &CPlimsbyDlg::OnTimer),
};

CPlimsbyDlg::CPlimsbyDlg(HWND parent)
    : MainDialog({IDD_PLIMSBY_DIALOG, IDR_MAINFRAME, IDD_ABOUTBOX, IDS_ABOUTBOX}, parent) {}

bool CPlimsbyDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return framework::DispatchMessageTable(this, kMessageTable, message, wParam, lParam, result) ||
           MainDialog::HandleMessage(message, wParam, lParam, result);
}

void CPlimsbyDlg::DoDataExchange(framework::DataExchange& exchange) {
    MainDialog::DoDataExchange(exchange);
    exchange.Control(IDC_PROGRESS, m_progress);
}

BOOL CPlimsbyDlg::OnInitDialog() {
    MainDialog::OnInitDialog();
    m_progress.SetRange(kBarTop);
    m_progress.SetStep(1);
    m_progress.SetPos(0);
    m_nLastSize = 0;
    SetTimer(kPollTimer, kPollPeriodMs);
    return TRUE;
}

// Each tick moves the bar (it starts over past its top by itself) and looks at
// the plot file's size by name only: the exporter may still be writing it.
LRESULT CPlimsbyDlg::OnTimer(WPARAM, LPARAM) {
    m_progress.StepIt();
    if (LookAtPlotFileSize(QueryPlotFileSize(harvel::kPlotFile), m_nLastSize) ==
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
    MainDialog::OnCancel();
    // By its full path: a bare name would leave the shell to search the folder,
    // where any user may put a "Drovane.exe .bat" that it might take first.
    // Nothing is reported when Drovane cannot be started; the watcher ends anyway.
    ShellExecuteW(nullptr, nullptr, harvel::kSenderProgram, nullptr, harvel::kWorkingFolder,
                  SW_SHOW);
}
