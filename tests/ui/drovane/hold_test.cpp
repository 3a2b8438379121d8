// A cutter that holds the line (CTS low: buffer full, pause key, material
// loading) for as long as it likes: the job waits and goes on where it stopped,
// the window keeps answering, and a cancel or a vanished port ends the job at
// once. The virtual cutter stops reading; once the ptys' buffers are full the
// sender's write stays pending, as it does on a real line.
#include <algorithm>
#include <cstdio>
#include <string>

#include "job_fixture.h"
#include "plot_samples.h"
#include "ui/driver/controls.h"
#include "ui/driver/files.h"
#include "ui/driver/linux_side.h"
#include "ui/driver/send_message.h"
#include "ui/driver/top_windows.h"

namespace drovane {
namespace {

using ui::LinuxRequest;

const std::string kHoldAfter = "--hold-after 60000";
const char* const kOptions = "--port --offset 10pu --overcut 10pu";

class DrovaneJobHold : public DrovaneJobTest {
protected:
    // The drawing exported, a cutter on COM5 that holds as `hold` says, COM5
    // the only port listed.
    void PrepareHeldLine(const std::string& name, const std::string& hold) {
        ExportDrawing(name, GridOfSquares(2000));
        LinuxRequest("port-open 5");
        LinuxRequest("cutter-start 5 " + name + " " + hold +
                     " --quiet-ms 3000 --first-byte-ms 20000");
        ListSerialPorts({L"COM5"});
    }

    void ExpectStopDuringHoldEndsAtOnce(const std::string& name, void (*askToStop)(HWND));
};

// The status counter, read from this process; the time the window took to
// answer goes into slowestMs.
int CounterAnswering(HWND dialog, ULONGLONG& slowestMs) {
    const ULONGLONG asked = GetTickCount64();
    const std::wstring text = ui::ControlText(dialog, kStatusEdit);
    slowestMs = std::max(slowestMs, GetTickCount64() - asked);
    return std::stoi(text);
}

TEST_F(DrovaneJobHold, AFifteenSecondHoldDelaysTheJobWhichThenCompletes) {
    PrepareHeldLine("hold-15s", kHoldAfter + " --hold-ms 15000");
    DrovaneRun run;
    HWND dlg = run.dialog();

    ui::Click(dlg, kStart);
    const ULONGLONG started = GetTickCount64();
    const int held = WaitForStalledCounter(dlg);
    // Through the hold the counter stands still and the window answers.
    ULONGLONG slowestMs = 0;
    while (GetTickCount64() - started < 12000) {
        ASSERT_EQ(CounterAnswering(dlg, slowestMs), held) << "the counter moved during the hold";
        ASSERT_EQ(ui::FindDialogShowing(L"send fail!", run.process().pid(), dlg), nullptr);
        Sleep(500);
    }
    std::printf("slowest answer to WM_GETTEXT during the hold: %llu ms\n", slowestMs);
    EXPECT_LT(slowestMs, 1000u);

    ExpectCleanEnd(run, {0, 1, 1, 25, 25});
    const std::string cutter = WaitForCutter(5);
    EXPECT_NE(cutter.find("holds=1"), std::string::npos) << cutter;
    EXPECT_EQ(CompareBytes(Received("hold-15s"), Converted("hold-15s", kOptions)), "equal");
}

// Asking to stop while the cutter holds the line ends the job within 2.5 s:
// the rest of the command in flight and the stream's ending are waited for 2 s
// at most, then given up. The window goes, no message, only Drovane.exe stays
// in C:\Harvel (no drawing, no converted file, no partial file), and once the
// cutter reads again it gets the stream's start and, if the port took them
// before giving up, the last command's rest and the ending: nothing more.
void DrovaneJobHold::ExpectStopDuringHoldEndsAtOnce(const std::string& name,
                                                    void (*askToStop)(HWND)) {
    // The hold outlasts the wait for the window; the cutter then reads what
    // the line holds and ends when nothing more comes.
    PrepareHeldLine(name, kHoldAfter + " --hold-ms 6000");
    DrovaneRun run;
    HWND dlg = run.dialog();
    ui::Click(dlg, kStart);
    const int counter = WaitForStalledCounter(dlg);
    ASSERT_EQ(counter % 1124, 0) << counter;

    const ULONGLONG asked = GetTickCount64();
    askToStop(dlg);
    ASSERT_TRUE(ui::WaitUntilGone(dlg, 10000)) << "the window stays";
    const ULONGLONG goneMs = GetTickCount64() - asked;
    std::printf("window gone %llu ms after the request to stop during a hold\n", goneMs);
    EXPECT_LE(goneMs, 2500u);
    ASSERT_TRUE(run.WaitForExit(5000)) << "the program did not end (a message box?)";
    EXPECT_EQ(run.process().exitCode(), 0u);
    EXPECT_EQ(ui::FolderEntries(kHarvel), std::vector<std::wstring>{L"Drovane.exe"});

    WaitForCutter(5, 30);
    const std::string received = Received(name);
    const std::string expected = Converted(name, kOptions);
    EXPECT_LE(received.size(), static_cast<size_t>(counter / 1124 + 1) * 1024 + 64)
        << "more than the pending chunk and the stop's last bytes reached the cutter";
    ASSERT_LT(received.size(), expected.size());
    if (StoppedStreamEnd(received, expected) != "ended cleanly") {
        EXPECT_EQ(CompareBytes(received, expected.substr(0, received.size())), "equal");
    }
}

TEST_F(DrovaneJobHold, CancelDuringAHoldEndsTheJobAtOnce) {
    ExpectStopDuringHoldEndsAtOnce("hold-cancel", [](HWND dlg) { ui::ClickLater(dlg, kStart); });
}

TEST_F(DrovaneJobHold, ClosingTheWindowDuringAHoldEndsTheJobAtOnce) {
    ExpectStopDuringHoldEndsAtOnce("hold-close",
                                   [](HWND dlg) { ui::Post(dlg, WM_SYSCOMMAND, SC_CLOSE); });
}

// A port that vanishes (a USB adapter pulled) while a chunk is pending fails the
// job and keeps the drawing for another try.
TEST_F(DrovaneJobHold, APortThatVanishesFailsTheJobAndKeepsTheDrawing) {
    PrepareHeldLine("vanished", "--hold-forever-after 60000");
    DrovaneRun run;
    ui::Click(run.dialog(), kStart);
    WaitForStalledCounter(run.dialog());

    LinuxRequest("port-close 5");
    run.Acknowledge(run.WaitForMessage(L"send fail!"));
    ASSERT_TRUE(run.WaitForExit(10000));
    EXPECT_EQ(ui::ReadBytes(kPlotFile), GridOfSquares(2000));
}

}  // namespace
}  // namespace drovane
