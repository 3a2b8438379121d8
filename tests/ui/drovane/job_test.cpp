// One job per run: Start sends the drawing to the cutter, Save .PLT writes it
// to a file; cancelling, failures, and what every job leaves behind.
#include <cstdio>
#include <exception>
#include <string>

#include "job_fixture.h"
#include "plot_samples.h"
#include "ui/driver/controls.h"
#include "ui/driver/file_dialog.h"
#include "ui/driver/files.h"
#include "ui/driver/linux_side.h"
#include "ui/driver/send_message.h"
#include "ui/driver/text_convert.h"
#include "ui/driver/top_windows.h"

namespace drovane {
namespace {

class DrovaneJob : public DrovaneJobTest {
protected:
    void ExpectStopOnAFreeLineEndsBetweenCommands(const std::string& name, void (*askToStop)(HWND));
};
using ui::ControlText;
using ui::LinuxRequest;

// The cutter at the real line rate, on the third listed port: what arrives is
// the port-mode conversion of the drawing, byte for byte.
TEST_F(DrovaneJob, StartStreamsTheConvertedDrawingToTheCutter) {
    ExportDrawing("stream", GridOfSquares(40));
    LinuxRequest("port-open 12");
    StartCutter(12, "stream", kLineRate);
    ListSerialPorts({L"COM1", L"COM9", L"COM12"});
    DrovaneRun run;
    ui::ChooseComboEntry(run.dialog(), kPortCombo, 2);

    ui::Click(run.dialog(), kStart);
    ExpectCleanEnd(run, {2, 1, 1, 25, 25});

    const std::string cutter = WaitForCutter(12);
    EXPECT_NE(cutter.find("exit=0"), std::string::npos) << cutter;
    const std::string expected = Converted("stream", "--port --offset 10pu --overcut 10pu");
    EXPECT_GT(expected.size(), 4u * 1024u) << "the job should take several chunks";
    EXPECT_EQ(CompareBytes(Received("stream"), expected), "equal");
}

// The 5 mm square with 0.5 mm knife offset and 7.5 mm overcut: the cutter's
// picture shows the loops at the corners and the overcut.
TEST_F(DrovaneJob, SquareWithOffsetAndOvercutReachesTheCutter) {
    StoreSettings({0, 1, 1, 750, 50});
    ExportDrawing("square-offset-overcut", kSquare);
    LinuxRequest("port-open 5");
    StartCutter(5, "square-offset-overcut", kLineRate);
    ListSerialPorts({L"COM5"});
    DrovaneRun run;

    ui::Click(run.dialog(), kStart);
    ExpectCleanEnd(run, {0, 1, 1, 750, 50});

    WaitForCutter(5);
    LinuxRequest("svg-png square-offset-overcut");
    EXPECT_EQ(Received("square-offset-overcut"),
              "CDR;U2072,1564;D1852,1564;D1872,1584;D1872,1784;D1892,1764;D2092,1764;"
              "D2072,1744;D2072,1544;D2062,1565;D1852,1564;D1872,1584;D1872,1644;"
              "U0,0;@;@;@;");
}

// The lengths the job gets come from the check boxes and edits as they stand
// when the job starts, rounded to whole plotter units.
TEST_F(DrovaneJob, CompensationComesFromTheCheckBoxesAndEdits) {
    struct Case {
        const wchar_t* offset;
        bool offsetOn;
        const wchar_t* overcut;
        bool overcutOn;
        const char* options;
        Settings stored;
    };
    const Case cases[] = {
        {L"0.7", true, L"3", false, "--offset 28pu --overcut 0", {0, 0, 1, 300, 70}},
        {L"0.5", false, L"7.5", true, "--offset 0 --overcut 300pu", {0, 1, 0, 750, 50}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        StoreSettings({0, 1, 1, 25, 25});
        const std::string name = "units-" + std::to_string(++n);
        ExportDrawing(name, kSquare);
        DrovaneRun run;
        HWND dlg = run.dialog();
        ui::SetControlText(dlg, kOffsetEdit, c.offset);
        ui::SetControlText(dlg, kCloseEdit, c.overcut);
        if (!c.offsetOn) ui::Click(dlg, kOffsetCheck);
        if (!c.overcutOn) ui::Click(dlg, kCloseCheck);

        ui::ClickLater(dlg, kSavePlt);
        const std::wstring saved = kHarvel + L"\\" + ui::Wide(name) + L".plt";
        ui::ChooseFileName(ui::WaitForOtherDialog(run.process().pid(), dlg), saved);
        ExpectCleanEnd(run, c.stored);
        EXPECT_EQ(CompareBytes(ui::ReadBytes(saved).value_or(""), Converted(name, c.options)),
                  "equal");
    }
}

// Save .PLT appends ".PLT" unless the name already ends in .plt in any case,
// and leaves nothing else beside the file.
TEST_F(DrovaneJob, SavePltWritesTheFileModeConversionUnderTheChosenName) {
    const std::wstring folder = kHarvel + L"\\saved";
    const std::pair<const wchar_t*, const wchar_t*> names[] = {{L"cut", L"cut.PLT"},
                                                               {L"cut.plt", L"cut.plt"},
                                                               {L"Cut.pLt", L"Cut.pLt"},
                                                               {L"cut.txt", L"cut.txt.PLT"}};
    for (const auto& [typed, written] : names) {
        SCOPED_TRACE(ui::Utf8(typed));
        ui::ResetFolder(folder);
        ExportDrawing("saved", GridOfSquares(3));
        DrovaneRun run;
        ui::ClickLater(run.dialog(), kSavePlt);
        ui::ChooseFileName(ui::WaitForOtherDialog(run.process().pid(), run.dialog()),
                           folder + L"\\" + typed);
        ExpectCleanEnd(run, {0, 1, 1, 25, 25});
        EXPECT_EQ(ui::FolderEntries(folder), std::vector<std::wstring>{written});
        EXPECT_EQ(CompareBytes(ui::ReadBytes(folder + L"\\" + written).value_or(""),
                               Converted("saved", "--offset 10pu --overcut 10pu")),
                  "equal");
    }
}

TEST_F(DrovaneJob, CancellingTheFileDialogEndsTheProgramWithoutAJob) {
    ExportDrawing("not-saved", kSquare);
    StoreSettings({0, 0, 1, 25, 25});
    DrovaneRun run;
    ui::ClickLater(run.dialog(), kSavePlt);
    ui::CancelFileDialog(ui::WaitForOtherDialog(run.process().pid(), run.dialog()));
    ExpectCleanEnd(run, {0, 0, 1, 25, 25});
    EXPECT_EQ(ui::FolderEntries(kHarvel), std::vector<std::wstring>{L"Drovane.exe"});
}

// At the real line rate the writes pend once the ptys' buffers are full, one
// chunk about every quarter second. A stop (Cancel, or the close box) ends the
// stream within the chunk in hand, not after the drawing, between two
// commands: the rest of the command in flight and the stream's ending follow,
// so the cutter is left with the knife up. The window goes within half a
// second; no message; the exchange files go as after any job.
void DrovaneJob::ExpectStopOnAFreeLineEndsBetweenCommands(const std::string& name,
                                                          void (*askToStop)(HWND)) {
    ExportDrawing(name, GridOfSquares(2000));
    LinuxRequest("port-open 5");
    StartCutter(5, name, kLineRate);
    ListSerialPorts({L"COM5"});
    DrovaneRun run;
    HWND dlg = run.dialog();

    ui::Click(dlg, kStart);
    const int counterBefore = WaitForPacedCounter(dlg);
    const ULONGLONG asked = GetTickCount64();
    askToStop(dlg);
    ASSERT_TRUE(ui::WaitUntilGone(dlg, 10000)) << "the window stays";
    const ULONGLONG goneMs = GetTickCount64() - asked;
    std::printf("window gone %llu ms after the request to stop on a free line\n", goneMs);
    EXPECT_LE(goneMs, 500u);
    ASSERT_TRUE(run.WaitForExit(10000));
    ExpectCleanEnd(run, {0, 1, 1, 25, 25});

    WaitForCutter(5, 60);
    const std::string received = Received(name);
    const std::string expected = Converted(name, "--port --offset 10pu --overcut 10pu");
    EXPECT_GE(received.size(), static_cast<size_t>(counterBefore / 1124) * 1024);
    EXPECT_LT(received.size(), expected.size());
    EXPECT_EQ(StoppedStreamEnd(received, expected), "ended cleanly");
}

TEST_F(DrovaneJob, CancelDuringALineRateStreamEndsBetweenTwoCommands) {
    ExpectStopOnAFreeLineEndsBetweenCommands("line-rate-cancel",
                                             [](HWND dlg) { ui::ClickLater(dlg, kStart); });
}

TEST_F(DrovaneJob, ClosingTheWindowDuringALineRateStreamEndsBetweenTwoCommands) {
    ExpectStopOnAFreeLineEndsBetweenCommands(
        "line-rate-close", [](HWND dlg) { ui::Post(dlg, WM_SYSCOMMAND, SC_CLOSE); });
}

// After "open port fail!" the dialog stays idle with the drawing kept, and
// another port can be chosen.
TEST_F(DrovaneJob, AfterAPortFailsAnotherPortCanBeUsed) {
    ExportDrawing("second-port", GridOfSquares(3));
    LinuxRequest("port-open 5");
    LinuxRequest("port-hold 5");
    LinuxRequest("port-open 7");
    StartCutter(7, "second-port", kNoPacing);
    ListSerialPorts({L"COM5", L"COM7"});
    DrovaneRun run;

    ui::ClickLater(run.dialog(), kStart);
    run.Acknowledge(run.WaitForMessage(L"open port fail!"));
    EXPECT_TRUE(ui::FileExists(kPlotFile));
    ui::ChooseComboEntry(run.dialog(), kPortCombo, 1);
    ui::Click(run.dialog(), kStart);
    ExpectCleanEnd(run, {1, 1, 1, 25, 25});

    WaitForCutter(7);
    EXPECT_EQ(CompareBytes(Received("second-port"),
                           Converted("second-port", "--port --offset 10pu --overcut 10pu")),
              "equal");
}

// A job that fails says so once and keeps the exported drawing for another try.
TEST_F(DrovaneJob, FailedJobIsReportedAndKeepsTheDrawing) {
    ExportDrawing("unwritable", kSquare);
    ui::ResetFolder(kHarvel + L"\\taken.PLT");  // a folder where the file should go
    DrovaneRun run;
    ui::ClickLater(run.dialog(), kSavePlt);
    ui::ChooseFileName(ui::WaitForOtherDialog(run.process().pid(), run.dialog()),
                       kHarvel + L"\\taken");
    run.Acknowledge(run.WaitForMessage(L"write file fail!"));
    ASSERT_TRUE(run.WaitForExit(10000));
    EXPECT_EQ(ui::ReadBytes(kPlotFile), kSquare);
    EXPECT_EQ(ui::FolderEntries(kHarvel),
              (std::vector<std::wstring>{L"Drovane.exe", L"Quelmar.plt", L"taken.PLT"}));
    EXPECT_EQ(StoredSettings(), (Settings{0, 1, 1, 25, 25}));
}

TEST_F(DrovaneJob, MissingDrawingIsReported) {
    LinuxRequest("port-open 5");
    ListSerialPorts({L"COM5"});
    DrovaneRun run;
    ui::ClickLater(run.dialog(), kStart);
    run.Acknowledge(run.WaitForMessage(L"read plot file fail!"));
    ASSERT_TRUE(run.WaitForExit(10000));
    EXPECT_FALSE(ui::FileExists(kStreamFile));
}

}  // namespace
}  // namespace drovane
