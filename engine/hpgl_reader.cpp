#include "hpgl_reader.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "hpgl_geometry.h"

namespace {

constexpr char kLabelEnd = '\x03';  // the default end of a label's text (ETX)

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// strchr would also find a NUL byte, as the set's own end.
bool Among(const char* set, char c) {
    return c != '\0' && std::strchr(set, c) != nullptr;
}

bool IsSeparator(char c) {
    return c == ',' || std::isspace(static_cast<unsigned char>(c)) != 0;
}

class HpglParser {
public:
    HpglParser(std::string_view text, std::optional<HpglPoint> plotArea)
        : text_(text), geometry_(plotArea, [this](HpglPoint p, bool down) { Point(p, down); }) {}

    HpglReading Run() {
        reading_.penCommands = "IN;";
        while (reading_.refused.empty() && SkipSpace()) {
            const char c = text_[at_];
            if (c == ';') {
                ++at_;
            } else if (IsLetter(c) && at_ + 1 < text_.size() && IsLetter(text_[at_ + 1])) {
                Instruction();
            } else {
                ++reading_.skipped["?"];
                SkipTo(";");
            }
        }
        geometry_.Finish();
        reading_.pointsDropped += geometry_.NumbersDropped();
        if (geometry_.UncutPolygons() > 0) reading_.skipped["PM"] += geometry_.UncutPolygons();
        return std::move(reading_);
    }

private:
    bool SkipSpace() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
        return at_ < text_.size();
    }

    // Moves past the next of `ends` (or to the end), consuming it.
    void SkipTo(const char* ends) {
        while (at_ < text_.size() && !Among(ends, text_[at_])) ++at_;
        if (at_ < text_.size()) ++at_;
    }

    void Instruction() {
        std::string name{
            static_cast<char>(std::toupper(static_cast<unsigned char>(text_[at_]))),
            static_cast<char>(std::toupper(static_cast<unsigned char>(text_[at_ + 1])))};
        at_ += 2;
        if (name == "LB") {  // a label's text may hold any character, ';' too
            ++reading_.skipped[name];
            SkipTo(std::string(1, kLabelEnd).c_str());
            return;
        }
        if (name == "PE") {  // encoded numbers: any byte up to the ';'
            const size_t start = at_;
            SkipTo(";");
            const size_t end = at_ > start && text_[at_ - 1] == ';' ? at_ - 1 : at_;
            if (!geometry_.EncodedPolyline(text_.substr(start, end - start)))
                reading_.refused = geometry_.Refusal();
            return;
        }
        if (!HpglGeometry::Honours(name)) {
            ++reading_.skipped[name];
            SkipParameters();
            return;
        }
        if (!geometry_.Instruction(name, Numbers())) reading_.refused = geometry_.Refusal();
    }

    // Parameters end at ';' or where the next instruction's letters begin.
    void SkipParameters() {
        while (at_ < text_.size() && text_[at_] != ';' && !IsLetter(text_[at_])) ++at_;
        if (at_ < text_.size() && text_[at_] == ';') ++at_;
    }

    std::vector<double> Numbers() {
        std::vector<double> numbers;
        for (;;) {
            while (at_ < text_.size() && IsSeparator(text_[at_])) ++at_;
            if (at_ >= text_.size()) break;
            if (text_[at_] == ';') {
                ++at_;
                break;
            }
            if (IsLetter(text_[at_])) break;
            // strtod needs a terminated string: copy the number's characters.
            size_t end = at_;
            while (end < text_.size() && Among("+-.0123456789eE", text_[end]) && end - at_ < 40)
                ++end;
            const std::string digits(text_.substr(at_, end - at_));
            char* stop = nullptr;
            const double value = std::strtod(digits.c_str(), &stop);
            if (stop == digits.c_str()) {  // not a number: the rest of this instruction is lost
                ++reading_.skipped["?"];
                SkipTo(";");
                break;
            }
            at_ += static_cast<size_t>(stop - digits.c_str());
            numbers.push_back(value);
        }
        return numbers;
    }

    void Point(HpglPoint p, bool down) {
        const double roundedX = std::nearbyint(p.x);
        const double roundedY = std::nearbyint(p.y);
        // Beyond 32 bits (or not a number) the engine could not read it back.
        const auto fits = [](double v) { return v >= INT32_MIN && v <= INT32_MAX; };
        if (!fits(roundedX) || !fits(roundedY)) {
            ++reading_.pointsDropped;
            return;
        }
        reading_.penCommands += down ? "PD" : "PU";
        reading_.penCommands += std::to_string(static_cast<int32_t>(roundedX));
        reading_.penCommands += ',';
        reading_.penCommands += std::to_string(static_cast<int32_t>(roundedY));
        reading_.penCommands += ';';
        ++reading_.points;
    }

    std::string_view text_;
    size_t at_ = 0;
    HpglReading reading_;
    HpglGeometry geometry_;
};

}  // namespace

size_t HpglReading::SkippedCount() const {
    size_t count = 0;
    for (const auto& entry : skipped) count += entry.second;
    return count;
}

std::string HpglReading::SkippedText() const {
    std::string text;
    for (const auto& [name, count] : skipped) {
        if (!text.empty()) text += ", ";
        text += name + " " + std::to_string(count);
    }
    return text;
}

HpglReading ReadHpgl(std::string_view hpgl, std::optional<HpglPoint> plotArea) {
    return HpglParser(hpgl, plotArea).Run();
}

bool WriteHpglAsPenCommands(const std::filesystem::path& from, const std::filesystem::path& to,
                            HpglReading& reading, std::string& problem,
                            std::optional<HpglPoint> plotArea) {
    std::string text;
    std::FILE* in = std::fopen(from.string().c_str(), "rb");
    if (in != nullptr) {
        char buffer[64 * 1024];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, got);
        const bool failed = std::ferror(in) != 0;
        std::fclose(in);
        if (failed) in = nullptr;
    }
    if (in == nullptr) {
        problem = "cannot read " + from.string() + ": " + std::strerror(errno);
        return false;
    }
    reading = ReadHpgl(text, plotArea);
    std::FILE* out = std::fopen(to.string().c_str(), "wb");
    const bool written =
        out != nullptr && std::fwrite(reading.penCommands.data(), 1, reading.penCommands.size(),
                                      out) == reading.penCommands.size();
    if (out == nullptr || std::fclose(out) != 0 || !written) {
        problem = "cannot write " + to.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
