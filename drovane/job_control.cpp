// The one job of a run: Start (to the port), Save .PLT (to a file), the job's
// end, and the clean-up when the dialog ends.
//
// m_eJobState      event                        what happens                          next
// Idle             Start                        open the chosen port and start the    Running
//                                               job; if the port fails, say so        Idle
//                  Save .PLT                    ask for a file and start the job      Running
//                                               into it; no file: end the dialog      Ending
//                  Enter, Esc, close box        end the dialog                        -
// Starting         (the port or the file name is being asked for: Start and Save
//                  .PLT wait; Enter, Esc and the close box end the dialog)
// Running          Start (now Cancel), Enter,   ask the worker to stop                Running
//                  Esc, close box
//                  WM_CUTJOB_DONE               tell a failure, end the dialog,       Ending
//                                               clean up
//                  window destroyed             stop the worker, tell a failure       Ending
//                                               without an owner, clean up
// Ending           Start, Save .PLT             nothing: one run is one job           Ending
//                  Enter, Esc, close box        end the dialog (when a refused length
//                                               kept it open)
#include <windows.h>
// windows.h first: commdlg.h needs its types.
#include <commdlg.h>

#include <memory>
#include <string>

#include "drovane_dlg.h"
#include "engine/exchange_paths.h"
#include "engine/length_units.h"
#include "framework/file_dialog.h"
#include "job_failure_message.h"
#include "message_box.h"
#include "save_path.h"
#include "serial_port.h"

namespace {

constexpr wchar_t kPlotFilter[] = L"PLT Files(*.plt)|*.plt|";

}  // namespace

void CDrovaneDlg::OnStart() {
    // While a job runs this button is Cancel.
    if (AskRunningJobToStop()) return;
    if (m_eJobState != JobState::Idle) return;
    m_eJobState = JobState::Starting;
    m_btnSave.Enable(false);

    UpdateData(true);
    const int selection = m_comboPort.GetCurSel();
    UpdateData(false);
    // No entry selected (or the list is empty): nothing to open.
    if (selection >= 0 && static_cast<size_t>(selection) < m_portNumbers.size())
        m_hComm = OpenCutterPort(m_portNumbers[static_cast<size_t>(selection)]);
    if (!m_hComm.valid()) {
        framework::ShowMessage(L"open port fail!");
        // Stay idle so that another port can be picked.
        ReturnToIdle();
        return;
    }
    StartJob(std::nullopt);
}

void CDrovaneDlg::OnSavePlt() {
    // The button is disabled while a job runs; a click sent to it anyway is ignored.
    if (m_eJobState != JobState::Idle) return;
    m_eJobState = JobState::Starting;
    const auto chosen =
        framework::AskSaveFileName(kPlotFilter, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
    if (!chosen) {
        // No file, no job: the program ends.
        m_eJobState = JobState::Ending;
        EndAsOk();
        CleanUp();
        return;
    }
    StartJob(WithPlotExtension(*chosen));
}

void CDrovaneDlg::StartJob(const std::optional<std::wstring>& outputFile) {
    m_bCancel = 0;
    m_btnSave.Enable(false);
    SetStartCaption(true);

    UpdateData(true);
    auto job = std::make_unique<CutJob>();
    job->nOffsetUnits = m_bIsOffset ? MillimetresToPlotterUnits(m_fOffsetVal) : 0;
    job->nOvercutUnits = m_bIsClose ? MillimetresToPlotterUnits(m_fCloseVal) : 0;
    job->pDlg = this;
    job->hPort = m_hComm.get();
    job->bToPort = outputFile ? 0 : 1;
    if (outputFile) job->strPath = *outputFile;
    UpdateData(false);

    // From here on the worker owns the record.
    if (!m_worker.Start(CutJobThread, job.get())) {
        ReturnToIdle();
        return;
    }
    job.release();
    m_eJobState = JobState::Running;
}

void CDrovaneDlg::ReturnToIdle() {
    m_eJobState = JobState::Idle;
    m_hComm.Reset(nullptr);
    m_btnSave.Enable(true);
    SetStartCaption(false);
}

LRESULT CDrovaneDlg::OnJobDone(WPARAM wParam, LPARAM) {
    if (m_eJobState != JobState::Running) return 0;
    m_worker.WaitServingSentMessages();
    m_eJobState = JobState::Ending;
    if (const wchar_t* message = NoteFailure(static_cast<JobResult>(wParam)))
        framework::ShowMessage(message);
    EndAsOk();
    CleanUp();
    return 0;
}

// Enter, Esc and the close box end the dialog, except while a job runs: then
// they ask the job to stop, and the dialog ends with the job.
void CDrovaneDlg::OnOK() {
    if (!AskRunningJobToStop()) MainDialog::OnOK();
}

void CDrovaneDlg::OnCancel() {
    if (!AskRunningJobToStop()) MainDialog::OnCancel();
}

bool CDrovaneDlg::AskRunningJobToStop() {
    if (m_eJobState != JobState::Running) return false;
    m_bCancel = 1;
    return true;
}

void CDrovaneDlg::EndAsOk() {
    MainDialog::OnOK();
}

LRESULT CDrovaneDlg::OnDestroy(WPARAM, LPARAM) {
    CleanUp();
    return Default();
}

void CDrovaneDlg::StopWorker() {
    if (!AskRunningJobToStop()) return;
    m_worker.WaitServingSentMessages();
    m_eJobState = JobState::Ending;
    // The worker's end is in the queue, but OnJobDone will not see it now.
    MSG done;
    if (!PeekMessageW(&done, hwnd(), WM_CUTJOB_DONE, WM_CUTJOB_DONE, PM_REMOVE)) return;
    // The window is on its way out: the box stands on its own.
    if (const wchar_t* message = NoteFailure(static_cast<JobResult>(done.wParam)))
        framework::ShowMessageWithoutOwner(message);
}

// A failed job keeps the exported plot file for another try; the message is
// shown by the one caller that took the job's end out of the queue.
const wchar_t* CDrovaneDlg::NoteFailure(JobResult result) {
    const wchar_t* message = JobFailureMessage(result);
    if (message != nullptr) m_bKeepPlotFile = true;
    return message;
}

// Runs at the job's end and again when the window goes away; the second run
// finds nothing left to delete or close. A file that cannot be deleted (held
// open elsewhere) stays, and the clean-up goes on.
void CDrovaneDlg::CleanUp() {
    // Files, port and controls stay until a job that is still running has ended.
    StopWorker();
    if (!m_bKeepPlotFile) DeleteFileW(harvel::kPlotFile);
    DeleteFileW(harvel::kStreamFile);
    // Left behind when an earlier run was killed while writing the stream.
    DeleteFileW((std::wstring(harvel::kStreamFile) + harvel::kPartialSuffix).c_str());
    m_hComm.Reset(nullptr);
    SetStartCaption(false);
    SaveSettings();
}
