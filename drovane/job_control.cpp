// The one job of a run: Start (to the port), Save .PLT (to a file), the job's
// end, and the clean-up when the dialog ends.
#include <windows.h>
// windows.h first: commdlg.h needs its types.
#include <commdlg.h>

#include <memory>

#include "drovane_dlg.h"
#include "exchange_paths.h"
#include "file_dialog.h"
#include "job_failure_message.h"
#include "length_units.h"
#include "message_box.h"
#include "save_path.h"
#include "serial_port.h"

namespace {

constexpr wchar_t kPlotFilter[] = L"PLT Files(*.plt)|*.plt|";

}  // namespace

void CDrovaneDlg::OnStart() {
    // While a job runs this button is Cancel.
    if (m_bRunning) {
        m_bCancel = 1;
        return;
    }
    m_bCancel = 0;
    m_bRunning = 1;
    m_btnSave.Enable(false);
    OpenSerialPort();
    if (!m_bPortOpen) {
        // The user was told; stay idle so another port can be picked.
        ReturnToIdle();
        return;
    }
    SetStartCaption(true);

    UpdateData(true);
    auto job = std::make_unique<CutJob>();
    FillJob(*job);
    job->hPort = m_hComm.get();
    job->bToPort = 1;
    UpdateData(false);
    StartJob(std::move(job));
}

void CDrovaneDlg::OnSavePlt() {
    // The button is disabled while a job runs; a click sent to it anyway is ignored.
    if (m_bRunning) return;
    const auto chosen =
        framework::AskSaveFileName(kPlotFilter, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    if (!chosen) {
        // No file, no job: the program ends.
        EndAsOk();
        CleanUp();
        return;
    }
    const std::wstring path = WithPlotExtension(*chosen);

    m_bCancel = 0;
    m_bRunning = 1;
    m_btnSave.Enable(false);
    SetStartCaption(true);

    UpdateData(true);
    auto job = std::make_unique<CutJob>();
    FillJob(*job);
    job->hPort = m_hComm.get();
    job->strPath = path;
    job->bToPort = 0;
    UpdateData(false);
    StartJob(std::move(job));
}

void CDrovaneDlg::FillJob(CutJob& job) {
    job.nOffsetUnits = m_bIsOffset ? MillimetresToPlotterUnits(m_fOffsetVal) : 0;
    job.nOvercutUnits = m_bIsClose ? MillimetresToPlotterUnits(m_fCloseVal) : 0;
    job.pDlg = this;
}

void CDrovaneDlg::StartJob(std::unique_ptr<CutJob> job) {
    // From here on the worker owns the record.
    if (!m_worker.Start(CutJobThread, job.get())) {
        ReturnToIdle();
        return;
    }
    job.release();
    m_bJobActive = true;
}

void CDrovaneDlg::ReturnToIdle() {
    m_bRunning = 0;
    m_btnSave.Enable(true);
    SetStartCaption(false);
}

LRESULT CDrovaneDlg::OnJobDone(WPARAM wParam, LPARAM) {
    m_bJobActive = false;
    m_worker.WaitServingSentMessages();
    auto result = static_cast<JobResult>(wParam);
    // The last chunk may still be in the driver: let it reach the cutter
    // before the port is closed.
    if (result == JobResult::Completed && m_bPortOpen && !WaitForPortDrain(m_hComm.get()))
        result = JobResult::PortTimedOut;
    if (const wchar_t* message = JobFailureMessage(result)) {
        m_bKeepPlotFile = true;
        framework::ShowMessage(message);
    }
    EndAsOk();
    CleanUp();
    return 0;
}

// Enter, Esc and the close box end the dialog, except while a job runs: then
// they ask the job to stop, and the dialog ends with the job.
void CDrovaneDlg::OnOK() {
    if (m_bJobActive) {
        m_bCancel = 1;
        return;
    }
    Dialog::OnOK();
}

void CDrovaneDlg::OnCancel() {
    if (m_bJobActive) {
        m_bCancel = 1;
        return;
    }
    Dialog::OnCancel();
}

void CDrovaneDlg::EndAsOk() {
    Dialog::OnOK();
}

LRESULT CDrovaneDlg::OnDestroy(WPARAM, LPARAM) {
    CleanUp();
    return Default();
}

void CDrovaneDlg::StopWorker() {
    if (!m_bJobActive) return;
    m_bCancel = 1;
    m_worker.WaitServingSentMessages();
    m_bJobActive = false;
    MSG done;
    if (PeekMessageW(&done, hwnd(), WM_CUTJOB_DONE, WM_CUTJOB_DONE, PM_REMOVE) &&
        JobFailureMessage(static_cast<JobResult>(done.wParam)) != nullptr)
        m_bKeepPlotFile = true;
}

// Runs at the job's end and again when the window goes away; the second run
// finds nothing left to delete or close. A file that cannot be deleted (held
// open elsewhere) stays, and the clean-up goes on.
void CDrovaneDlg::CleanUp() {
    // Files, port and controls stay until a job that is still running has ended.
    StopWorker();
    if (!m_bKeepPlotFile) DeleteFileW(harvel::kPlotFile);
    DeleteFileW(harvel::kStreamFile);
    m_bPortOpen = 0;
    m_hComm.Reset(nullptr);
    SetStartCaption(false);
    SaveSettings();
}
