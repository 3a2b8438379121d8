// Save .PLT's file name: ".PLT" is appended unless the chosen path ends in .plt in any case.
#include "save_path.h"

#include <algorithm>

std::wstring WithPlotExtension(std::wstring path) {
    const std::wstring_view extension = L".PLT";
    const size_t tailLength = std::min(path.size(), extension.size());
    std::wstring tail = path.substr(path.size() - tailLength);
    for (wchar_t& c : tail) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    if (tail != extension) path += extension;
    return path;
}
