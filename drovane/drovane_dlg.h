#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/cut_job.h"
#include "framework/controls.h"
#include "main_dialog.h"
#include "owned_handle.h"
#include "worker_thread.h"

// Posted by the worker when the job has ended; wParam is the JobResult.
constexpr UINT WM_CUTJOB_DONE = WM_USER + 258;

// Where the dialog's one job stands; the table of what moves between these is
// in job_control.cpp.
enum class JobState : uint8_t {
    Idle,      // no job yet: Start and Save .PLT may begin one
    Starting,  // Start opens the port, or Save .PLT asks for the file
    Running,   // the worker runs the job until WM_CUTJOB_DONE
    Ending,    // the job is over, or none will come: the dialog is closing
};

// Drovane's main dialog: port, compensation settings, and the one job of a run.
// The worker reaches it only through JobLink.
class CDrovaneDlg : public framework::MainDialog, public JobLink {
public:
    explicit CDrovaneDlg(HWND parent = nullptr);
    ~CDrovaneDlg() override;

    // JobLink, called on the worker thread.
    bool IsCancelRequested() override;
    void StageStarted(JobStage stage, uint32_t length) override;
    void StageAdvanced(uint32_t position) override;
    void ChunkSent(uint32_t chunks, uint32_t bytesSent) override;
    void JobEnded(const JobOutcome& outcome) override;

protected:
    void DoDataExchange(framework::DataExchange& exchange) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static const framework::MessageEntry<CDrovaneDlg> kMessageTable[];

    void OnPortSelChange();
    void OnOffsetCheck();
    void OnCloseCheck();
    LRESULT OnDestroy(WPARAM, LPARAM);
    void OnStart();
    void OnSavePlt();
    LRESULT OnJobDone(WPARAM result, LPARAM);

    void LoadSettings();
    void SaveSettings();
    void CleanUp();

    void SetStartCaption(bool running) const;
    // Start and Save .PLT both start their job here: into outputFile, or
    // without one to the open port.
    void StartJob(const std::optional<std::wstring>& outputFile);
    void ReturnToIdle();
    void EndAsOk();
    // While a job runs: asks it to stop (it ends later, by WM_CUTJOB_DONE)
    // and returns true. False when no job runs.
    bool AskRunningJobToStop();
    // Asks a running job to stop and waits for its end.
    void StopWorker();
    // The message for a failed job, or null; a failure keeps the plot file.
    const wchar_t* NoteFailure(JobResult result);

    // Port numbers in the system's order; the combo box lists them likewise.
    std::vector<uint8_t> m_portNumbers;
    // Open from Start until the clean-up.
    framework::OwnedHandle m_hComm;

    uint8_t m_nComIndex = 0;
    // Written here, read by the worker while a job runs.
    std::atomic<int32_t> m_bCancel{0};
    JobState m_eJobState = JobState::Idle;
    uint16_t m_wLangId = 0;

    int32_t m_bIsOffset = 0;
    int32_t m_bIsClose = 0;
    float m_fOffsetVal = 0.0f;
    float m_fCloseVal = 0.0f;

    framework::Button m_btnStart;
    framework::Button m_btnSave;
    framework::ProgressBar m_progress;
    framework::ComboBox m_comboPort;
    framework::Edit m_editStatus;

    framework::WorkerThread m_worker;
    bool m_bKeepPlotFile = false;
};
