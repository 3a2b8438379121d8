#pragma once
// The tools' first look at a drawing: refused at once, before any scratch or
// output file exists, when the engine could not read it whole.
#include <string>

// "" when `path` is a readable regular file below 4 GiB, else the problem:
// "cannot read x.plt: not a regular file (a FIFO, a device)".
std::string DrawingProblem(const std::string& path);
