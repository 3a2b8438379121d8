// Floats in edit controls: shown with six significant digits, so 0.7f reads "0.7"; read back
// only from a whole decimal number that is finite as a float.
#include "float_text.h"

#include <cmath>
#include <cwchar>
#include <cwctype>

namespace framework {

std::wstring FormatFloat(float value) {
    wchar_t text[32];
    std::swprintf(text, sizeof text / sizeof text[0], L"%.*g", 6, static_cast<double>(value));
    return text;
}

std::optional<float> ParseFloat(std::wstring_view text) {
    const std::wstring copy(text);
    const wchar_t* begin = copy.c_str();
    wchar_t* end = nullptr;
    const double value = std::wcstod(begin, &end);
    if (end == begin) return std::nullopt;
    for (; *end != L'\0'; ++end) {
        if (!std::iswspace(*end)) return std::nullopt;
    }
    const float narrowed = static_cast<float>(value);
    if (!std::isfinite(value) || !std::isfinite(narrowed)) return std::nullopt;
    return narrowed;
}

}  // namespace framework
