#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Checks on the engine's output for the fuzz targets. A failed check aborts
// with a message, which libFuzzer reports as a crash with the input saved.

struct OutputLine {
    char letter;     // 'U' or 'D'
    int32_t first;   // y (plus the port shift in port mode)
    int32_t second;  // x (plus the port shift in port mode)
};

[[noreturn]] void CheckFailed(const char* what, const std::string& detail);

inline void Check(bool holds, const char* what, const std::string& detail = {}) {
    if (!holds) CheckFailed(what, detail);
}

// Splits a finished stream: the header, then only lines "U%d,%d;" or
// "D%d,%d;" exactly as printf prints an int32, then the footer. Any other
// byte fails the check.
std::vector<OutputLine> ParseFinishedStream(std::string_view stream, std::string_view header);

// An independent reading of a number by the rules of atol, with values beyond
// int32 saturated: strtoll on a copy of the text.
int32_t ReferenceNumber(std::string_view text);
