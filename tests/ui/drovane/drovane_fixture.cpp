// Every Drovane UI test starts from a fresh C:\Harvel, no stored settings and no ports; the
// helpers store and read settings, list ports, run the program and answer its messages.
#include "drovane_fixture.h"

#include <cstdio>

#include "ui/driver/controls.h"
#include "ui/driver/files.h"
#include "ui/driver/linux_side.h"
#include "ui/driver/registry_values.h"
#include "ui/driver/send_message.h"
#include "ui/driver/top_windows.h"

namespace drovane {

namespace {

const std::wstring kSettingsKey = L"Software\\应用程序向导生成的本地应用程序\\Drovane\\config";
const std::wstring kSettingsRoot = L"Software\\应用程序向导生成的本地应用程序";
const std::wstring kSerialComm = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";

void StoreIfSet(const framework::RegistryKey& key, const wchar_t* name,
                const std::optional<DWORD>& value) {
    if (value) ui::SetDword(key, name, *value);
}

}  // namespace

void PrintTo(const Settings& s, std::ostream* out) {
    auto show = [out](const char* name, const std::optional<DWORD>& v) {
        *out << name << "=";
        if (v)
            *out << static_cast<int32_t>(*v);
        else
            *out << "(none)";
        *out << " ";
    };
    show("COM_i", s.comIndex);
    show("IsClose", s.isClose);
    show("IsOffset", s.isOffset);
    show("CloseVal", s.closeVal);
    show("OffsetVal", s.offsetVal);
}

void StoreSettings(const Settings& settings) {
    const framework::RegistryKey key = ui::CreateKey(HKEY_CURRENT_USER, kSettingsKey);
    StoreIfSet(key, L"COM_i", settings.comIndex);
    StoreIfSet(key, L"IsClose", settings.isClose);
    StoreIfSet(key, L"IsOffset", settings.isOffset);
    StoreIfSet(key, L"CloseVal", settings.closeVal);
    StoreIfSet(key, L"OffsetVal", settings.offsetVal);
}

Settings StoredSettings() {
    framework::RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, kSettingsKey)) return {};
    return {ui::GetDword(key, L"COM_i"), ui::GetDword(key, L"IsClose"),
            ui::GetDword(key, L"IsOffset"), ui::GetDword(key, L"CloseVal"),
            ui::GetDword(key, L"OffsetVal")};
}

void ListSerialPorts(const std::vector<std::wstring>& data) {
    const framework::RegistryKey key = ui::CreateKey(HKEY_LOCAL_MACHINE, kSerialComm);
    ui::DeleteAllValues(key);
    // Names in the order of the list, whether the registry enumerates values
    // by name or in the order they were written.
    for (size_t i = 0; i < data.size(); ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"\\Device\\Serial%02zu", i);
        ui::SetString(key, name, data[i]);
    }
}

DrovaneRun::DrovaneRun()
    : process_(kHarvel + L"\\Drovane.exe", kHarvel),
      dialog_(ui::WaitForWindow(kCaption, process_.pid())) {}

bool DrovaneRun::Close(DWORD timeoutMs) {
    if (process_.running()) ui::Post(dialog_, WM_SYSCOMMAND, SC_CLOSE);
    return process_.WaitForExit(timeoutMs);
}

HWND DrovaneRun::WaitForMessage(const std::wstring& text, DWORD timeoutMs) {
    return ui::WaitForDialogShowing(text, process_.pid(), dialog_, timeoutMs);
}

void DrovaneRun::Acknowledge(HWND messageBox) {
    ui::ClickLater(messageBox, IDOK);
    if (!ui::WaitUntilGone(messageBox)) throw std::runtime_error("message box stays open");
}

void DrovaneTest::SetUp() {
    ui::LinuxRequest("reset");
    ui::ResetFolder(kHarvel);
    ui::CopyFileTo(ui::WindowsPathOf(ui::RequiredEnv("HARVEL_UI_BIN")) + L"\\Drovane.exe",
                   kHarvel + L"\\Drovane.exe");
    ui::DeleteKeyTree(HKEY_CURRENT_USER, kSettingsRoot);
    ListSerialPorts({});
}

void DrovaneTest::TearDown() {
    ui::LinuxRequest("reset");
}

}  // namespace drovane
