// Turns general HPGL from other programs into the engine's input, one PU/PD per point in
// absolute units, read as it streams in; counts what it skips, drops or must refuse.
#include "hpgl/reader.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <span>

#include "hpgl/geometry.h"
#include "hpgl/instruction_set.h"
#include "hpgl/lexer.h"
#include "hpgl/plotter.h"

namespace {

constexpr int kDefaultLabelEnd = 0x03;  // ETX

// More numbers than any instruction taken here has: the rest are not kept,
// and the instruction refuses so many.
constexpr size_t kMostParameters = 16;
// Pairs of one instruction between two looks at the stop.
constexpr size_t kPairsBetweenStopChecks = 4096;
// Tokens of a pen command line (or bytes of PE's) read in one step: what one
// step writes stays small, however long the line.
constexpr size_t kTokensPerStep = 64;

// A byte as the user would look for it: itself when printable, else its code.
std::string Shown(int c) {
    if (c > 0x20 && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(c & 0xFF));
    return code;
}

// The source, with the stop looked at before each block.
class StoppableSource : public ByteReader {
public:
    StoppableSource(ByteReader& in, HpglStopCheck stop) : in_(in), stop_(std::move(stop)) {}
    SystemError ReadSome(uint8_t* into, size_t n, size_t& got) override {
        got = 0;
        return Stopped() ? SystemError() : in_.ReadSome(into, n, got);
    }
    bool Stopped() {
        if (!stopped_ && stop_) stopped_ = stop_();
        return stopped_;
    }

private:
    ByteReader& in_;
    HpglStopCheck stop_;
    bool stopped_ = false;
};

}  // namespace

// The reading's state between steps.
class HpglInterpreter {
public:
    HpglInterpreter(ByteReader& in, BufferedOutput& out, std::optional<HpglPoint> plotArea,
                    HpglStopCheck stop)
        : source_(in, std::move(stop)),
          lexer_(source_),
          out_(out),
          pens_(out),
          plotter_(pens_),
          geometry_(plotArea, [this](HpglPoint p, bool down) { Point(p, down); }) {
        plotter_.Initialize();
    }

    // One instruction, or a bounded piece of a long one; false once the
    // reading has ended and reading() is whole.
    bool Step() {
        if (ended_) return false;
        if (ongoing_ == Ongoing::Pairs) return ContinuePairs(), true;
        if (ongoing_ == Ongoing::Encoded) return ContinueEncodedLine(), true;
        if (!reading_.refused && !out_.failed() && !source_.Stopped()) {
            const HpglToken token = lexer_.Next();
            if (token.kind != HpglTokenKind::End) {
                Take(token);
                return true;
            }
        }
        End();
        return false;
    }

    const HpglReading& reading() const { return reading_; }

private:
    // What a pen command line of any length is in the middle of between steps.
    enum class Ongoing { None, Pairs, Encoded };

    void Take(const HpglToken& token) {
        if (token.kind == HpglTokenKind::Instruction) {
            instruction_ = token.name;
            instructionAt_ = token.at;
            Instruction(token.name);
        } else if (token.kind == HpglTokenKind::Stray) {
            if (reading_.strayCharacters++ == 0) {
                reading_.firstStray = static_cast<unsigned char>(token.name[0]);
                reading_.firstStrayAt = token.at;
            }
        } else if (token.kind == HpglTokenKind::Number) {
            ++reading_.numbersOutside;
        }
    }

    void End() {
        ended_ = true;
        reading_.stopped = source_.Stopped();
        const HpglBytes& bytes = lexer_.bytes();
        if (bytes.SwallowedAnnounced() > 0)
            Refuse("the escape at byte " + std::to_string(bytes.SwallowingEscapeAt()) +
                   " announces " + std::to_string(bytes.SwallowedAnnounced()) +
                   " bytes of data, more than the rest of the file");
        geometry_.Finish();
        if (geometry_.UncutPolygons() > 0) reading_.skipped["PM"] += geometry_.UncutPolygons();
        reading_.unpairedCoordinates += geometry_.NumbersDropped();
        const HpglPointCounts& counts = pens_.counts();
        reading_.points = counts.written;
        reading_.pointsOutOfRange = counts.outOfRange;
        reading_.pointsTooFarApart = counts.tooFarApart;
    }

    void Instruction(const std::string& name) {
        const HpglInstruction* known = FindHpglInstruction(name);
        if (known == nullptr) {
            ++reading_.skipped[name];
            return SkipParameters();
        }
        switch (known->handling) {
            case HpglHandling::Pairs: return StartPairs();
            case HpglHandling::Encoded: return StartEncodedLine();
            case HpglHandling::Geometry: {
                if (name == "IN") {
                    plotter_.Initialize();
                    labelEnd_ = kDefaultLabelEnd;
                }
                const std::span<const double> numbers = Numbers();
                if (!reading_.refused) Refused(geometry_.Instruction(name, numbers));
                return;
            }
            case HpglHandling::LabelEnd: return LabelTerminator();
            case HpglHandling::Label:
                ++reading_.labels;
                if (!lexer_.SkipPast(labelEnd_))
                    Refuse(Here() + ": the label has no end (" + Shown(labelEnd_) +
                           ") and takes in the rest of the file");
                return;
            // What is drawn after a page's end would be cut on top of the page before.
            case HpglHandling::PageEnd:
                if (cut_ && !pageEnd_) pageEnd_ = Here();
                return SkipParameters();
            case HpglHandling::Refused: return Refuse(HpglRefusal::NotRead(name));
        }
    }

    std::string Here() const { return instruction_ + " at byte " + std::to_string(instructionAt_); }

    void Refuse(HpglRefusal refusal) {
        if (!reading_.refused) reading_.refused = std::move(refusal);
    }
    void Refuse(std::string whyNotCut) { Refuse(HpglRefusal::CannotBeCut(std::move(whyNotCut))); }

    void Refused(bool carriedOut) {
        if (!carriedOut) Refuse(geometry_.Refusal());
    }

    // Every point of the cut, checked against the page and the budget first.
    void Point(HpglPoint p, bool down) {
        if (reading_.refused) return;
        if (down && pageEnd_)
            return Refuse(*pageEnd_ +
                          " ends a page and more is drawn after it: the pages would be cut on "
                          "top of each other");
        const uint64_t written = pens_.counts().bytes;
        const uint64_t read = lexer_.Position();
        if (written > kHpglMostOutput)
            return Refuse(Here() + " expands beyond " + std::to_string(kHpglMostOutput >> 20) +
                          " MiB of pen commands");
        if (written > kHpglOutputAllowance + read * kHpglOutputPerInputByte)
            return Refuse(Here() + " expands beyond " + std::to_string(kHpglOutputPerInputByte) +
                          " bytes of pen commands per byte read");
        cut_ = cut_ || down;
        plotter_.SetPenDown(down);
        plotter_.MoveTo(p.x, p.y);
    }

    // A parameter that is no number, or none a double can hold, where the
    // pen's path depends on it: the file cannot be cut as written.
    bool NoNumber(const HpglToken& token) {
        if (token.kind == HpglTokenKind::Stray) {
            Refuse(Here() + ": " + Shown(static_cast<unsigned char>(token.name[0])) + " at byte " +
                   std::to_string(token.at) + " is no number");
            return true;
        }
        if (token.kind == HpglTokenKind::Number && !std::isfinite(token.number)) {
            Refuse(Here() + ": the number at byte " + std::to_string(token.at) +
                   " is beyond any coordinate or angle");
            return true;
        }
        return false;
    }

    // Coordinate pairs up to the instruction's end, each moving the pen as it
    // comes, a few at a step, so that a line of any length costs no memory.
    void StartPairs() {
        pairs_ = {};
        ongoing_ = Ongoing::Pairs;
        ContinuePairs();
    }

    void ContinuePairs() {
        for (size_t tokens = 0; tokens < kTokensPerStep; ++tokens) {
            if (reading_.refused) return EndPairs();
            const HpglToken& token = lexer_.Peek();
            if (NoNumber(token)) return StopPairs();
            if (token.kind == HpglTokenKind::Number) {
                const double value = lexer_.Next().number;
                if (pairs_.haveX) {
                    const double pair[] = {pairs_.x, value};
                    Refused(geometry_.Instruction(instruction_, pair));
                    pairs_.moved = true;
                    if (++pairs_.count % kPairsBetweenStopChecks == 0 && source_.Stopped())
                        return StopPairs();
                }
                pairs_.x = value;
                pairs_.haveX = !pairs_.haveX;
                continue;
            }
            if (token.kind == HpglTokenKind::Terminator) lexer_.Next();
            return EndPairs();
        }
    }

    // A lone x is counted as dropped; without pairs the pen only goes up or down.
    void EndPairs() {
        ongoing_ = Ongoing::None;
        if (!reading_.refused && (pairs_.haveX || !pairs_.moved))
            Refused(geometry_.Instruction(
                instruction_, std::span<const double>(&pairs_.x, pairs_.haveX ? 1 : 0)));
    }

    // Refused or stopped in the middle: the rest of the line is not read.
    void StopPairs() { ongoing_ = Ongoing::None; }

    // The numbers of an instruction, up to its end, in `numbers_`; beyond
    // kMostParameters one more is kept, so that the instruction sees too many.
    std::span<const double> Numbers() {
        size_t count = 0;
        for (;;) {
            const HpglToken& token = lexer_.Peek();
            if (NoNumber(token)) return {};
            if (token.kind == HpglTokenKind::Number) {
                const double value = lexer_.Next().number;
                if (count < numbers_.size()) numbers_[count++] = value;
                continue;
            }
            if (token.kind == HpglTokenKind::Terminator) lexer_.Next();
            return {numbers_.data(), count};
        }
    }

    // PE's bytes are its own numbers, up to the ';', decoded as they come, a
    // few at a step.
    void StartEncodedLine() {
        decoder_.emplace(
            [this](const HpglEncodedStep& step) { Refused(geometry_.EncodedStep(step)); });
        ongoing_ = Ongoing::Encoded;
        ContinueEncodedLine();
    }

    void ContinueEncodedLine() {
        for (size_t bytes = 0; bytes < kTokensPerStep; ++bytes) {
            const int c = !reading_.refused ? lexer_.TakeByte() : -1;
            if (c < 0 || c == ';') return EndEncodedLine();
            decoder_->Feed(static_cast<unsigned char>(c), lexer_.Position() - 1);
        }
    }

    void EndEncodedLine() {
        ongoing_ = Ongoing::None;
        decoder_->Finish();
        geometry_.CountDropped(decoder_->lonelyX());
        if (!decoder_->problem().empty()) Refuse(Here() + ": " + decoder_->problem());
        decoder_.reset();
    }

    // DT t: the byte after the name ends labels from now on; "DT;" restores ETX.
    void LabelTerminator() {
        const int c = lexer_.PeekByte();
        if (c < 0) return;
        if (c == ';') {
            labelEnd_ = kDefaultLabelEnd;
        } else if (c != '\0' && c != '\n') {
            labelEnd_ = c;
        }
        lexer_.TakeByte();
        if (c != ';') SkipParameters();  // the optional mode
    }

    // Parameters end at ';' or where the next instruction begins.
    void SkipParameters() {
        for (;;) {
            const HpglTokenKind kind = lexer_.Peek().kind;
            if (kind == HpglTokenKind::End || kind == HpglTokenKind::Instruction) return;
            if (lexer_.Next().kind == HpglTokenKind::Terminator) return;
        }
    }

    // A pen command line between steps: its pairs so far, or PE's decoder.
    struct PairsSoFar {
        double x = 0;
        bool haveX = false;
        bool moved = false;
        size_t count = 0;
    };

    StoppableSource source_;
    HpglLexer lexer_;
    BufferedOutput& out_;
    HpglPenWriter pens_;
    HpglPlotter plotter_;
    HpglGeometry geometry_;
    std::array<double, kMostParameters + 1> numbers_{};
    HpglReading reading_;
    int labelEnd_ = kDefaultLabelEnd;
    std::string instruction_;
    uint64_t instructionAt_ = 0;
    bool cut_ = false;
    std::optional<std::string> pageEnd_;  // the page's end, once something was drawn
    Ongoing ongoing_ = Ongoing::None;
    PairsSoFar pairs_;
    std::optional<HpglEncodedDecoder> decoder_;
    bool ended_ = false;
};

size_t HpglReading::SkippedCount() const {
    size_t count = 0;
    for (const auto& entry : skipped) count += entry.second;
    return count;
}

std::string HpglReading::SkippedText() const {
    std::string text;
    for (const auto& [name, count] : skipped) {
        if (!text.empty()) text += ", ";
        text += name + " " + std::to_string(count);
    }
    return text;
}

std::string HpglReading::FirstStrayText() const {
    return Shown(firstStray) + " at byte " + std::to_string(firstStrayAt);
}

HpglReader::HpglReader(ByteReader& in, BufferedOutput& out, std::optional<HpglPoint> plotArea,
                       HpglStopCheck stopRequested)
    : interpreter_(std::make_unique<HpglInterpreter>(in, out, plotArea, std::move(stopRequested))) {
}

HpglReader::~HpglReader() = default;

bool HpglReader::Step() {
    return interpreter_->Step();
}

const HpglReading& HpglReader::reading() const {
    return interpreter_->reading();
}

HpglReading ReadHpgl(ByteReader& in, BufferedOutput& out, std::optional<HpglPoint> plotArea,
                     HpglStopCheck stopRequested) {
    HpglReader reader(in, out, plotArea, std::move(stopRequested));
    while (reader.Step()) {
    }
    return reader.reading();
}
