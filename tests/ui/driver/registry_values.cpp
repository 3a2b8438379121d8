// Registry values as the UI tests set and check them: DWORDs and strings, listing and deleting
// values and key trees; every failure throws with the value's name.
#include "ui/driver/registry_values.h"

#include <stdexcept>

#include "ui/driver/text_convert.h"

namespace ui {

namespace {

void Check(LONG status, const char* what, const std::wstring& name) {
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " " + Utf8(name) + ": error " +
                                 std::to_string(status));
}

}  // namespace

framework::RegistryKey CreateKey(HKEY root, const std::wstring& path) {
    framework::RegistryKey key;
    if (!key.Create(root, path)) throw std::runtime_error("cannot create key " + Utf8(path));
    return key;
}

void SetDword(const framework::RegistryKey& key, const std::wstring& name, DWORD value) {
    Check(RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&value), sizeof value),
          "RegSetValueEx", name);
}

void SetString(const framework::RegistryKey& key, const std::wstring& name,
               const std::wstring& value) {
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    Check(RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(value.c_str()), bytes),
          "RegSetValueEx", name);
}

std::optional<DWORD> GetDword(const framework::RegistryKey& key, const std::wstring& name) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

std::vector<std::wstring> ValueNames(const framework::RegistryKey& key) {
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

void DeleteAllValues(const framework::RegistryKey& key) {
    for (const std::wstring& name : ValueNames(key))
        Check(RegDeleteValueW(key.get(), name.c_str()), "RegDeleteValue", name);
}

void DeleteKeyTree(HKEY root, const std::wstring& path) {
    const LONG status = RegDeleteTreeW(root, path.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        Check(status, "RegDeleteTree", path);
    RegDeleteKeyW(root, path.c_str());
}

}  // namespace ui
