// Captions by the system's default language, the window's place, and a
// picture of the dialog for people to look at.
#include "job_fixture.h"
#include "plot_samples.h"
#include "ui/driver/controls.h"
#include "ui/driver/linux_side.h"
#include "ui/driver/top_windows.h"

namespace drovane {
namespace {

struct CaptionSet {
    const wchar_t* start;
    const wchar_t* savePlt;
    const wchar_t* port;
    const wchar_t* knifeOffset;
    const wchar_t* overcut;
    const wchar_t* status;
};

void ExpectCaptions(HWND dlg, const CaptionSet& expected) {
    EXPECT_EQ(ui::WindowText(dlg), kCaption);
    EXPECT_EQ(ui::ControlText(dlg, kStart), expected.start);
    EXPECT_EQ(ui::ControlText(dlg, kSavePlt), expected.savePlt);
    EXPECT_EQ(ui::ControlText(dlg, kPortLabel), expected.port);
    EXPECT_EQ(ui::ControlText(dlg, kOffsetCheck), expected.knifeOffset);
    EXPECT_EQ(ui::ControlText(dlg, kCloseCheck), expected.overcut);
    EXPECT_EQ(ui::ControlText(dlg, kStatusLabel), expected.status);
}

using DrovaneEnglish = DrovaneTest;

TEST_F(DrovaneEnglish, CaptionsAndPlaceOnScreen) {
    ASSERT_NE(GetSystemDefaultLangID(), 2052) << "run with an English system locale";
    ListSerialPorts({L"COM5", L"COM7"});
    DrovaneRun run;
    ExpectCaptions(run.dialog(),
                   {L"Start", L"Save .PLT", L"Port:", L"Knife Offset", L"Overcut", L"Status:"});
    const RECT r = ui::WindowRect(run.dialog());
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 300);
    ui::Screenshot(run.dialog(), "drovane-en");
}

class DrovaneChinese : public DrovaneJobTest {
protected:
    void SetUp() override {
        // Wine takes the system language from the Unix locale of the test
        // program; run-ui-test.sh --locale zh_CN.UTF-8 sets it.
        if (GetSystemDefaultLangID() != 2052)
            GTEST_SKIP() << "needs the Chinese (PRC) system locale";
        DrovaneJobTest::SetUp();
    }
};

TEST_F(DrovaneChinese, CaptionsAndPlaceOnScreen) {
    ListSerialPorts({L"COM5", L"COM7"});
    DrovaneRun run;
    ExpectCaptions(run.dialog(),
                   {L"开始", L"另存为PLT文件", L"端口:", L"尖角补偿", L"闭合补偿", L"状态:"});
    const RECT r = ui::WindowRect(run.dialog());
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 300);
    ui::Screenshot(run.dialog(), "drovane-zh");
}

TEST_F(DrovaneChinese, StartBecomesCancelWhileAJobRuns) {
    ExportDrawing("chinese-cancel", GridOfSquares(2000));
    ui::LinuxRequest("port-open 5");
    StartCutter(5, "chinese-cancel", kNoPacing);
    ui::LinuxRequest("port-pause 5");
    ListSerialPorts({L"COM5"});
    DrovaneRun run;

    ui::Click(run.dialog(), kStart);
    EXPECT_EQ(ui::ControlText(run.dialog(), kStart), L"取消");
    WaitForStalledCounter(run.dialog());
    ui::Click(run.dialog(), kStart);
    ui::LinuxRequest("port-resume 5");
    ExpectCleanEnd(run, {0, 1, 1, 25, 25});
}

}  // namespace
}  // namespace drovane
