// Every Plimsby UI test starts from C:\Harvel with Plimsby and a stand-in Drovane that records
// its starts; a run's timer ticks are followed through its progress bar.
#include "plimsby_fixture.h"

#include <sstream>
#include <stdexcept>

#include "ui/driver/controls.h"
#include "ui/driver/files.h"
#include "ui/driver/send_message.h"
#include "ui/driver/top_windows.h"

namespace plimsby {

namespace {

const std::wstring kStartRecord = kHarvel + L"\\started.txt";

}  // namespace

PlimsbyRun::PlimsbyRun()
    : process_(kHarvel + L"\\Plimsby.exe", L"C:\\windows"),
      window_(ui::WaitForWindow(kCaption, process_.pid())) {
    lastPosition_ = ui::ProgressPosition(window_, kProgress);
}

std::optional<int> PlimsbyRun::NextTick() {
    const ULONGLONG end = GetTickCount64() + 10 * kTickMs;
    while (GetTickCount64() < end) {
        int position = 0;
        try {
            position = ui::ProgressPosition(window_, kProgress);
        } catch (const std::runtime_error&) {
            // No answer from a window on its way out.
            if (ui::WaitUntilGone(window_, 1000)) return std::nullopt;
            throw;
        }
        if (position != lastPosition_) {
            lastPosition_ = position;
            return position;
        }
        if (!IsWindow(window_)) return std::nullopt;
        Sleep(5);
    }
    throw std::runtime_error("the wait window's bar has stopped moving");
}

bool PlimsbyRun::Close(DWORD timeoutMs) {
    if (process_.running()) ui::Post(window_, WM_SYSCOMMAND, SC_CLOSE);
    return process_.WaitForExit(timeoutMs);
}

void PlimsbyTest::SetUp() {
    const std::wstring bin = ui::WindowsPathOf(ui::RequiredEnv("HARVEL_UI_BIN"));
    ui::ResetFolder(kHarvel);
    ui::CopyFileTo(bin + L"\\Plimsby.exe", kHarvel + L"\\Plimsby.exe");
    ui::CopyFileTo(bin + L"\\stand_in_drovane.exe", kHarvel + L"\\Drovane.exe");
}

void PlimsbyTest::TearDown() {
    for (int i = 0; i < 5; ++i) {
        HWND drovane = FindWindowW(nullptr, L"Drovanex  ( Baudrate : 38400 )");
        if (drovane == nullptr) break;
        ui::CloseProgramOf(drovane);
    }
}

std::vector<std::string> PlimsbyTest::DrovaneStarts() const {
    std::vector<std::string> lines;
    std::istringstream record(ui::ReadBytes(kStartRecord).value_or(""));
    for (std::string line; std::getline(record, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> PlimsbyTest::WaitForDrovaneStart(DWORD timeoutMs) const {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (DrovaneStarts().empty() && GetTickCount64() < end) Sleep(10);
    return DrovaneStarts();
}

}  // namespace plimsby
