// Lengths between the dialog's millimetres, the stored hundredths and plotter units (1/40 mm),
// rounded to nearest so that a saved value loads back unchanged.
#include "engine/length_units.h"

#include <cmath>
#include <limits>

namespace {

// Rounds half away from zero; values beyond 32 bits stop at the nearest end.
int32_t RoundToInt32(double value) {
    if (std::isnan(value)) return 0;
    const double rounded = std::round(value);
    if (rounded <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (rounded >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(rounded);
}

}  // namespace

int32_t MillimetresToHundredths(float mm) {
    return RoundToInt32(static_cast<double>(mm) * 100.0);
}

float HundredthsToMillimetres(int32_t hundredths) {
    return static_cast<float>(hundredths / 100.0);
}

int32_t MillimetresToPlotterUnits(float mm) {
    return RoundToInt32(static_cast<double>(mm) * kUnitsPerMillimetre);
}
