// cutter-sim's report on the blade: its cut length and, against the plain drawing, how far it
// misses the sharp corners; and the picture's drawing, axis and blade layers.
#include "blade_report.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "receive_loop.h"
#include "sim_file.h"

namespace {

void AppendMm(std::string& path, char command, double xUnits, double yUnits) {
    char text[64];
    std::snprintf(text, sizeof text, "%c%.3f %.3f", command, xUnits / kUnitsPerMm,
                  yUnits / kUnitsPerMm);
    path += text;
}

// A drawing's line (whole units) or the blade's (fractions of a unit).
template <class Point>
void AppendPolyline(std::string& path, const std::vector<Point>& line) {
    for (size_t i = 0; i < line.size(); ++i)
        AppendMm(path, i == 0 ? 'M' : 'L', static_cast<double>(line[i].x),
                 static_cast<double>(line[i].y));
}

}  // namespace

Failure ReadDrawing(const std::string& path, StrokeSink* into) {
    // A device or a pipe need never end.
    std::error_code missing;
    const bool regular = std::filesystem::is_regular_file(path, missing);
    if (!missing && !regular) return Failure(path + ": not a regular file");
    SimFile file;
    if (Failure error = file.Open(path, "rb")) return error;
    StreamDecoder decoder(into);
    uint64_t bytes = 0;
    if (Failure error = file.Decode(decoder, bytes)) return error;
    if (!decoder.summary().Clean()) return Failure(path + ": not a complete cutter stream");
    return {};
}

std::string BladeSummary(const BladeTrail& blade, const DrawingOutline* drawing) {
    char text[96];
    std::snprintf(text, sizeof text, " blade_mm=%.3f", blade.cutLengthUnits() / kUnitsPerMm);
    std::string summary = text;
    if (drawing == nullptr) return summary;
    const std::vector<KnifePoint> corners = SharpCorners(drawing->lines());
    const std::optional<CornerMiss> miss =
        MeasureCornerMiss(corners, blade.cuts(), ReceiveStopRequested);
    if (!miss)
        return summary + " corners=" + std::to_string(corners.size()) + " corner_miss_mm=none";
    std::snprintf(text, sizeof text, " corners=%zu corner_miss_mm=%.3f", miss->corners,
                  miss->largestUnits / kUnitsPerMm);
    return summary + text;
}

std::vector<SvgLayer> BladeLayers(const BladeTrail& blade, const DrawingOutline* drawing) {
    std::vector<SvgLayer> layers;
    if (drawing != nullptr) {
        SvgLayer layer{"drawing", "stroke=\"#0a0\" stroke-width=\"0.05\"", ""};
        for (const auto& line : drawing->lines()) AppendPolyline(layer.path, line);
        layers.push_back(layer);
    }
    SvgLayer axis{"axis", "stroke=\"#36c\" stroke-width=\"0.08\" stroke-dasharray=\"0.4 0.3\"", ""};
    const KnifeStroke* previous = nullptr;
    for (const KnifeStroke& s : blade.axisCuts()) {
        const bool joined =
            previous != nullptr && previous->to.x == s.from.x && previous->to.y == s.from.y;
        if (!joined)
            AppendMm(axis.path, 'M', static_cast<double>(s.from.x), static_cast<double>(s.from.y));
        AppendMm(axis.path, 'L', static_cast<double>(s.to.x), static_cast<double>(s.to.y));
        previous = &s;
    }
    layers.push_back(axis);
    SvgLayer cut{"blade", "stroke=\"#000\" stroke-width=\"0.15\" stroke-linejoin=\"round\"", ""};
    for (const TipLine& line : blade.cuts()) AppendPolyline(cut.path, line);
    layers.push_back(cut);
    return layers;
}
