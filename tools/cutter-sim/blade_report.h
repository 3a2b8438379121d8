#pragma once
// What cutter-sim tells of the blade: the summary's blade figures, the
// picture's layers (the axis's cuts dashed, the blade's cut bold, the drawing
// thin) and the drawing it measures against.
#include <string>
#include <vector>

#include "blade_trail.h"
#include "corner_miss.h"
#include "engine/platform/failure.h"
#include "svg_picture.h"

// Decodes the plain conversion of the drawing into `into` (or only checks it,
// with none); fails when it cannot be read or is not a clean cutter stream.
Failure ReadDrawing(const std::string& path, StrokeSink* into);

// " blade_mm=L" and, with a drawing, " corners=N corner_miss_mm=M" (or "none").
std::string BladeSummary(const BladeTrail& blade, const DrawingOutline* drawing);

std::vector<SvgLayer> BladeLayers(const BladeTrail& blade, const DrawingOutline* drawing);
