#pragma once
#include <cstdint>
#include <filesystem>

// Plot files for the benchmarks, written in pieces so the writer's own memory
// stays small whatever the size.

// A drawing as exporters write it: an "IN;SP1;" header, then closed polygons
// and stars (sharp corners), closed ellipses and open curves, one contour a
// line, "PU x,y;" followed by "PD x,y;" commands. Deterministic for a seed.
bool WriteDrawing(const std::filesystem::path& path, uint64_t bytes, uint32_t seed = 1);

// Command letters without a single ';': nothing in it is a whole command.
bool WriteLettersWithoutEnd(const std::filesystem::path& path, uint64_t bytes);

// One endless command: "U" and then digits, with a ';' at the very end or none.
bool WriteEndlessCommand(const std::filesystem::path& path, uint64_t bytes, bool closed);
