#pragma once
// General HPGL in: plot files from other programs put many points in one
// command (PD10,10,20,20;), write bare PU; or PA/PR, and carry instructions
// such as DF; that the engine's own reading would take for pen moves. This
// reader turns such a file into the engine's input: one pen command per
// point, in absolute plotter units.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "hpgl_scaling.h"

struct HpglReading {
    // "IN;" and then "PU<x>,<y>;" / "PD<x>,<y>;", one per point.
    std::string penCommands;
    size_t points = 0;
    // Instructions not honoured, by name; a label's text and stray characters
    // count under their instruction or as "?", a polygon never edged nor
    // filled (and so not cut) under "PM".
    std::map<std::string, size_t> skipped;
    // Points that fall outside 32-bit plotter units and a lone x without its y.
    size_t pointsDropped = 0;
    // Why the file cannot be cut at its size ("" when it can); reading stops there.
    std::string refused;

    size_t SkippedCount() const;
    // "DF 1, VS 2", or "" when nothing was skipped.
    std::string SkippedText() const;
};

// Reads IN, SP, PU, PD, PA and PR, each with any number of coordinate pairs,
// separated by commas or blanks, between any whitespace and line breaks; an
// instruction ends at ';' or where the next one begins. PU and PD without
// pairs only lift or lower the pen; PA and PR choose absolute or relative
// coordinates and move with the pen as it is.
// `plotArea` (plotter units) places drawings whose scaling depends on the device.
HpglReading ReadHpgl(std::string_view hpgl, std::optional<HpglPoint> plotArea = std::nullopt);

// Reads the HPGL file `from` and writes its pen commands to `to`. False with
// a one-line problem when either file fails.
bool WriteHpglAsPenCommands(const std::filesystem::path& from, const std::filesystem::path& to,
                            HpglReading& reading, std::string& problem,
                            std::optional<HpglPoint> plotArea = std::nullopt);
