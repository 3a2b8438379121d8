// The tools' first look at a drawing, through the engine's own input file: a drawing the
// engine could not read whole is refused with its reason before anything is written.
#include "drawing_check.h"

#include "engine/platform/input_file.h"

std::string DrawingProblem(const std::string& path) {
    InputFile drawing;  // opens without blocking, reads nothing yet
    const SystemError why = drawing.Open(path);
    if (!why) return "";
    return "cannot read " + path + ": " + why.Message();
}
