#include "registry.h"

#include <stdexcept>

#include "text_convert.h"

namespace ui {

namespace {

void Check(LONG status, const char* what, const std::wstring& name) {
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " " + Utf8(name) + ": error " +
                                 std::to_string(status));
}

}  // namespace

RegKey RegKey::Create(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    Check(
        RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        "RegCreateKeyEx", path);
    return RegKey(key);
}

std::optional<RegKey> RegKey::Open(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return std::nullopt;
    return RegKey(key);
}

RegKey::~RegKey() {
    if (key_ != nullptr) RegCloseKey(key_);
}

void RegKey::SetDword(const std::wstring& name, DWORD value) {
    Check(RegSetValueExW(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                         sizeof value),
          "RegSetValueEx", name);
}

void RegKey::SetString(const std::wstring& name, const std::wstring& value) {
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    Check(RegSetValueExW(key_, name.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(value.c_str()), bytes),
          "RegSetValueEx", name);
}

std::optional<DWORD> RegKey::GetDword(const std::wstring& name) const {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

std::vector<std::wstring> RegKey::ValueNames() const {
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumValueW(key_, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

void RegKey::DeleteAllValues() {
    for (const std::wstring& name : ValueNames())
        Check(RegDeleteValueW(key_, name.c_str()), "RegDeleteValue", name);
}

void DeleteKeyTree(HKEY root, const std::wstring& path) {
    const LONG status = RegDeleteTreeW(root, path.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        Check(status, "RegDeleteTree", path);
    RegDeleteKeyW(root, path.c_str());
}

}  // namespace ui
