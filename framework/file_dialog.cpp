// The system's Save As dialog, owned by the main window, with room for long paths; and the
// '|'-separated filter turned into the zero-separated list it wants.
#include "framework/file_dialog.h"

#include <commdlg.h>

#include <vector>

#include "app.h"

namespace framework {

std::wstring TranslateFilter(std::wstring_view filter) {
    std::wstring result(filter);
    for (wchar_t& c : result) {
        if (c == L'|') c = L'\0';
    }
    result.push_back(L'\0');
    return result;
}

std::optional<std::wstring> AskSaveFileName(std::wstring_view filter, DWORD flags) {
    const std::wstring filters = TranslateFilter(filter);
    // Room for long paths, so a deep folder is not mistaken for a cancel.
    std::vector<wchar_t> path(32768, L'\0');
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = App::Current()->mainWindowHandle();
    request.hInstance = App::Current()->instance();
    request.lpstrFilter = filters.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = path.data();
    request.nMaxFile = static_cast<DWORD>(path.size());
    request.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!GetSaveFileNameW(&request)) return std::nullopt;
    return std::wstring(path.data());
}

}  // namespace framework
