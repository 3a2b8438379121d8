// Drovane jobs end to end: the drawing exported to C:\Harvel, a virtual cutter on the Linux
// side receiving it, cutconv saying what should arrive, and waits on the status counter.
#include "job_fixture.h"

#include <algorithm>
#include <stdexcept>

#include "ui/driver/controls.h"
#include "ui/driver/files.h"
#include "ui/driver/linux_side.h"

namespace drovane {

namespace {

std::string ArtifactsDir() {
    return ui::RequiredEnv("HARVEL_UI_ARTIFACTS");
}

}  // namespace

void DrovaneJobTest::ExportDrawing(const std::string& name, const std::string& plot) {
    ui::WriteBytes(kPlotFile, plot);
    ui::WriteBytes(ArtifactPath(name + ".plt"), plot);
}

std::string DrovaneJobTest::Converted(const std::string& name, const std::string& options) {
    const std::string base = ArtifactsDir() + "/" + name;
    ui::LinuxRequest("cutconv --plain " + options + " " + base + ".plt " + base + ".expected");
    return ui::ReadBytes(ArtifactPath(name + ".expected")).value();
}

std::string DrovaneJobTest::Received(const std::string& name) {
    return ui::ReadBytes(ArtifactPath(name + ".raw")).value_or("");
}

std::wstring DrovaneJobTest::ArtifactPath(const std::string& file) {
    return ui::WindowsPathOf(ArtifactsDir() + "/" + file);
}

void DrovaneJobTest::ExpectCleanEnd(DrovaneRun& run, const Settings& stored) {
    ASSERT_TRUE(run.WaitForExit(10000)) << "the dialog did not end with its job";
    EXPECT_EQ(run.process().exitCode(), 0u);
    EXPECT_FALSE(ui::FileExists(kPlotFile));
    EXPECT_FALSE(ui::FileExists(kStreamFile));
    EXPECT_EQ(StoredSettings(), stored);
}

int DrovaneJobTest::WaitForStalledCounter(HWND dialog, DWORD quietMs) {
    // The counter stays at 0 while the drawing is converted; it counts once
    // the stream is under way.
    const ULONGLONG end = GetTickCount64() + 30000;
    std::wstring last = ui::ControlText(dialog, kStatusEdit);
    ULONGLONG since = GetTickCount64();
    while (last == L"0" || GetTickCount64() - since < quietMs) {
        if (GetTickCount64() > end) throw std::runtime_error("the stream did not stall");
        Sleep(20);
        const std::wstring now = ui::ControlText(dialog, kStatusEdit);
        if (now != last) {
            last = now;
            since = GetTickCount64();
        }
    }
    return std::stoi(last);
}

int DrovaneJobTest::WaitForPacedCounter(HWND dialog) {
    // 1024 bytes take 267 ms at 3840 bytes per second.
    constexpr ULONGLONG kPacedChunkMs = 150;
    const ULONGLONG end = GetTickCount64() + 30000;
    std::wstring last = ui::ControlText(dialog, kStatusEdit);
    ULONGLONG since = GetTickCount64();
    for (;;) {
        if (GetTickCount64() > end) throw std::runtime_error("the stream never slowed down");
        Sleep(10);
        const std::wstring now = ui::ControlText(dialog, kStatusEdit);
        if (now == last) continue;
        const ULONGLONG at = GetTickCount64();
        const bool paced = last != L"0" && at - since >= kPacedChunkMs;
        last = now;
        since = at;
        if (paced) return std::stoi(now);
    }
}

void DrovaneJobTest::StartCutter(int port, const std::string& name, bool lineRate) {
    // It ends at the footer; the time-outs end a stream that never comes or
    // breaks off.
    ui::LinuxRequest("cutter-start " + std::to_string(port) + " " + name +
                     (lineRate ? " --baud 38400" : "") + " --quiet-ms 2000 --first-byte-ms 20000");
}

std::string DrovaneJobTest::WaitForCutter(int port, int seconds) {
    return ui::LinuxRequest("cutter-wait " + std::to_string(port) + " " + std::to_string(seconds),
                            static_cast<unsigned>(seconds + 10) * 1000);
}

std::string CompareBytes(const std::string& got, const std::string& want) {
    if (got == want) return "equal";
    const auto [g, w] = std::mismatch(got.begin(), got.end(), want.begin(), want.end());
    const size_t at = static_cast<size_t>(g - got.begin());
    const size_t from = at < 20 ? 0 : at - 20;
    return "got " + std::to_string(got.size()) + " bytes, want " + std::to_string(want.size()) +
           "; first difference at byte " + std::to_string(at) + ": got \"" + got.substr(from, 40) +
           "\", want \"" + want.substr(from, 40) + "\"";
}

std::string StoppedStreamEnd(const std::string& got, const std::string& stream) {
    const std::string ending = "U0,0;@;@;@;";
    if (got.size() <= ending.size() ||
        got.compare(got.size() - ending.size(), ending.size(), ending) != 0)
        return "no ending after the last command: " +
               got.substr(got.size() - std::min<size_t>(got.size(), 30));
    const std::string body = got.substr(0, got.size() - ending.size());
    if (body.back() != ';')
        return "the last command is unfinished: " +
               body.substr(body.size() - std::min<size_t>(body.size(), 30));
    const std::string compared = CompareBytes(body, stream.substr(0, body.size()));
    return compared == "equal" ? "ended cleanly" : "not the stream's start: " + compared;
}

}  // namespace drovane
