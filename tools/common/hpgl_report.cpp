// The tools' lines about an HPGL file: what was left out and why a file is refused.
#include "hpgl_report.h"

#include <string_view>
#include <utility>

namespace {

std::string Count(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// What a refused instruction draws or changes, for the user who meets it.
std::string_view WhatItDoes(std::string_view name) {
    static constexpr std::pair<std::string_view, std::string_view> kMeanings[] = {
        {"AA", "an arc"},
        {"AR", "an arc"},
        {"AT", "an arc"},
        {"RT", "an arc"},
        {"BR", "Bezier curves"},
        {"BZ", "Bezier curves"},
        {"CI", "a circle"},
        {"EA", "a rectangle"},
        {"ER", "a rectangle"},
        {"RA", "a filled rectangle"},
        {"RR", "a filled rectangle"},
        {"EW", "a wedge"},
        {"WG", "a filled wedge"},
        {"EP", "a polygon"},
        {"FP", "a filled polygon"},
        {"PM", "polygons"},
        {"PE", "encoded lines"},
        {"IP", "scaling points"},
        {"IR", "scaling points"},
        {"SC", "scaling"},
        {"RO", "rotation"},
        {"IW", "a clipping window"},
        {"XT", "tick marks"},
        {"YT", "tick marks"}};
    for (const auto& [instruction, meaning] : kMeanings)
        if (instruction == name) return meaning;
    return "geometry";
}

}  // namespace

std::vector<std::string> HpglNotes(const HpglReading& reading) {
    std::vector<std::string> notes;
    if (reading.SkippedCount() > 0) notes.push_back("skipped " + reading.SkippedText());
    if (reading.strayCharacters > 0)
        notes.push_back(
            "skipped " +
            Count(reading.strayCharacters, "character that begins", "characters that begin") +
            " no instruction, the first " + reading.FirstStrayText());
    if (reading.numbersOutside > 0)
        notes.push_back("dropped " + Count(reading.numbersOutside, "number", "numbers") +
                        " after the end of an instruction");
    if (reading.pointsOutOfRange > 0)
        notes.push_back("dropped " + Count(reading.pointsOutOfRange, "point", "points") +
                        " outside the 32-bit range");
    if (reading.pointsTooFarApart > 0)
        notes.push_back("dropped " + Count(reading.pointsTooFarApart, "point", "points") +
                        " too far from the rest of the drawing for 32-bit plotter units");
    if (reading.unpairedCoordinates > 0)
        notes.push_back("dropped " +
                        Count(reading.unpairedCoordinates, "coordinate", "coordinates") +
                        " without a second one to pair with");
    if (reading.labels > 0)
        notes.push_back(Count(reading.labels, "label", "labels") +
                        " not cut: text must be turned into paths first (in Inkscape, "
                        "Path > Object to Path)");
    return notes;
}

std::string HpglRefusal(const HpglReading& reading) {
    if (reading.refused.empty()) return "";
    // A whole reason (the geometry's) rather than an instruction's name.
    if (reading.refused.size() > 2) return "not cut: " + reading.refused;
    return "not cut: it uses " + reading.refused + " (" + std::string(WhatItDoes(reading.refused)) +
           "), which is not read, and the cut would not have the drawing's shape or size";
}

bool ReportHpglReading(std::FILE* out, const char* tool, const std::string& file,
                       const HpglReading& reading, bool quiet) {
    const std::string refusal = HpglRefusal(reading);
    if (!refusal.empty()) {
        std::fprintf(out, "%s: %s: %s\n", tool, file.c_str(), refusal.c_str());
        return false;
    }
    if (quiet) return true;
    for (const std::string& note : HpglNotes(reading))
        std::fprintf(out, "%s: %s: %s\n", tool, file.c_str(), note.c_str());
    return true;
}
