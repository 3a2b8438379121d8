#pragma once
// Encoded polylines (PE): HP-GL/2 packs a polyline's numbers into base-64
// (or, in 7-bit mode, base-32) digits, with flags before each pair. Decoded
// byte by byte as the line is read, so that a line of any length costs no
// memory.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct HpglEncodedStep {
    double x = 0;
    double y = 0;
    bool penUp = false;     // '<' before the pair; pen down otherwise
    bool absolute = false;  // '=' before the pair; relative otherwise
};

// Flags: ':' pen number (read and ignored: one knife), '<' pen up, '>'
// fractional binary digits, '=' absolute, '7' base 32. Bytes that are no
// digit are ignored.
class HpglEncodedDecoder {
public:
    using StepSink = std::function<void(const HpglEncodedStep&)>;
    explicit HpglEncodedDecoder(StepSink sink) : sink_(std::move(sink)) {}

    // One byte of PE's parameters (those between "PE" and its ';'), the
    // `index`th of them.
    void Feed(unsigned char c, uint64_t index);
    // The ';' or the end of the input: a number left unfinished is a problem.
    void Finish();

    // Why the line cannot be read as written: a number of more digits than
    // any coordinate, or one cut off before its last digit ("" when none).
    // The decoder hands on nothing more after one.
    const std::string& problem() const { return problem_; }
    size_t lonelyX() const { return lonelyX_; }  // an x without its y at the end

private:
    bool IsDigit(unsigned char c) const;
    bool IsLast(unsigned char c) const { return c >= (base32_ ? 95 : 191); }
    void Digit(unsigned char c, uint64_t index);
    void Number(double value);
    void CutOff(uint64_t index);

    StepSink sink_;
    bool base32_ = false;
    double scale_ = 1;  // 2 to the minus the fractional digits
    bool penUp_ = false;
    bool absolute_ = false;
    bool haveX_ = false;
    double x_ = 0;
    // The number being read, and what it is for: a pair's coordinate, or the
    // parameter of ':' or '>'.
    char numberFor_ = 0;
    uint64_t magnitude_ = 0;
    int digits_ = 0;
    uint64_t numberAt_ = 0;
    std::string problem_;
    size_t lonelyX_ = 0;
};

// The whole line at once, for tests: the steps, and the problem if any.
struct HpglEncodedPolyline {
    std::vector<HpglEncodedStep> steps;
    std::string problem;
    size_t numbersDropped = 0;
};
HpglEncodedPolyline DecodeEncodedPolyline(std::string_view bytes);
