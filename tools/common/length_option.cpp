// Reads knife offset and overcut by the tools' one length rule, in millimetres for cutsend
// and plotter units for cutconv, and says the rule when a value breaks it.
#include "length_option.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "length_units.h"

namespace {

// Far beyond any real knife offset or overcut; squares of lengths up to this
// many plotter units stay within the engine's 32-bit arithmetic.
constexpr int kMaxMillimetres = 1158;
constexpr int kMaxPlotterUnits = kMaxMillimetres * 40;

bool PlainNumber(const char* text) {
    bool digit = false;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c >= '0' && *c <= '9')
            digit = true;
        else if (*c != '.' && !(c == text && (*c == '-' || *c == '+')))
            return false;
    }
    return digit;
}

}  // namespace

bool ParseLength(const char* text, LengthUnit unit, int32_t& units) {
    if (!PlainNumber(text)) return false;
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || errno != 0 || !(value >= 0)) return false;
    if (unit == LengthUnit::Millimetres) {
        if (value > kMaxMillimetres) return false;
        units = MillimetresToPlotterUnits(static_cast<float>(value));
        return true;
    }
    if (value > kMaxPlotterUnits || value != std::floor(value)) return false;
    units = static_cast<int32_t>(value);
    return true;
}

std::string LengthRule(LengthUnit unit) {
    return unit == LengthUnit::Millimetres
               ? "a length in millimetres from 0 to " + std::to_string(kMaxMillimetres)
               : "a whole number of plotter units (1/40 mm) from 0 to " +
                     std::to_string(kMaxPlotterUnits);
}
