#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace framework {

// "Name|pattern|Name|pattern|" as the file dialogs want it: every '|' becomes a
// terminating zero, and the list ends with an extra one.
std::wstring TranslateFilter(std::wstring_view filter);

// The system's file-save dialog, modal to the main window. The full path the
// user chose, or nothing when the dialog was cancelled.
std::optional<std::wstring> AskSaveFileName(std::wstring_view filter, DWORD flags);

}  // namespace framework
