// A PE number: digits least significant first, the last one marked as the
// terminator by its range; the lowest bit of the whole is the sign.
#include "hpgl/encoded.h"

#include <cmath>

namespace {

constexpr int kMostFractionBits = 26;
constexpr int kMostDigits = 10;  // 60 bits in base 64: far beyond any plot
constexpr unsigned kFirstDigit = 63;

bool IsFlag(unsigned char c) {
    return c == ':' || c == '<' || c == '>' || c == '=' || c == '7';
}

}  // namespace

bool HpglEncodedDecoder::IsDigit(unsigned char c) const {
    const bool gap = !base32_ && c > 126 && c < 191;
    return c >= kFirstDigit && c <= (base32_ ? 126 : 254) && !gap;
}

void HpglEncodedDecoder::Feed(unsigned char c, uint64_t index) {
    if (!problem_.empty()) return;
    if (IsDigit(c)) {
        Digit(c, index);
        return;
    }
    if (!IsFlag(c)) return;  // spaces, line breaks and bytes outside the digits' ranges
    if (digits_ > 0) return CutOff(index);
    numberFor_ = 0;
    if (c == ':' || c == '>') {
        numberFor_ = static_cast<char>(c);
    } else if (c == '<') {
        penUp_ = true;
    } else if (c == '=') {
        absolute_ = true;
    } else {
        base32_ = true;
    }
}

void HpglEncodedDecoder::Digit(unsigned char c, uint64_t index) {
    if (digits_ == 0) numberAt_ = index;
    const bool last = IsLast(c);
    const unsigned digit = c - (last ? (base32_ ? 95u : 191u) : kFirstDigit);
    if (digits_ == kMostDigits) {
        problem_ = "a number of more than " + std::to_string(kMostDigits) + " digits at byte " +
                   std::to_string(numberAt_);
        return;
    }
    magnitude_ |= uint64_t{digit} << ((base32_ ? 5 : 6) * digits_);
    ++digits_;
    if (!last) return;
    const uint64_t magnitude = magnitude_;
    magnitude_ = 0;
    digits_ = 0;
    const double whole = static_cast<double>(magnitude >> 1);
    Number((magnitude & 1) != 0 ? -whole : whole);
}

void HpglEncodedDecoder::Number(double value) {
    const char numberFor = numberFor_;
    numberFor_ = 0;
    if (numberFor == ':') return;
    if (numberFor == '>') {
        if (std::fabs(value) <= kMostFractionBits)
            scale_ = std::ldexp(1.0, -static_cast<int>(value));
        return;
    }
    if (!haveX_) {
        x_ = value * scale_;
        haveX_ = true;
        return;
    }
    haveX_ = false;
    const HpglEncodedStep step{x_, value * scale_, penUp_, absolute_};
    penUp_ = false;
    absolute_ = false;
    sink_(step);
}

void HpglEncodedDecoder::CutOff(uint64_t index) {
    problem_ = "a number cut off before its last digit at byte " + std::to_string(index);
}

void HpglEncodedDecoder::Finish() {
    if (!problem_.empty()) return;
    if (digits_ > 0) return CutOff(numberAt_);
    if (haveX_) ++lonelyX_;
    haveX_ = false;
}

HpglEncodedPolyline DecodeEncodedPolyline(std::string_view bytes) {
    HpglEncodedPolyline line;
    HpglEncodedDecoder decoder(
        [&line](const HpglEncodedStep& step) { line.steps.push_back(step); });
    for (size_t i = 0; i < bytes.size(); ++i) decoder.Feed(static_cast<unsigned char>(bytes[i]), i);
    decoder.Finish();
    line.problem = decoder.problem();
    line.numbersDropped = decoder.lonelyX();
    return line;
}
