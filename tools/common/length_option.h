#pragma once
// Knife offset and overcut as both tools take them, by one rule: millimetres,
// as in Drovane's dialog ("0.25", rounded to plotter units the dialog's way),
// or whole plotter units of 1/40 mm with the suffix "pu" ("20pu"); never
// negative, at most 1158 mm. Beyond what a drag knife ever needs, a length is
// refused unless the user says it is meant (--force).
#include <cstdint>
#include <string>

// False when `text` is no such length.
bool ParseLength(const char* text, int32_t& units);

// "a length in millimetres from 0 to 1158, ...", for the problem a tool prints.
std::string LengthRule();

enum class LengthUse { KnifeOffset, Overcut };

// "" when `units` is a plausible length for `use`, else why not and that
// --force takes it all the same, for "TOOL: --offset ...".
std::string ImplausibleLength(LengthUse use, int32_t units);
