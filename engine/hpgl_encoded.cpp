// A PE number: digits least significant first, the last one marked as the
// terminator by its range; the lowest bit of the whole is the sign.
#include "hpgl_encoded.h"

#include <cmath>
#include <cstdint>

namespace {

class EncodedReader {
public:
    explicit EncodedReader(std::string_view bytes) : bytes_(bytes) {}

    HpglEncodedPolyline Run() {
        bool penUp = false;
        bool absolute = false;
        bool haveX = false;
        double x = 0;
        while (at_ < bytes_.size()) {
            const unsigned char c = static_cast<unsigned char>(bytes_[at_]);
            if (c == ':' || c == '>') {
                ++at_;
                double value = 0;
                if (!Number(value)) continue;
                if (c == '>' && std::fabs(value) <= kMostFractionBits)
                    scale_ = std::ldexp(1.0, -static_cast<int>(value));
            } else if (c == '<') {
                ++at_;
                penUp = true;
            } else if (c == '=') {
                ++at_;
                absolute = true;
            } else if (c == '7') {
                ++at_;
                base32_ = true;
            } else if (IsDigit(c)) {
                double value = 0;
                if (!Number(value)) continue;
                if (!haveX) {
                    x = value * scale_;
                    haveX = true;
                    continue;
                }
                result_.steps.push_back({x, value * scale_, penUp, absolute});
                haveX = false;
                penUp = false;
                absolute = false;
            } else {
                ++at_;  // spaces, line breaks and bytes outside the digits' ranges
            }
        }
        if (haveX) ++result_.numbersDropped;
        return std::move(result_);
    }

private:
    static constexpr int kMostFractionBits = 26;
    static constexpr int kMostDigits = 10;  // 60 bits in base 64: far beyond any plot

    bool IsDigit(unsigned char c) const {
        return c >= 63 && c <= (base32_ ? 126 : 254) && !IsGap(c);
    }
    bool IsGap(unsigned char c) const { return !base32_ && c > 126 && c < 191; }
    static bool IsFlag(unsigned char c) {
        return c == ':' || c == '<' || c == '>' || c == '=' || c == '7' || c == ';';
    }
    bool IsLast(unsigned char c) const { return c >= (base32_ ? 95 : 191); }

    // Reads one number; false (with the number counted as dropped) when it
    // has more digits than any coordinate or has no terminator.
    bool Number(double& value) {
        const int bits = base32_ ? 5 : 6;
        const unsigned first = 63;
        uint64_t magnitude = 0;
        int digits = 0;
        while (at_ < bytes_.size()) {
            const unsigned char c = static_cast<unsigned char>(bytes_[at_]);
            if (!IsDigit(c)) {
                if (IsFlag(c)) break;  // a flag where a digit should be: the number is cut off
                ++at_;                 // other bytes are ignored within a number as between
                continue;
            }
            ++at_;
            const bool last = IsLast(c);
            const unsigned digit = c - (last ? (base32_ ? 95u : 191u) : first);
            if (digits < kMostDigits) magnitude |= uint64_t{digit} << (bits * digits);
            ++digits;
            if (!last) continue;
            if (digits > kMostDigits) break;
            const double whole = static_cast<double>(magnitude >> 1);
            value = (magnitude & 1) != 0 ? -whole : whole;
            return true;
        }
        ++result_.numbersDropped;
        return false;
    }

    std::string_view bytes_;
    size_t at_ = 0;
    bool base32_ = false;
    double scale_ = 1;  // 2 to the minus the fractional digits
    HpglEncodedPolyline result_;
};

}  // namespace

HpglEncodedPolyline DecodeEncodedPolyline(std::string_view bytes) {
    return EncodedReader(bytes).Run();
}
