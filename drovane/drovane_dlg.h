#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "controls.h"
#include "cut_job.h"
#include "dialog.h"
#include "owned_handle.h"
#include "worker_thread.h"

// Posted by the worker when the job has ended; wParam is the JobResult.
constexpr UINT WM_CUTJOB_DONE = WM_USER + 258;

constexpr uint8_t kMaxPorts = 11;

// Drovane's main dialog: port, compensation settings, and the one job of a run.
// The worker reaches it only through JobLink.
class CDrovaneDlg : public framework::Dialog, public JobLink {
public:
    explicit CDrovaneDlg(HWND parent = nullptr);
    ~CDrovaneDlg() override;

    // JobLink, called on the worker thread.
    bool IsCancelRequested() override;
    void ProgressSetRange(uint16_t upper) override;
    void ProgressSetStep(int32_t step) override;
    void ProgressStepIt() override;
    void ProgressSetPos(int32_t pos) override;
    void SetStatusText(const char* text) override;
    void PostDone(JobResult result) override;

protected:
    void DoDataExchange(framework::DataExchange& exchange) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static const framework::MessageEntry<CDrovaneDlg> kMessageTable[];

    LRESULT OnSysCommand(WPARAM command, LPARAM);
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    void OnPortSelChange();
    void OnOffsetCheck();
    void OnCloseCheck();
    LRESULT OnDestroy(WPARAM, LPARAM);
    void OnStart();
    void OnSavePlt();
    LRESULT OnJobDone(WPARAM result, LPARAM);

    void LoadSettings();
    void SaveSettings();
    void EnumSerialPorts();
    void OpenSerialPort();
    void CleanUp();

    void SetStartCaption(bool running) const;
    void FillJob(CutJob& job);
    void StartJob(std::unique_ptr<CutJob> job);
    void ReturnToIdle();
    void EndAsOk();
    // Asks a running job to stop and waits for its end.
    void StopWorker();

    // Port discovery and opening.
    int32_t m_bPortOpen = 0;
    uint8_t m_nPortCount = 0;
    uint8_t m_PortNumbers[kMaxPorts] = {};
    framework::OwnedHandle m_hComm;

    uint8_t m_nComIndex = 0;
    // Written here, read by the worker while a job runs.
    std::atomic<int32_t> m_bCancel{0};
    int32_t m_bRunning = 0;
    uint16_t m_wLangId = 0;
    HICON m_hIcon = nullptr;

    int32_t m_bIsOffset = 0;
    int32_t m_bIsClose = 0;
    float m_fOffsetVal = 0.0f;
    float m_fCloseVal = 0.0f;

    framework::Button m_btnStart;
    framework::Button m_btnSave;
    framework::ProgressBar m_progress;
    framework::ComboBox m_comboPort;
    framework::Edit m_editStatus;

    // The job between its start and its WM_CUTJOB_DONE.
    framework::WorkerThread m_worker;
    bool m_bJobActive = false;
    // A failed job keeps the exported plot file for another try.
    bool m_bKeepPlotFile = false;
};
