#pragma once
#include <cstdint>
#include <string>

namespace framework {

// Integer settings of one program in the current user's registry, under
// Software\<registry key>\<application name>\<section>, one DWORD per key.
class Settings {
public:
    Settings(std::wstring registryKey, std::wstring appName);

    // The stored value, or fallback when the section, the key or a DWORD value is missing.
    int32_t ReadInt(const wchar_t* section, const wchar_t* key, int32_t fallback) const;
    bool WriteInt(const wchar_t* section, const wchar_t* key, int32_t value) const;

private:
    std::wstring SectionPath(const wchar_t* section) const;
    std::wstring registryKey_;
    std::wstring appName_;
};

}  // namespace framework
