// Reads a plotting area's size, "250x180" in millimetres, into plotter units.
#include "plot_area_option.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/length_units.h"

namespace {

constexpr double kLargestAreaMm = 100000;  // 100 m: beyond any roll

bool ReadLength(std::string_view text, double& mm) {
    const std::string copy(text);
    char* end = nullptr;
    mm = std::strtod(copy.c_str(), &end);
    return !copy.empty() && end == copy.c_str() + copy.size() && std::isfinite(mm) && mm > 0 &&
           mm <= kLargestAreaMm;
}

}  // namespace

bool ParsePlotArea(std::string_view text, HpglPoint& units) {
    const size_t x = text.find_first_of("xX");
    double width = 0;
    double height = 0;
    if (x == std::string_view::npos || !ReadLength(text.substr(0, x), width) ||
        !ReadLength(text.substr(x + 1), height))
        return false;
    units = {width * kUnitsPerMillimetre, height * kUnitsPerMillimetre};
    return true;
}
