// Reads knife offset and overcut by the tools' one length rule, in millimetres or in plotter
// units with "pu", says the rule when a value breaks it, and flags lengths no knife needs.
#include "length_option.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/length_units.h"

namespace {

// Far beyond any real knife offset or overcut; squares of lengths up to this
// many plotter units stay within the engine's 32-bit arithmetic.
constexpr int kMaxMillimetres = 1158;
constexpr int kMaxPlotterUnits = kMaxMillimetres * kUnitsPerMillimetre;
// A drag knife's offset is 0.25 to 1 mm; an overcut a few millimetres.
constexpr int32_t kLargestPlausibleOffset = 2 * kUnitsPerMillimetre;
constexpr int32_t kLargestPlausibleOvercut = 20 * kUnitsPerMillimetre;

bool PlainNumber(const char* text, size_t length) {
    bool digit = false;
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c != '.' && !(i == 0 && (c == '-' || c == '+')))
            return false;
    }
    return digit;
}

std::string Millimetres(int32_t units) {
    char text[32];
    std::snprintf(text, sizeof text, "%g mm", units / double{kUnitsPerMillimetre});
    return text;
}

}  // namespace

bool ParseLength(const char* text, int32_t& units) {
    size_t length = std::strlen(text);
    const bool plotterUnits = length > 2 && std::strcmp(text + length - 2, "pu") == 0;
    if (plotterUnits) length -= 2;
    if (!PlainNumber(text, length)) return false;
    const std::string number(text, length);
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (end == number.c_str() || *end != '\0' || errno != 0 || !(value >= 0)) return false;
    if (!plotterUnits) {
        if (value > kMaxMillimetres) return false;
        units = MillimetresToPlotterUnits(static_cast<float>(value));
        return true;
    }
    if (value > kMaxPlotterUnits || value != std::floor(value)) return false;
    units = static_cast<int32_t>(value);
    return true;
}

std::string LengthRule() {
    return "a length in millimetres from 0 to " + std::to_string(kMaxMillimetres) +
           " (or whole plotter units of 1/40 mm with pu, such as 20pu)";
}

std::string ImplausibleLength(LengthUse use, int32_t units) {
    const bool offset = use == LengthUse::KnifeOffset;
    if (units <= (offset ? kLargestPlausibleOffset : kLargestPlausibleOvercut)) return "";
    return Millimetres(units) +
           (offset ? " is no drag knife's offset (0.25 to 1 mm, at most 2)"
                   : " is more overcut than a cut needs (at most 20 mm)") +
           "; add --force if it is meant";
}
