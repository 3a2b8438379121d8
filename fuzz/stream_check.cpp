// The fuzz targets' checks on the engine's output: a finished stream is header, lines exactly
// as printf prints them, and footer; and an independent atol reading by strtoll.
#include "stream_check.h"

#include <cstdio>
#include <cstdlib>

void CheckFailed(const char* what, const std::string& detail) {
    std::fprintf(stderr, "CHECK FAILED: %s %s\n", what, detail.c_str());
    std::abort();
}

namespace {

constexpr std::string_view kFooter = "U0,0;@;@;@;";

// "%d" of an int32: "0", or an optional '-' and digits without a leading zero.
int32_t ReadPrinted(std::string_view& text, std::string_view line) {
    size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) ++i;
    const size_t digits = i;
    int64_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - digits < 11)
        value = value * 10 + (text[i++] - '0');
    Check(i > digits, "number without digits", std::string(line));
    Check(text[digits] != '0' || i == digits + 1, "leading zero", std::string(line));
    Check(!(negative && value == 0), "negative zero", std::string(line));
    if (negative) value = -value;
    Check(value >= INT32_MIN && value <= INT32_MAX, "number beyond int32", std::string(line));
    text.remove_prefix(i);
    return static_cast<int32_t>(value);
}

}  // namespace

std::vector<OutputLine> ParseFinishedStream(std::string_view stream, std::string_view header) {
    Check(stream.substr(0, header.size()) == header, "header missing");
    Check(stream.size() >= header.size() + kFooter.size() &&
              stream.substr(stream.size() - kFooter.size()) == kFooter,
          "footer missing");
    std::string_view body =
        stream.substr(header.size(), stream.size() - header.size() - kFooter.size());
    std::vector<OutputLine> lines;
    while (!body.empty()) {
        const size_t end = body.find(';');
        Check(end != std::string_view::npos, "line without ';'");
        const std::string_view line = body.substr(0, end + 1);
        Check(line[0] == 'U' || line[0] == 'D', "line letter", std::string(line));
        std::string_view text = line.substr(1);
        OutputLine out{line[0], 0, 0};
        out.first = ReadPrinted(text, line);
        Check(!text.empty() && text[0] == ',', "comma", std::string(line));
        text.remove_prefix(1);
        out.second = ReadPrinted(text, line);
        Check(text == ";", "line end", std::string(line));
        lines.push_back(out);
        body.remove_prefix(end + 1);
    }
    return lines;
}

int32_t ReferenceNumber(std::string_view text) {
    const std::string copy(text);  // strtoll needs the terminator
    const long long v = std::strtoll(copy.c_str(), nullptr, 10);
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}
