// The sender dialog's settings: what a run shows and what it leaves stored.
#include "drovane_fixture.h"
#include "ui/driver/controls.h"

namespace drovane {
namespace {

using DrovaneDialog = DrovaneTest;
using ui::ComboSelection;
using ui::ControlText;
using ui::IsChecked;
using ui::IsEnabled;

TEST_F(DrovaneDialog, FirstRunShowsDefaultsAndStoresThemOnClose) {
    ListSerialPorts({L"COM5", L"COM7"});
    DrovaneRun run;
    HWND dlg = run.dialog();

    EXPECT_TRUE(IsChecked(dlg, kOffsetCheck));
    EXPECT_TRUE(IsChecked(dlg, kCloseCheck));
    EXPECT_TRUE(IsEnabled(dlg, kOffsetEdit));
    EXPECT_TRUE(IsEnabled(dlg, kCloseEdit));
    EXPECT_EQ(ControlText(dlg, kOffsetEdit), L"0.25");
    EXPECT_EQ(ControlText(dlg, kCloseEdit), L"0.25");
    EXPECT_EQ(ComboSelection(dlg, kPortCombo), 0);
    EXPECT_EQ(ControlText(dlg, kStatusEdit), L"0");
    EXPECT_TRUE(IsEnabled(dlg, kStart));
    EXPECT_TRUE(IsEnabled(dlg, kSavePlt));
    EXPECT_EQ(StoredSettings(), Settings{}) << "nothing is stored before the dialog ends";

    ASSERT_TRUE(run.Close());
    EXPECT_EQ(StoredSettings(), (Settings{0, 1, 1, 25, 25}));
}

TEST_F(DrovaneDialog, StoredSettingsAreShownAndStoredAgainUnchanged) {
    ListSerialPorts({L"COM5", L"COM7", L"COM8"});
    const Settings stored{2, 0, 1, 150, static_cast<DWORD>(-50)};
    StoreSettings(stored);
    DrovaneRun run;
    HWND dlg = run.dialog();

    EXPECT_EQ(ComboSelection(dlg, kPortCombo), 2);
    EXPECT_TRUE(IsChecked(dlg, kOffsetCheck));
    EXPECT_TRUE(IsEnabled(dlg, kOffsetEdit));
    EXPECT_EQ(ControlText(dlg, kOffsetEdit), L"-0.5");
    EXPECT_FALSE(IsChecked(dlg, kCloseCheck));
    EXPECT_FALSE(IsEnabled(dlg, kCloseEdit));
    EXPECT_EQ(ControlText(dlg, kCloseEdit), L"1.5");

    ASSERT_TRUE(run.Close());
    EXPECT_EQ(StoredSettings(), stored);
}

// Stored as truncated hundredths, 0.7 mm would come back as 0.69 and shrink by
// one hundredth on every run.
TEST_F(DrovaneDialog, LengthOf0point7SurvivesRepeatedRuns) {
    StoreSettings({0, 1, 1, 70, 70});
    for (int round = 0; round < 3; ++round) {
        DrovaneRun run;
        EXPECT_EQ(ControlText(run.dialog(), kOffsetEdit), L"0.7") << "round " << round;
        EXPECT_EQ(ControlText(run.dialog(), kCloseEdit), L"0.7") << "round " << round;
        ASSERT_TRUE(run.Close());
        EXPECT_EQ(StoredSettings(), (Settings{0, 1, 1, 70, 70})) << "round " << round;
    }
}

TEST_F(DrovaneDialog, UncheckingBoxDisablesItsEditButKeepsAndStoresTheValue) {
    StoreSettings({0, 1, 1, 120, 40});
    DrovaneRun run;
    HWND dlg = run.dialog();

    ui::Click(dlg, kOffsetCheck);
    EXPECT_FALSE(IsChecked(dlg, kOffsetCheck));
    EXPECT_FALSE(IsEnabled(dlg, kOffsetEdit));
    EXPECT_EQ(ControlText(dlg, kOffsetEdit), L"0.4");
    EXPECT_TRUE(IsEnabled(dlg, kCloseEdit));

    ui::Click(dlg, kCloseCheck);
    EXPECT_FALSE(IsEnabled(dlg, kCloseEdit));
    EXPECT_EQ(ControlText(dlg, kCloseEdit), L"1.2");
    EXPECT_EQ(StoredSettings(), (Settings{0, 1, 1, 120, 40})) << "a check box alone stores nothing";

    ASSERT_TRUE(run.Close());
    EXPECT_EQ(StoredSettings(), (Settings{0, 0, 0, 120, 40}));

    DrovaneRun again;
    EXPECT_FALSE(IsEnabled(again.dialog(), kOffsetEdit));
    EXPECT_EQ(ControlText(again.dialog(), kOffsetEdit), L"0.4");
    ui::Click(again.dialog(), kOffsetCheck);
    EXPECT_TRUE(IsEnabled(again.dialog(), kOffsetEdit));
}

TEST_F(DrovaneDialog, ChoosingAPortStoresAllFiveSettingsAtOnce) {
    ListSerialPorts({L"COM5", L"COM7", L"COM8"});
    DrovaneRun run;
    HWND dlg = run.dialog();
    ui::SetControlText(dlg, kOffsetEdit, L"1.5");
    ui::Click(dlg, kCloseCheck);

    ui::ChooseComboEntry(dlg, kPortCombo, 2);
    EXPECT_EQ(StoredSettings(), (Settings{2, 0, 1, 25, 150}));
}

}  // namespace
}  // namespace drovane
