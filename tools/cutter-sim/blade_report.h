#pragma once
// What cutter-sim tells of the blade: the summary's blade figures, the
// picture's layers (the axis's cuts dashed, the blade's cut bold, the drawing
// thin) and the drawing it measures against.
#include <string>
#include <vector>

#include "blade_trail.h"
#include "corner_miss.h"
#include "svg_picture.h"

// Decodes the plain conversion of the drawing; false with a one-line problem
// when it cannot be read or is not a clean cutter stream.
bool ReadDrawing(const std::string& path, DrawingOutline& drawing, std::string& problem);

// " blade_mm=L" and, with a drawing, " corners=N corner_miss_mm=M" (or "none").
std::string BladeSummary(const BladeTrail& blade, const DrawingOutline* drawing);

std::vector<SvgLayer> BladeLayers(const BladeTrail& blade, const DrawingOutline* drawing);
