#pragma once
// Where the knife will cut, measured on the stream before its first byte is
// sent: the box of every pen-down line in the cutter's frame (the stream's
// port shift taken off), so that the user sees the cut's size and place on
// the sheet, and a cut that would not fit can be refused.
#include <cstdint>
#include <string>

#include "engine/platform/output_file.h"
#include "hpgl/scaling.h"

struct CutBox {
    bool any = false;                                // false: nothing is cut
    int64_t minX = 0, minY = 0, maxX = 0, maxY = 0;  // plotter units
};

// Reads the stream back through its handle.
SystemError MeasureCut(const OutputFile& stream, CutBox& box);

// "cutting 100.0 × 50.0 mm at 1.0, 1.0", or "nothing to cut".
std::string CutBoxText(const CutBox& box);

// "" when the cut lies within `sheet` (plotter units from the origin), else
// how far it reaches, for the refusal.
std::string BeyondSheet(const CutBox& box, HpglPoint sheet);
