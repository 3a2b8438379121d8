// When the wait window hands the plot file on to Drovane, and when it does not.
// The tests follow the watcher's timer through its progress bar, which steps
// once per tick before the tick looks at the file.
#include "plimsby_fixture.h"
#include "ui/driver/controls.h"
#include "ui/driver/files.h"
#include "ui/driver/linux_side.h"
#include "ui/driver/top_windows.h"

namespace plimsby {
namespace {

using PlimsbyHandOff = PlimsbyTest;

std::string Bytes(size_t n) {
    return std::string(n, 'x');
}

// Ticks seen until the window goes. The tick that hands on steps the bar too,
// and that step may or may not be seen before the window goes.
int TicksUntilHandOff(PlimsbyRun& run) {
    int ticks = 0;
    while (run.NextTick()) {
        if (++ticks > 20) break;
    }
    return ticks;
}

TEST_F(PlimsbyHandOff, CompleteFileIsHandedOnAtTheSecondTick) {
    ui::WriteBytes(kPlotFile, Bytes(2000));
    PlimsbyRun run;
    const ULONGLONG shown = GetTickCount64();

    const int ticks = TicksUntilHandOff(run);
    const ULONGLONG handedOn = GetTickCount64() - shown;

    EXPECT_GE(ticks, 1) << "the first tick only takes note of the size";
    EXPECT_LE(ticks, 2) << "the second tick hands on";
    EXPECT_GE(handedOn, 2 * kTickMs - 100) << "about 400 ms after the window opens";
    EXPECT_LT(handedOn, 1500u);
    ASSERT_TRUE(run.process().WaitForExit(5000));
    // By its full path, not left to the shell's search of the folder.
    EXPECT_EQ(
        WaitForDrovaneStart(),
        std::vector<std::string>{"program=C:\\Harvel\\Drovane.exe "
                                 "module=C:\\Harvel\\Drovane.exe folder=C:\\Harvel arguments=0"});
    Sleep(3 * kTickMs);
    EXPECT_EQ(DrovaneStarts().size(), 1u) << "Drovane is started once";
    EXPECT_TRUE(ui::FileExists(kPlotFile)) << "the watcher never touches the file";
}

TEST_F(PlimsbyHandOff, FileOfTenBytesIsNeverHandedOn) {
    ui::WriteBytes(kPlotFile, Bytes(10));
    PlimsbyRun run;
    for (int tick = 0; tick < 6; ++tick) ASSERT_TRUE(run.NextTick()) << "tick " << tick;

    ASSERT_TRUE(run.Close());
    EXPECT_TRUE(DrovaneStarts().empty());
}

TEST_F(PlimsbyHandOff, GrowingFileWaitsUntilItStopsGrowing) {
    PlimsbyRun run;
    // The exporting program writes a little more between every two ticks.
    for (int tick = 0; tick < 8; ++tick) {
        ASSERT_TRUE(run.NextTick()) << "handed on while growing, tick " << tick;
        ui::AppendBytes(kPlotFile, Bytes(100));
    }
    // The tick after the last write still sees growth; the one after that hands on.
    const int ticks = TicksUntilHandOff(run);
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, 2);
    EXPECT_EQ(WaitForDrovaneStart().size(), 1u);
}

TEST_F(PlimsbyHandOff, FileRewrittenSmallerAfterBeingGoneIsHandedOnAtOnce) {
    PlimsbyRun run;
    ASSERT_TRUE(run.NextTick());
    ui::WriteBytes(kPlotFile, Bytes(5000));
    ASSERT_TRUE(run.NextTick()) << "this tick sees 5000 bytes";
    DeleteFileW(kPlotFile.c_str());
    ASSERT_TRUE(run.NextTick()) << "no file";
    ASSERT_TRUE(run.NextTick()) << "no file";
    ui::WriteBytes(kPlotFile, Bytes(3000));
    EXPECT_LE(TicksUntilHandOff(run), 1) << "the tick that sees 3000 bytes hands on";
    EXPECT_EQ(WaitForDrovaneStart().size(), 1u);
}

TEST_F(PlimsbyHandOff, WithoutAFileTheWindowWaitsUntilClosed) {
    PlimsbyRun run;
    EXPECT_EQ(ui::WindowText(run.window()), kCaption);
    const RECT r = ui::WindowRect(run.window());
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 300);
    for (int tick = 0; tick < 3; ++tick) ASSERT_TRUE(run.NextTick());
    ui::Screenshot(run.window(), "plimsby-en");

    ASSERT_TRUE(run.Close());
    Sleep(2 * kTickMs);
    EXPECT_TRUE(DrovaneStarts().empty());
}

}  // namespace
}  // namespace plimsby
