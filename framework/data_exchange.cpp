// Moves check box states and decimal edit texts between a dialog's controls and its members;
// text that is no number is refused and its member keeps its value.
#include "data_exchange.h"

#include <string>

#include "float_text.h"

namespace framework {

void DataExchange::Check(int id, int32_t& value) {
    if (saving_) {
        value = IsDlgButtonChecked(dialog_, id) == BST_CHECKED ? 1 : 0;
    } else {
        CheckDlgButton(dialog_, id, value != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
}

void DataExchange::Text(int id, float& value) {
    if (!saving_) {
        SetDlgItemTextW(dialog_, id, FormatFloat(value).c_str());
        return;
    }
    HWND item = GetDlgItem(dialog_, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
    if (auto parsed = ParseFloat(text)) {
        value = *parsed;
    } else {
        failed_ = true;
    }
}

void DataExchange::Control(int id, Window& control) {
    if (control.hwnd() == nullptr) control.Attach(GetDlgItem(dialog_, id));
}

}  // namespace framework
