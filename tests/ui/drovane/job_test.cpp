// One job per run: Start sends the drawing to the cutter, Save .PLT writes it
// to a file; cancelling, failures, and what every job leaves behind.
#include <exception>
#include <string>

#include "files.h"
#include "job_fixture.h"
#include "linux_side.h"
#include "plot_samples.h"
#include "send_message.h"
#include "text_convert.h"
#include "top_windows.h"
#include "ui-driver/controls.h"
#include "ui-driver/file_dialog.h"

namespace drovane {
namespace {

using DrovaneJob = DrovaneJobTest;
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
// chunk about every quarter second; Cancel ends the stream within the chunk in
// hand (or the next, if that one began meanwhile), not after the drawing. A
// cancelled chunk may have reached the line in part.
TEST_F(DrovaneJob, CancelDuringALineRateStream) {
    ExportDrawing("line-rate-cancel", GridOfSquares(2000));
    LinuxRequest("port-open 5");
    StartCutter(5, "line-rate-cancel", kLineRate);
    ListSerialPorts({L"COM5"});
    DrovaneRun run;
    HWND dlg = run.dialog();

    ui::Click(dlg, kStart);
    const int counterBefore = WaitForPacedCounter(dlg);
    ui::Click(dlg, kStart);
    const ULONGLONG cancelled = GetTickCount64();
    // Once Cancel has been handled the worker ends after the chunk in hand. On
    // a busy machine more chunks may have gone between the reading above and
    // the click, so the upper bound counts from what the dialog shows now.
    int counterAfter = counterBefore;
    try {
        counterAfter = std::stoi(ui::ControlText(dlg, kStatusEdit));
    } catch (const std::exception&) {
        // The job and the dialog have ended already: the reading before holds.
    }
    // The whole drawing takes minutes at the line rate; a loaded machine may
    // take a few seconds to end the program after the chunk in hand.
    ASSERT_TRUE(run.WaitForExit(10000));
    EXPECT_LT(GetTickCount64() - cancelled, 5000u) << "a chunk takes about 270 ms at 38400 baud";
    ExpectCleanEnd(run, {0, 1, 1, 25, 25});

    WaitForCutter(5, 60);
    const std::string received = Received("line-rate-cancel");
    const std::string expected =
        Converted("line-rate-cancel", "--port --offset 10pu --overcut 10pu");
    const size_t chunksBefore = static_cast<size_t>(counterBefore / 1124);
    const size_t chunksAtCancel = static_cast<size_t>(counterAfter / 1124);
    EXPECT_GE(received.size(), chunksBefore * 1024);
    EXPECT_LE(received.size(), (chunksAtCancel + 2) * 1024)
        << "the chunk in hand, at most one more";
    EXPECT_EQ(CompareBytes(received, expected.substr(0, received.size())), "equal");
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
