#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace framework {

// A float as an edit control shows it: at most six significant digits, so 0.7f
// reads "0.7" and not its binary neighbour.
std::wstring FormatFloat(float value);

// The number an edit control holds: optional blanks, a decimal number, optional
// blanks. Empty text, other trailing characters and values that are not finite
// as a float are refused.
std::optional<float> ParseFloat(std::wstring_view text);

}  // namespace framework
