#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/registry_key.h"

namespace ui {

// Registry values as the tests set and check them, on framework's key. Every
// failure throws with the value's name, so that a test says what went wrong.

// Opens the key for writing, creating it and its parents when missing.
framework::RegistryKey CreateKey(HKEY root, const std::wstring& path);

void SetDword(const framework::RegistryKey& key, const std::wstring& name, DWORD value);
void SetString(const framework::RegistryKey& key, const std::wstring& name,
               const std::wstring& value);
// Null when the value is missing or not a DWORD.
std::optional<DWORD> GetDword(const framework::RegistryKey& key, const std::wstring& name);
std::vector<std::wstring> ValueNames(const framework::RegistryKey& key);
void DeleteAllValues(const framework::RegistryKey& key);

// Removes the key with all its subkeys; nothing happens when it is missing.
void DeleteKeyTree(HKEY root, const std::wstring& path);

}  // namespace ui
