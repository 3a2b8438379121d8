#pragma once
#include <cstdint>

// Lengths as people give them and as a job takes them, shared by Drovane and
// cutsend. The dialog holds single-precision millimetres, the settings store
// integer hundredths of a millimetre, a job plotter units of 1/40 mm. Both
// integer forms round to the nearest unit: truncating would store 0.7 mm (a
// float just below 0.7) as 69 and lose a hundredth on every save.

// Plotter units in a millimetre: the one home of that fact.
inline constexpr int32_t kUnitsPerMillimetre = 40;

int32_t MillimetresToHundredths(float mm);
float HundredthsToMillimetres(int32_t hundredths);
int32_t MillimetresToPlotterUnits(float mm);
