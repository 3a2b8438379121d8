// The whole hand-off as a user sees it: from the exporting program's last
// write to the sender's dialog on the screen.
#include <cstdio>

#include "plimsby_fixture.h"
#include "ui/driver/child_process.h"
#include "ui/driver/files.h"
#include "ui/driver/top_windows.h"

namespace plimsby {
namespace {

using PlimsbyHandOffToDrovane = PlimsbyTest;

TEST_F(PlimsbyHandOffToDrovane, DrovaneAppearsSoonAfterTheLastWrite) {
    ui::CopyFileTo(ui::WindowsPathOf(ui::RequiredEnv("HARVEL_UI_BIN")) + L"\\Drovane.exe",
                   kHarvel + L"\\Drovane.exe");
    PlimsbyRun run;
    // An export in growing writes, as a drawing program writes its plot file.
    for (int part = 0; part < 5; ++part) {
        ui::AppendBytes(kPlotFile, "IN;PU0,0;PD0,200;PD200,200;PD200,0;PD0,0;PU0,0;\n");
        Sleep(100);
    }
    const ULONGLONG lastWrite = GetTickCount64() - 100;

    HWND drovane = ui::WaitForWindow(L"Drovanex  ( Baudrate : 38400 )", 0, 10000);
    const ULONGLONG elapsed = GetTickCount64() - lastWrite;
    std::printf("last write of the plot file to Drovane's window: %llu ms\n", elapsed);
    RecordProperty("handoff_ms", static_cast<int>(elapsed));
    EXPECT_LT(elapsed, 5000u);
    EXPECT_TRUE(run.process().WaitForExit(5000));
    EXPECT_TRUE(ui::CloseProgramOf(drovane));
}

}  // namespace
}  // namespace plimsby
