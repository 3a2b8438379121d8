#pragma once
#include <string>

namespace ui {

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

}  // namespace ui
