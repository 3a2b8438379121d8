#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ui {

// An open registry key, closed by the destructor.
class RegKey {
public:
    // Opens the key, creating it and its parents when missing.
    static RegKey Create(HKEY root, const std::wstring& path);
    // Null when the key does not exist.
    static std::optional<RegKey> Open(HKEY root, const std::wstring& path);

    RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegKey& operator=(RegKey&&) = delete;
    RegKey(const RegKey&) = delete;
    ~RegKey();

    void SetDword(const std::wstring& name, DWORD value);
    void SetString(const std::wstring& name, const std::wstring& value);
    std::optional<DWORD> GetDword(const std::wstring& name) const;
    std::vector<std::wstring> ValueNames() const;
    void DeleteAllValues();

private:
    explicit RegKey(HKEY key) : key_(key) {}
    HKEY key_;
};

// Removes the key with all its subkeys; nothing happens when it is missing.
void DeleteKeyTree(HKEY root, const std::wstring& path);

}  // namespace ui
