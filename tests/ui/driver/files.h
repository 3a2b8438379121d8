#pragma once
#include <optional>
#include <string>
#include <vector>

namespace ui {

// The Windows name of a Unix path (through drive Z:, which Wine maps to /).
std::wstring WindowsPathOf(const std::string& unixPath);

// An environment variable that the UI test wrapper sets; throws when missing.
std::string RequiredEnv(const char* name);

// Empties the folder (creating it when missing).
void ResetFolder(const std::wstring& folder);
void CopyFileTo(const std::wstring& from, const std::wstring& to);

bool FileExists(const std::wstring& path);
// The names of the files and folders in `folder`, sorted.
std::vector<std::wstring> FolderEntries(const std::wstring& folder);
void WriteBytes(const std::wstring& path, const std::string& bytes);
void AppendBytes(const std::wstring& path, const std::string& bytes);
// Null when the file cannot be read.
std::optional<std::string> ReadBytes(const std::wstring& path);

}  // namespace ui
