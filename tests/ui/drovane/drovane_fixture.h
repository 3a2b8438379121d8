#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "ui/driver/child_process.h"

namespace drovane {

// Drovane's dialog, as its users and the cutter see it.
inline const std::wstring kCaption = L"Drovanex  ( Baudrate : 38400 )";
constexpr int kPortLabel = 1000;
constexpr int kPortCombo = 1001;
constexpr int kOffsetCheck = 1002;
constexpr int kOffsetEdit = 1003;
constexpr int kCloseCheck = 1004;
constexpr int kCloseEdit = 1005;
constexpr int kStart = 1006;
constexpr int kSavePlt = 1007;
constexpr int kProgress = 1008;
constexpr int kStatusEdit = 1009;
constexpr int kStatusLabel = 1010;

inline const std::wstring kHarvel = L"C:\\Harvel";
inline const std::wstring kPlotFile = L"C:\\Harvel\\Quelmar.plt";
inline const std::wstring kStreamFile = L"C:\\Harvel\\Quelmar.th0";

// The five stored settings; a missing value is nullopt.
struct Settings {
    std::optional<DWORD> comIndex;
    std::optional<DWORD> isClose;
    std::optional<DWORD> isOffset;
    std::optional<DWORD> closeVal;
    std::optional<DWORD> offsetVal;
    bool operator==(const Settings&) const = default;
};
void PrintTo(const Settings& settings, std::ostream* out);

void StoreSettings(const Settings& settings);
Settings StoredSettings();

// The system's serial port list: one SERIALCOMM value per entry, with this data
// ("COM5"), enumerated in this order.
void ListSerialPorts(const std::vector<std::wstring>& data);

// One run of C:\Harvel\Drovane.exe, started from C:\Harvel.
class DrovaneRun {
public:
    DrovaneRun();  // returns once the dialog is up

    HWND dialog() const { return dialog_; }
    ui::ChildProcess& process() { return process_; }

    // The close box; true when the program has ended within timeoutMs.
    bool Close(DWORD timeoutMs = 10000);
    bool WaitForExit(DWORD timeoutMs) { return process_.WaitForExit(timeoutMs); }

    // The message box that shows `text`; throws when none appears.
    HWND WaitForMessage(const std::wstring& text, DWORD timeoutMs = 10000);
    // Presses the message box's OK button and waits until it is gone.
    void Acknowledge(HWND messageBox);

private:
    ui::ChildProcess process_;
    HWND dialog_;
};

// Every test starts from a fresh C:\Harvel holding only Drovane.exe, no stored
// settings, no serial ports and no Linux-side fixtures.
class DrovaneTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace drovane
