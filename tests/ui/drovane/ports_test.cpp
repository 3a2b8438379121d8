// The port list and opening a port, on virtual serial ports.
#include "drovane_fixture.h"
#include "ui/driver/controls.h"
#include "ui/driver/files.h"
#include "ui/driver/linux_side.h"

namespace drovane {
namespace {

using DrovanePorts = DrovaneTest;
using Entries = std::vector<std::wstring>;
using ui::ComboEntries;
using ui::ComboSelection;

TEST_F(DrovanePorts, ListedInTheSystemsOrderWithTwoDigitsOfEachNumber) {
    ListSerialPorts({L"COM4", L"COM2", L"COM123", L"COM1", L"COM9", L"COM12"});
    DrovaneRun run;
    EXPECT_EQ(ComboEntries(run.dialog(), kPortCombo),
              (Entries{L"COM4", L"COM2", L"COM12", L"COM1", L"COM9", L"COM12"}));
}

TEST_F(DrovanePorts, NoMoreThanElevenAreListed) {
    Entries thirteen;
    for (int n = 1; n <= 13; ++n) thirteen.push_back(L"COM" + std::to_wstring(n));
    ListSerialPorts(thirteen);
    DrovaneRun run;
    EXPECT_EQ(ComboEntries(run.dialog(), kPortCombo),
              Entries(thirteen.begin(), thirteen.begin() + 11));
}

TEST_F(DrovanePorts, NoPortsLeaveTheListEmptyAndStartDisabled) {
    DrovaneRun run;
    EXPECT_TRUE(ComboEntries(run.dialog(), kPortCombo).empty());
    EXPECT_EQ(ComboSelection(run.dialog(), kPortCombo), CB_ERR);
    EXPECT_FALSE(ui::IsEnabled(run.dialog(), kStart));
    EXPECT_TRUE(ui::IsEnabled(run.dialog(), kSavePlt));
}

// Only the low eight bits of the stored index count: 260 is entry 4, which a
// list of three does not have.
TEST_F(DrovanePorts, StoredIndex260SelectsEntry4OrElseTheFirst) {
    StoreSettings({260, {}, {}, {}, {}});
    ListSerialPorts({L"COM1", L"COM2", L"COM3", L"COM4", L"COM5"});
    {
        DrovaneRun run;
        EXPECT_EQ(ComboSelection(run.dialog(), kPortCombo), 4);
    }
    StoreSettings({260, {}, {}, {}, {}});
    ListSerialPorts({L"COM1", L"COM2", L"COM3"});
    DrovaneRun run;
    EXPECT_EQ(ComboSelection(run.dialog(), kPortCombo), 0);
}

class DrovanePortsUnavailable : public DrovaneTest {
protected:
    // A port that cannot be opened: Drovane says so, stays idle and keeps the
    // exported drawing for another try.
    void ExpectOpenPortFail() {
        ui::WriteBytes(kPlotFile, "IN;PU0,0;PD400,0;PD400,400;PU0,0;");
        DrovaneRun run;
        ui::ClickLater(run.dialog(), kStart);
        HWND message = run.WaitForMessage(L"open port fail!");
        run.Acknowledge(message);

        EXPECT_TRUE(run.process().running());
        EXPECT_EQ(ui::ControlText(run.dialog(), kStart), L"Start");
        EXPECT_TRUE(ui::IsEnabled(run.dialog(), kSavePlt));
        EXPECT_TRUE(ui::FileExists(kPlotFile));
        ASSERT_TRUE(run.Close());
    }
};

TEST_F(DrovanePortsUnavailable, PortHeldByAnotherProgram) {
    ui::LinuxRequest("port-open 5");
    ui::LinuxRequest("port-hold 5");
    ListSerialPorts({L"COM5"});
    ExpectOpenPortFail();
}

// A job sent at whatever speed the port happens to have would reach the cutter
// as garbage.
TEST_F(DrovanePortsUnavailable, PortRefusingTheLineSettings) {
    ui::LinuxRequest("port-refuse 7");
    ListSerialPorts({L"COM7"});
    ExpectOpenPortFail();
}

TEST_F(DrovanePortsUnavailable, PortListedButNotThere) {
    ListSerialPorts({L"COM6"});
    ExpectOpenPortFail();
}

}  // namespace
}  // namespace drovane
