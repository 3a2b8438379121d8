// A program's integer settings as DWORDs under HKCU\Software\<key>\<program>\<section>; a
// missing value, or one of another type, reads as the fallback.
#include "settings.h"

#include "registry_key.h"

namespace framework {

Settings::Settings(std::wstring registryKey, std::wstring appName)
    : registryKey_(std::move(registryKey)), appName_(std::move(appName)) {}

std::wstring Settings::SectionPath(const wchar_t* section) const {
    return L"Software\\" + registryKey_ + L"\\" + appName_ + L"\\" + section;
}

int32_t Settings::ReadInt(const wchar_t* section, const wchar_t* key, int32_t fallback) const {
    RegistryKey sectionKey;
    if (!sectionKey.Open(HKEY_CURRENT_USER, SectionPath(section))) return fallback;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(sectionKey.get(), key, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return fallback;
    return static_cast<int32_t>(value);
}

bool Settings::WriteInt(const wchar_t* section, const wchar_t* key, int32_t value) const {
    RegistryKey sectionKey;
    if (!sectionKey.Create(HKEY_CURRENT_USER, SectionPath(section))) return false;
    const DWORD data = static_cast<DWORD>(value);
    return RegSetValueExW(sectionKey.get(), key, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

}  // namespace framework
