// The tools' lines about an HPGL file: what was left out and why a file is refused.
#include "hpgl_report.h"

#include <string_view>

#include "hpgl/instruction_set.h"

namespace {

std::string Count(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Where the plotting area would place the drawing, for the instruction that needs it.
std::string_view PlacedByArea(std::string_view instruction) {
    if (instruction == "IR") return "IR places the drawing in the plotter's plotting area";
    return "SC without IP scales to the plotter's plotting area";
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

std::string HpglRefusalText(const HpglReading& reading) {
    const HpglRefusal& refused = reading.refused;
    switch (refused.reason()) {
        case HpglRefusal::Reason::None: return "";
        case HpglRefusal::Reason::NotRead: {
            const HpglInstruction* known = FindHpglInstruction(refused.instruction());
            const std::string_view draws = known != nullptr ? known->draws : "geometry";
            return "not cut: it uses " + refused.instruction() + " (" + std::string(draws) +
                   "), which is not read, and the cut would not have the drawing's shape or size";
        }
        case HpglRefusal::Reason::NeedsPlotArea:
            return "not cut: " + std::string(PlacedByArea(refused.instruction())) +
                   ": give its size with --plot-area WIDTHxHEIGHT (mm)";
        case HpglRefusal::Reason::CannotBeCut: return "not cut: " + refused.why();
    }
    return "";
}

bool ReportHpglReading(std::FILE* out, const char* tool, const std::string& file,
                       const HpglReading& reading, bool quiet) {
    const std::string refusal = HpglRefusalText(reading);
    if (!refusal.empty()) {
        std::fprintf(out, "%s: %s: %s\n", tool, file.c_str(), refusal.c_str());
        return false;
    }
    if (quiet) return true;
    for (const std::string& note : HpglNotes(reading))
        std::fprintf(out, "%s: %s: %s\n", tool, file.c_str(), note.c_str());
    return true;
}

bool ReportHpglReading(std::FILE* out, const char* tool, const HpglPassInput& input,
                       const JobOutcome& outcome, bool quiet) {
    switch (outcome.result) {
        case JobResult::InputUnreadable:
        case JobResult::InputChanged:
        case JobResult::Cancelled: return true;
        default: return ReportHpglReading(out, tool, input.file().string(), input.reading(), quiet);
    }
}
