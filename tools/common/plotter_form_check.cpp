// Finds what the plain reading of a drawing would take differently from a plotter: pen
// commands with several points, in lower case or with decimals, instructions that place or
// draw, text that the plain reading would take for pen commands, device escapes.
#include "plotter_form_check.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// A coordinate pair with blanks fits well within this; more is judged by its start.
constexpr size_t kKeptParameters = 64;
// The plain reading keeps a pen command's first 30 characters from its letter.
constexpr size_t kLongestPlainCommand = 30;
constexpr char kEndOfText = '\003';  // ends a label
constexpr char kEscape = '\033';

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsNumberByte(char c) {
    return (c >= '0' && c <= '9') || c == ',' || c == '-' || c == '+' || c == '.' || c == ' ';
}

// Instructions that a plotter follows but the plain reading skips: placing,
// scaling, relative coordinates, arcs, circles, rectangles, polygons, encoded
// polylines, ticks and symbols.
bool AlwaysMisread(const std::string& name) {
    for (const char* always : {"PR", "PE", "PM", "XT", "YT"})
        if (name == always) return true;
    return false;
}
bool MisreadWithParameters(const std::string& name) {
    for (const char* placing : {"PA", "IP", "IR", "SC", "IW", "RO", "AA", "AR", "CI", "EA",
                                "ER", "RA", "RR", "EW", "WG", "AT", "RT", "BR", "BZ", "SM"})
        if (name == placing) return true;
    return false;
}

struct Coordinates {
    int count = 0;
    bool readable = true;    // numbers, blanks and commas only, in their places
    bool commaSplit = true;  // a pair split by one comma, as the plain reading wants
    bool fraction = false;   // a decimal with digits after its point that are not 0
};

Coordinates ReadCoordinates(std::string_view text) {
    Coordinates read;
    int commasBefore = 0;  // commas since the last number
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (IsBlank(c)) {
            ++i;
        } else if (c == ',') {
            ++commasBefore;
            ++i;
        } else {
            size_t end = i;
            if (text[end] == '+' || text[end] == '-') ++end;
            const size_t digits = end;
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
            bool hasDigit = end > digits;
            if (end < text.size() && text[end] == '.') {
                for (++end;
                     end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]));
                     ++end) {
                    hasDigit = true;
                    if (text[end] != '0') read.fraction = true;
                }
            }
            if (!hasDigit) {
                read.readable = false;
                return read;
            }
            if (read.count == 0 ? commasBefore != 0 : commasBefore > 1) read.readable = false;
            if (read.count == 1 && commasBefore == 0) read.commaSplit = false;
            ++read.count;
            commasBefore = 0;
            i = end;
        }
    }
    if (commasBefore != 0) read.readable = false;
    return read;
}

}  // namespace

void PlotterFormScan::Feed(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size() && !found()) {
        // Numbers and their separators, most of a drawing, are taken as a run.
        if (state_ == State::Parameters) {
            size_t end = i;
            while (end < bytes.size() && IsNumberByte(bytes[end])) ++end;
            if (end > i) {
                KeepParameters(bytes.substr(i, end - i));
                position_ += end - i;
                i = end;
                continue;
            }
        }
        Take(bytes[i]);
        ++position_;
        ++i;
    }
}

void PlotterFormScan::KeepParameters(std::string_view text) {
    if (parameters_.size() + text.size() <= kKeptParameters) {
        parameters_ += text;
        return;
    }
    parameters_ += text.substr(0, kKeptParameters - std::min(kKeptParameters, parameters_.size()));
    parameters_.resize(kKeptParameters);
    parameters_ += '\0';  // marks text cut off; never read as a digit
}

void PlotterFormScan::End() {
    if (found()) return;
    if (state_ == State::Name || state_ == State::Parameters) EndInstruction(false);
    state_ = State::Between;
}

void PlotterFormScan::Take(char c) {
    switch (state_) {
        case State::Label:
            if (c == kEndOfText) state_ = State::Between;
            // The plain reading starts a pen command at any upper-case U or D.
            else if (c == 'U' || c == 'D')
                Found("a label whose text holds '" + std::string(1, c) +
                      "', which the plain reading takes for a pen command");
            return;
        case State::Name:
            if (IsLetter(c)) {
                name_[1] = c;
                const bool label = std::toupper(name_[0]) == 'L' && std::toupper(c) == 'B';
                state_ = label ? State::Label : State::Parameters;
                return;
            }
            state_ = State::Parameters;  // a one-letter command, as in "U12,34;"
            break;
        case State::Parameters:
        case State::Between: break;
    }
    if (c == kEscape) {
        if (state_ == State::Parameters) EndInstruction(false);
        start_ = position_;
        if (!found()) Found("a device escape (ESC), which the plain reading does not skip");
        return;
    }
    if (state_ == State::Parameters) {
        if (c == ';') {
            EndInstruction(true);
            state_ = State::Between;
        } else if (IsLetter(c)) {
            EndInstruction(false);
            if (!found()) StartInstruction(c);
        } else {
            KeepParameters({&c, 1});
        }
        return;
    }
    if (IsLetter(c)) StartInstruction(c);
}

void PlotterFormScan::StartInstruction(char c) {
    start_ = position_;
    name_[0] = c;
    name_[1] = '\0';
    parameters_.clear();
    state_ = State::Name;
}

void PlotterFormScan::EndInstruction(bool terminated) {
    const char first = name_[0];
    const char second = name_[1];
    if ((first == 'P' || first == 'p') &&
        (second == 'U' || second == 'u' || second == 'D' || second == 'd')) {
        if (first == 'p' || second == 'u' || second == 'd') {
            Found(std::string("a pen command in lower case (") + name_ +
                  "), which the plain reading skips");
            return;
        }
        JudgePenCommand(terminated, second == 'D');
        return;
    }
    if (second == '\0' && (first == 'U' || first == 'D')) {
        JudgePenCommand(terminated, first == 'D');
        return;
    }
    const std::string written = name_;
    std::string upper;
    for (const char c : written) upper += static_cast<char>(std::toupper(c));
    if (written.find_first_of("UD") != std::string::npos)
        Found(written + ", which the plain reading takes for a pen command");
    else if (AlwaysMisread(upper))
        Found(upper + ", which the plain reading skips");
    else if (MisreadWithParameters(upper) &&
             parameters_.find_first_not_of(" \t\n\v\f\r,") != std::string::npos)
        Found(upper + " with parameters, which the plain reading skips");
}

void PlotterFormScan::JudgePenCommand(bool terminated, bool down) {
    const bool cutOff = parameters_.size() > kKeptParameters;
    // Text cut off is judged up to its last separator: many points read as many.
    const std::string_view text = parameters_;
    const Coordinates read =
        ReadCoordinates(cutOff ? text.substr(0, text.find_last_of(", ")) : text);
    std::string problem;
    if (!read.readable)
        problem = " with text that is not a coordinate pair";
    else if (cutOff && read.count >= 2)
        problem = " with many coordinate pairs, which the plain reading takes for one point";
    else if (cutOff)
        problem = " with text that is not a coordinate pair";
    else if (read.count == 0)
        problem = std::string(" without coordinates, which the plain reading takes for ") +
                  (down ? "a cut" : "a move") + " to 0,0";
    else if (read.count == 1)
        problem = " with an x but no y";
    else if (read.count > 2)
        problem = " with " + std::to_string(read.count / 2) + (read.count % 2 == 0 ? "" : "+") +
                  " coordinate pairs, which the plain reading takes for one point";
    else if (!read.commaSplit)
        problem = " with its x and y apart by a blank, which the plain reading takes for x";
    else if (read.fraction)
        problem = " with decimals, which the plain reading cuts off at the point";
    else if (!terminated)
        problem = " without its ';', which the plain reading needs";
    else if (1 + parameters_.size() > kLongestPlainCommand)
        problem = " longer than the plain reading reads";
    if (problem.empty()) return;
    std::string quoted = name_;
    quoted += parameters_.size() > 20 ? parameters_.substr(0, 18) + "..." : parameters_;
    for (char& c : quoted)
        if (c < ' ' || c > '~') c = IsBlank(c) ? ' ' : '?';  // printable in a message
    Found(quoted + problem);
}

void PlotterFormScan::Found(std::string what) {
    if (found()) return;
    foundAt_ = start_;
    what_ = std::move(what);
}

std::string PlotterFormProblem(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (!file) return "cannot read " + path + ": " + std::strerror(errno);
    PlotterFormScan scan;
    char block[65536];
    size_t got;
    while (!scan.found() && (got = std::fread(block, 1, sizeof block, file.get())) > 0)
        scan.Feed({block, got});
    if (std::ferror(file.get())) return "cannot read " + path + ": " + std::strerror(errno);
    scan.End();
    if (!scan.found()) return "";
    return path + ": at byte " + std::to_string(scan.offset()) + ", " + scan.what() +
           ": it looks like HPGL from another program; add --hpgl to read it as a plotter "
           "does (or --plain to read it one point per pen command all the same)";
}
