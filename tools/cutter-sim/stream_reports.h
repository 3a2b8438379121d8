#pragma once
// What cutter-sim makes of a stream once it has been received, recorded and
// judged: the blade's measure and the picture. Each can fail on its own (a
// file, memory) without touching the stream's own verdict.
#include <optional>
#include <string>

#include "blade_trail.h"
#include "corner_miss.h"
#include "cut_summary.h"
#include "engine/platform/failure.h"
#include "sim_file.h"

struct BladeMeasure {
    std::optional<BladeTrail> blade;
    std::optional<DrawingOutline> drawing;  // with a drawing to measure against
    std::string summary;                    // " blade_mm=..." and the corners
};

// Follows a blade of `bladeMm` through the recorded stream and, with a
// drawing, measures how far its cut misses the drawing's sharp corners.
Failure MeasureBlade(SimFile& recorded, const CutSummary& received, double bladeMm,
                     const std::string& drawingPath, BladeMeasure& measure);

// Draws the recorded stream into `svgPath`, with the blade's layers over it
// when there is a measure.
Failure DrawPicture(SimFile& recorded, const CutSummary& received, const BladeMeasure* measure,
                    const std::string& svgPath);
