#pragma once
#include <windows.h>

#include <string>
#include <utility>

namespace framework {

// An open registry key, closed by the destructor.
class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    ~RegistryKey() { Close(); }

    // Opens an existing key; false when it is missing or not readable.
    bool Open(HKEY root, const std::wstring& path, REGSAM access = KEY_READ);
    // Opens the key for writing, creating it and its parents as needed.
    bool Create(HKEY root, const std::wstring& path);
    void Close();

    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};

}  // namespace framework
