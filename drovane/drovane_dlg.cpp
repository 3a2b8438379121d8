// The sender dialog's setup: captions in the system's language, the port list, the stored
// compensation settings, and the JobLink calls through which the worker reaches it.
#include "drovane_dlg.h"

#include <string>

#include "app.h"
#include "captions.h"
#include "engine/cutter_line.h"
#include "engine/length_units.h"
#include "resource.h"
#include "serial_port.h"

namespace {

constexpr wchar_t kSection[] = L"config";

const framework::Settings& AppSettings() {
    return framework::App::Current()->settings();
}

}  // namespace

using framework::OnMessage;
using framework::OnNotify;

const framework::MessageEntry<CDrovaneDlg> CDrovaneDlg::kMessageTable[] = {
    OnNotify(IDC_PORT_COMBO, CBN_SELCHANGE, &CDrovaneDlg::OnPortSelChange),
    OnNotify(IDC_OFFSET_CHECK, BN_CLICKED, &CDrovaneDlg::OnOffsetCheck),
    OnNotify(IDC_CLOSE_CHECK, BN_CLICKED, &CDrovaneDlg::OnCloseCheck),
    OnMessage(WM_DESTROY, &CDrovaneDlg::OnDestroy),
    OnNotify(IDC_START, BN_CLICKED, &CDrovaneDlg::OnStart),
    OnNotify(IDC_SAVE_PLT, BN_CLICKED, &CDrovaneDlg::OnSavePlt),
    OnMessage(WM_CUTJOB_DONE, &CDrovaneDlg::OnJobDone),
};

CDrovaneDlg::CDrovaneDlg(HWND parent)
    : MainDialog({IDD_DROVANE_DIALOG, IDR_MAINFRAME, IDD_ABOUTBOX, IDS_ABOUTBOX}, parent) {}

CDrovaneDlg::~CDrovaneDlg() {
    // The worker may still be on its way out after posting its end.
    m_worker.WaitServingSentMessages();
}

bool CDrovaneDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return framework::DispatchMessageTable(this, kMessageTable, message, wParam, lParam, result) ||
           MainDialog::HandleMessage(message, wParam, lParam, result);
}

void CDrovaneDlg::DoDataExchange(framework::DataExchange& exchange) {
    exchange.Check(IDC_OFFSET_CHECK, m_bIsOffset);
    exchange.Check(IDC_CLOSE_CHECK, m_bIsClose);
    exchange.Text(IDC_OFFSET_EDIT, m_fOffsetVal);
    exchange.Text(IDC_CLOSE_EDIT, m_fCloseVal);
    exchange.Control(IDC_START, m_btnStart);
    exchange.Control(IDC_SAVE_PLT, m_btnSave);
    exchange.Control(IDC_PROGRESS, m_progress);
    exchange.Control(IDC_PORT_COMBO, m_comboPort);
    exchange.Control(IDC_STATUS_EDIT, m_editStatus);
}

BOOL CDrovaneDlg::OnInitDialog() {
    MainDialog::OnInitDialog();

    m_wLangId = GetSystemDefaultLangID();
    const Captions& captions = CaptionsFor(m_wLangId);
    SetItemText(IDC_START, captions.start);
    SetItemText(IDC_SAVE_PLT, captions.savePlt);
    SetItemText(IDC_PORT_LABEL, captions.port);
    SetItemText(IDC_OFFSET_CHECK, captions.knifeOffset);
    SetItemText(IDC_CLOSE_CHECK, captions.overcut);
    SetItemText(IDC_STATUS_LABEL, captions.status);

    m_portNumbers = ListSerialPorts();
    for (const uint8_t port : m_portNumbers) m_comboPort.AddString(L"COM" + std::to_wstring(port));
    if (m_portNumbers.empty()) m_btnStart.Enable(false);

    LoadSettings();
    m_comboPort.SetCurSel(m_nComIndex < m_portNumbers.size() ? m_nComIndex : 0);
    m_btnSave.Enable(true);
    m_hComm.Reset(nullptr);

    UpdateData(true);
    EnableItem(IDC_OFFSET_EDIT, m_bIsOffset != 0);
    EnableItem(IDC_CLOSE_EDIT, m_bIsClose != 0);
    UpdateData(false);

    m_bCancel = 0;
    m_eJobState = JobState::Idle;
    m_editStatus.SetText(L"0");
    return TRUE;
}

void CDrovaneDlg::LoadSettings() {
    UpdateData(true);
    const framework::Settings& settings = AppSettings();
    m_nComIndex = static_cast<uint8_t>(settings.ReadInt(kSection, L"COM_i", 0));
    m_bIsClose = settings.ReadInt(kSection, L"IsClose", 1);
    m_bIsOffset = settings.ReadInt(kSection, L"IsOffset", 1);
    m_fCloseVal = HundredthsToMillimetres(settings.ReadInt(kSection, L"CloseVal", 25));
    m_fOffsetVal = HundredthsToMillimetres(settings.ReadInt(kSection, L"OffsetVal", 25));
    UpdateData(false);
}

void CDrovaneDlg::SaveSettings() {
    UpdateData(true);
    const framework::Settings& settings = AppSettings();
    settings.WriteInt(kSection, L"COM_i", m_nComIndex);
    settings.WriteInt(kSection, L"IsClose", m_bIsClose);
    settings.WriteInt(kSection, L"IsOffset", m_bIsOffset);
    settings.WriteInt(kSection, L"CloseVal", MillimetresToHundredths(m_fCloseVal));
    settings.WriteInt(kSection, L"OffsetVal", MillimetresToHundredths(m_fOffsetVal));
    UpdateData(false);
}

void CDrovaneDlg::OnPortSelChange() {
    UpdateData(true);
    m_nComIndex = static_cast<uint8_t>(m_comboPort.GetCurSel());
    UpdateData(false);
    SaveSettings();
}

void CDrovaneDlg::OnOffsetCheck() {
    UpdateData(true);
    EnableItem(IDC_OFFSET_EDIT, m_bIsOffset != 0);
    UpdateData(false);
}

void CDrovaneDlg::OnCloseCheck() {
    UpdateData(true);
    EnableItem(IDC_CLOSE_EDIT, m_bIsClose != 0);
    UpdateData(false);
}

void CDrovaneDlg::SetStartCaption(bool running) const {
    const Captions& captions = CaptionsFor(m_wLangId);
    m_btnStart.SetText(running ? captions.cancel : captions.start);
}

// JobLink: the worker's only way to the dialog. Its reports become the
// progress bar's steps and the byte counter, which are sent, so they wait for
// this dialog's thread; the end is posted.

bool CDrovaneDlg::IsCancelRequested() {
    return m_bCancel.load() != 0;
}

void CDrovaneDlg::StageStarted(JobStage stage, uint32_t length) {
    // Each stage counts blocks of 1024 bytes; pass 2 steps on from where pass 1
    // left the bar, the streaming starts it again from 0.
    if (stage == JobStage::Streaming) m_progress.SetPos(0);
    m_progress.SetRange(static_cast<uint16_t>((length >> 10) + 1));
    m_progress.SetStep(1);
}

void CDrovaneDlg::StageAdvanced(uint32_t) {
    m_progress.StepIt();
}

void CDrovaneDlg::ChunkSent(uint32_t chunks, uint32_t) {
    // The counter runs ahead of the bytes, a fixed step per chunk whatever its
    // size, and wraps as a 32-bit number.
    const auto counter =
        static_cast<int32_t>(chunks * static_cast<uint32_t>(harvel::kCounterStepPerChunk));
    m_editStatus.SetText(std::to_wstring(counter));
}

void CDrovaneDlg::JobEnded(const JobOutcome& outcome) {
    PostMessageW(hwnd(), WM_CUTJOB_DONE, static_cast<WPARAM>(outcome.result), 0);
}
