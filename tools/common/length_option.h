#pragma once
// Knife offset and overcut as both tools take them, by one rule: a plain
// decimal number, never negative, at most 1158 mm. cutsend takes millimetres
// (rounded to plotter units as Drovane's dialog does), cutconv plotter units
// of 1/40 mm (whole numbers).
#include <cstdint>
#include <string>

enum class LengthUnit { Millimetres, PlotterUnits };

// False when `text` is no such length.
bool ParseLength(const char* text, LengthUnit unit, int32_t& units);

// "a length in millimetres from 0 to 1158", for the problem a tool prints.
std::string LengthRule(LengthUnit unit);
