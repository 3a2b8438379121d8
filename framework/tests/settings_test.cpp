// Settings in the registry: the fallback for a missing section or key or a value that is no
// DWORD, and written values stored as DWORDs under the program's key.
#include "settings.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// A key of the test's own in the current user's branch, removed before and after.
constexpr wchar_t kTestKey[] = L"Harvel framework test";

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { RemoveTestKey(); }
    void TearDown() override { RemoveTestKey(); }
    static void RemoveTestKey() {
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + kTestKey).c_str());
    }
    framework::Settings settings_{kTestKey, L"Program"};
};

TEST_F(SettingsTest, MissingSectionOrKeyGivesTheFallback) {
    EXPECT_EQ(settings_.ReadInt(L"config", L"IsClose", 1), 1);
    ASSERT_TRUE(settings_.WriteInt(L"config", L"IsOffset", 0));
    EXPECT_EQ(settings_.ReadInt(L"config", L"IsClose", 25), 25);
}

TEST_F(SettingsTest, WrittenValuesReadBackUnderTheProgramsKey) {
    ASSERT_TRUE(settings_.WriteInt(L"config", L"CloseVal", -50));
    ASSERT_TRUE(settings_.WriteInt(L"config", L"COM_i", 260));
    EXPECT_EQ(settings_.ReadInt(L"config", L"CloseVal", 25), -50);
    EXPECT_EQ(settings_.ReadInt(L"config", L"COM_i", 0), 260);

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Harvel framework test\\Program\\config",
                            0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(
        RegQueryValueExW(key, L"COM_i", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
        ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 260u);
}

TEST_F(SettingsTest, AValueThatIsNoDwordGivesTheFallback) {
    ASSERT_TRUE(settings_.WriteInt(L"config", L"IsOffset", 0));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Harvel framework test\\Program\\config",
                            0, KEY_WRITE, &key),
              ERROR_SUCCESS);
    const wchar_t text[] = L"7";
    RegSetValueExW(key, L"OffsetVal", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    RegCloseKey(key);
    EXPECT_EQ(settings_.ReadInt(L"config", L"OffsetVal", 25), 25);
}

}  // namespace
