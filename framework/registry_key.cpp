// Opens or creates a registry key and closes it again, for the settings and the port list.
#include "registry_key.h"

namespace framework {

bool RegistryKey::Open(HKEY root, const std::wstring& path, REGSAM access) {
    Close();
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return false;
    key_ = key;
    return true;
}

bool RegistryKey::Create(HKEY root, const std::wstring& path) {
    Close();
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    key_ = key;
    return true;
}

void RegistryKey::Close() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
}

}  // namespace framework
