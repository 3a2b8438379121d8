#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cut_summary.h"

// The port shift the cutter takes off each point: added to y and written
// first, added to x and written second. The engine has these numbers too
// (engine/move_writer.h); the simulator keeps its own copy on purpose, so that
// it checks the engine's stream against the cutter's rule rather than against
// the engine's own constants.
inline constexpr int64_t kSimShiftFirst = 1832;
inline constexpr int64_t kSimShiftSecond = 1524;

// One straight run of the knife: a cut ("D" line) or a pen-up move ("U" line).
struct KnifeStroke {
    KnifePoint from;
    KnifePoint to;
    bool cut;
};

class StrokeSink {
public:
    virtual ~StrokeSink() = default;
    virtual void Stroke(const KnifeStroke& stroke) = 0;
    // A pen-up move begins a contour, the first line's included (which has no
    // stroke, since where the knife stood before it is unknown).
    virtual void ContourBegins(KnifePoint) {}
    // Another job begins on the same line (cutter-sim --jobs).
    virtual void JobBegins() {}
};

// Hands every stroke to each of several sinks.
class StrokeFanOut : public StrokeSink {
public:
    void Add(StrokeSink* sink) { sinks_.push_back(sink); }
    void Stroke(const KnifeStroke& stroke) override {
        for (StrokeSink* sink : sinks_) sink->Stroke(stroke);
    }
    void ContourBegins(KnifePoint at) override {
        for (StrokeSink* sink : sinks_) sink->ContourBegins(at);
    }
    void JobBegins() override {
        for (StrokeSink* sink : sinks_) sink->JobBegins();
    }

private:
    std::vector<StrokeSink*> sinks_;
};

// What the receive loop hands the bytes to: one stream's decoder, or a
// sequence of jobs.
class StreamConsumer {
public:
    virtual ~StreamConsumer() = default;
    // Takes bytes and returns how many it took (fewer once it has finished).
    virtual size_t Feed(const char* data, size_t n) = 0;
    // The input has ended: whatever is held back is settled.
    virtual void EndOfStream() = 0;
    // Nothing more is wanted.
    virtual bool finished() const = 0;
};

// Decodes a cutter stream as it arrives, in pieces of any size: the header
// ("CDR;" with the port shift, "IN;" without), the lines "U%d,%d;" and
// "D%d,%d;" (first number y, second x) and the footer "U0,0;@;@;@;".
class StreamDecoder : public StreamConsumer {
public:
    explicit StreamDecoder(StrokeSink* sink = nullptr) : sink_(sink) {}

    // Takes bytes up to and including the footer's last ';' and returns how many
    // it took: all n, or fewer when the footer ended the stream within them.
    size_t Feed(const char* data, size_t n) override;
    // The stream has ended without more bytes: whatever is held back is settled.
    void EndOfStream() override;

    bool finished() const override { return summary_.complete; }
    const CutSummary& summary() const { return summary_; }
    // Where the knife stands after the last line; nullptr before the first.
    const KnifePoint* position() const { return positionKnown_ ? &position_ : nullptr; }
    // The last line moved with the knife down.
    bool knifeDown() const { return knifeDown_; }

private:
    void Line();
    void Point(bool cut, int64_t first, int64_t second);
    void SettleHeldHome();

    static constexpr size_t kMaxLine = 40;  // far above any valid line's length
    StrokeSink* sink_;
    CutSummary summary_;
    char line_[kMaxLine];
    size_t lineLength_ = 0;
    bool lineTooLong_ = false;
    bool firstLine_ = true;
    // "U0,0;" opens the footer only when "@;" follows, so it is held until then.
    bool homeHeld_ = false;
    int footerMarks_ = 0;
    bool positionKnown_ = false;
    bool knifeDown_ = false;
    KnifePoint position_{0, 0};
};
