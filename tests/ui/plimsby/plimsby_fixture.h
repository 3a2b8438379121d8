#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/driver/child_process.h"

namespace plimsby {

inline const std::wstring kCaption = L"Plimsby    Please Waiting...";
constexpr int kProgress = 1000;
constexpr DWORD kTickMs = 200;

inline const std::wstring kHarvel = L"C:\\Harvel";
inline const std::wstring kPlotFile = L"C:\\Harvel\\Quelmar.plt";

// One run of C:\Harvel\Plimsby.exe, started (as the exporting program may)
// from another working folder than C:\Harvel.
class PlimsbyRun {
public:
    PlimsbyRun();  // returns once the wait window is up

    HWND window() const { return window_; }
    ui::ChildProcess& process() { return process_; }

    // Waits for the next timer tick, seen as the bar stepping on; its new
    // position, or nullopt once the window has gone (after a hand-off).
    std::optional<int> NextTick();

    // The close box; true when the program has ended within timeoutMs.
    bool Close(DWORD timeoutMs = 5000);

private:
    ui::ChildProcess process_;
    HWND window_;
    int lastPosition_ = 0;
};

// Every test starts from a fresh C:\Harvel holding Plimsby.exe and, as
// Drovane.exe, a stand-in that only records how it was started.
class PlimsbyTest : public ::testing::Test {
protected:
    void SetUp() override;
    // A Drovane that a hand-off started is nobody's child: close it here.
    void TearDown() override;

    // One line per start of the stand-in: "program=<its command line's first
    // word> module=<file it runs from> folder=<working folder> arguments=<count>".
    std::vector<std::string> DrovaneStarts() const;
    // Waits up to timeoutMs for the stand-in's first start.
    std::vector<std::string> WaitForDrovaneStart(DWORD timeoutMs = 5000) const;
};

}  // namespace plimsby
