#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/controls.h"
#include "main_dialog.h"

// The wait window: a cycling bar while the exporter writes the plot file; once
// the file is complete it closes and starts Drovane.
class CPlimsbyDlg : public framework::MainDialog {
public:
    explicit CPlimsbyDlg(HWND parent = nullptr);

protected:
    void DoDataExchange(framework::DataExchange& exchange) override;
    BOOL OnInitDialog() override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static const framework::MessageEntry<CPlimsbyDlg> kMessageTable[];

    LRESULT OnTimer(WPARAM, LPARAM);

    void HandOff();

    int32_t m_nLastSize = 0;
    framework::ProgressBar m_progress;
    // Drovane is started at most once per run, whatever ticks still arrive.
    bool m_bHandedOff = false;
};
