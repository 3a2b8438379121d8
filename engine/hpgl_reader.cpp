// Turns general HPGL from other programs into the engine's input, one PU/PD per point in
// absolute units, read as it streams in; counts what it skips, drops or must refuse.
#include "hpgl_reader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <span>

#include "hpgl_geometry.h"
#include "hpgl_lexer.h"
#include "hpgl_plotter.h"

namespace {

constexpr int kDefaultLabelEnd = 0x03;  // ETX

// Instructions that change what is cut and are not read: a file using one is
// refused rather than cut wrong.
constexpr std::string_view kGeometryNotRead[] = {"AT", "BR", "BZ", "EW", "RT", "WG", "XT", "YT"};

// More numbers than any instruction taken here has: the rest are not kept,
// and the instruction refuses so many.
constexpr size_t kMostParameters = 16;
// An encoded line is kept whole until its ';'; beyond this it is no plot.
constexpr size_t kLongestEncodedLine = size_t{1} << 24;

class HpglInterpreter {
public:
    HpglInterpreter(HpglSource& in, BufferedOutput& out, std::optional<HpglPoint> plotArea)
        : lexer_(in),
          out_(out),
          pens_(out),
          plotter_(pens_),
          geometry_(plotArea, [this](HpglPoint p, bool down) {
              plotter_.SetPenDown(down);
              plotter_.MoveTo(p.x, p.y);
          }) {}

    HpglReading Run() {
        plotter_.Initialize();
        while (reading_.refused.empty() && !out_.failed()) {
            const HpglToken token = lexer_.Next();
            if (token.kind == HpglTokenKind::End) break;
            if (token.kind == HpglTokenKind::Instruction) {
                Instruction(token.name);
            } else if (token.kind != HpglTokenKind::Terminator) {
                Stray();
            }
        }
        geometry_.Finish();
        if (geometry_.UncutPolygons() > 0) reading_.skipped["PM"] += geometry_.UncutPolygons();
        reading_.unpairedCoordinates += geometry_.NumbersDropped();
        const HpglPointCounts& counts = pens_.counts();
        reading_.points = counts.written;
        reading_.pointsOutOfRange = counts.outOfRange;
        reading_.pointsTooFarApart = counts.tooFarApart;
        return std::move(reading_);
    }

private:
    void Instruction(const std::string& name) {
        if (name == "PU" || name == "PD" || name == "PA" || name == "PR") {
            Pairs(name);
        } else if (name == "PE") {
            EncodedLine();
        } else if (HpglGeometry::Honours(name)) {
            if (name == "IN") {
                plotter_.Initialize();
                labelEnd_ = kDefaultLabelEnd;
            }
            Refused(geometry_.Instruction(name, Numbers()));
        } else if (name == "DT") {
            LabelTerminator();
        } else if (name == "LB") {
            ++reading_.labels;
            lexer_.SkipPast(labelEnd_);
        } else if (std::find(std::begin(kGeometryNotRead), std::end(kGeometryNotRead), name) !=
                   std::end(kGeometryNotRead)) {
            reading_.refused = name;
        } else {
            ++reading_.skipped[name];
            SkipParameters();
        }
    }

    void Refused(bool carriedOut) {
        if (!carriedOut) reading_.refused = geometry_.Refusal();
    }

    // Coordinate pairs up to the instruction's end, each moving the pen as it
    // comes, so that a line of any length costs no memory.
    void Pairs(const std::string& name) {
        double x = 0;
        bool haveX = false;
        bool moved = false;
        for (;;) {
            const HpglToken& token = lexer_.Peek();
            if (token.kind == HpglTokenKind::Number) {
                const double value = lexer_.Next().number;
                if (haveX) {
                    const double pair[] = {x, value};
                    Refused(geometry_.Instruction(name, pair));
                    moved = true;
                }
                x = value;
                haveX = !haveX;
                continue;
            }
            if (token.kind == HpglTokenKind::Terminator) lexer_.Next();
            if (token.kind == HpglTokenKind::Stray) Stray();
            break;
        }
        // A lone x is counted as dropped; without pairs the pen only goes up or down.
        if (haveX || !moved)
            Refused(geometry_.Instruction(name, std::span<const double>(&x, haveX ? 1 : 0)));
    }

    // The numbers of an instruction, up to its end, in `numbers_`; beyond
    // kMostParameters one more is kept, so that the instruction sees too many.
    std::span<const double> Numbers() {
        size_t count = 0;
        for (;;) {
            const HpglToken& token = lexer_.Peek();
            if (token.kind == HpglTokenKind::Number) {
                const double value = lexer_.Next().number;
                if (count < numbers_.size()) numbers_[count++] = value;
                continue;
            }
            if (token.kind == HpglTokenKind::Terminator) lexer_.Next();
            if (token.kind == HpglTokenKind::Stray) Stray();
            return {numbers_.data(), count};
        }
    }

    // PE's bytes are its own numbers, up to the ';'.
    void EncodedLine() {
        std::string bytes;
        for (int c = lexer_.TakeByte(); c >= 0 && c != ';'; c = lexer_.TakeByte()) {
            if (bytes.size() == kLongestEncodedLine) {
                reading_.refused = "PE: an encoded line longer than " +
                                   std::to_string(kLongestEncodedLine) + " bytes";
                return;
            }
            bytes.push_back(static_cast<char>(c));
        }
        Refused(geometry_.EncodedPolyline(bytes));
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

    // Parameters end at ';' or where the next instruction begins. True when
    // there was a number among them (with `nonZero`, one other than 0).
    bool SkipParameters(bool nonZero = false) {
        bool number = false;
        for (;;) {
            const HpglTokenKind kind = lexer_.Peek().kind;
            if (kind == HpglTokenKind::End || kind == HpglTokenKind::Instruction) return number;
            const HpglToken token = lexer_.Next();
            if (kind == HpglTokenKind::Number) number = number || !nonZero || token.number != 0;
            if (kind == HpglTokenKind::Terminator) return number;
        }
    }

    // Not a number where one belongs: the rest of the instruction is lost.
    void Stray() {
        ++reading_.skipped["?"];
        lexer_.SkipPast(';');
    }

    HpglLexer lexer_;
    BufferedOutput& out_;
    HpglPenWriter pens_;
    HpglPlotter plotter_;
    HpglGeometry geometry_;
    std::array<double, kMostParameters + 1> numbers_{};
    HpglReading reading_;
    int labelEnd_ = kDefaultLabelEnd;
};

class StringWriter : public ByteWriter {
public:
    explicit StringWriter(std::string& text) : text_(text) {}
    SystemError WriteAll(const char* data, size_t n) override {
        text_.append(data, n);
        return {};
    }

private:
    std::string& text_;
};

// The pen commands' file: closed, and its last write's failure known, at the end.
class PenCommandsFile : public ByteWriter {
public:
    ~PenCommandsFile() override {
        if (file_ != nullptr) std::fclose(file_);
    }
    SystemError Open(const std::filesystem::path& path) {
        errno = 0;
        file_ = std::fopen(path.string().c_str(), "wb");
        return file_ == nullptr ? SystemError::Last() : SystemError();
    }
    SystemError WriteAll(const char* data, size_t n) override {
        errno = 0;
        return std::fwrite(data, 1, n, file_) == n ? SystemError() : SystemError::Last();
    }
    SystemError Close() {
        errno = 0;
        const int closed = std::fclose(file_);
        file_ = nullptr;
        return closed == 0 ? SystemError() : SystemError::Last();
    }

private:
    std::FILE* file_ = nullptr;
};

}  // namespace

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

HpglReading ReadHpgl(HpglSource& in, BufferedOutput& out, std::optional<HpglPoint> plotArea) {
    return HpglInterpreter(in, out, plotArea).Run();
}

HpglConversion ConvertHpgl(std::string_view hpgl, std::optional<HpglPoint> plotArea) {
    HpglConversion conversion;
    StringWriter writer(conversion.penCommands);
    HpglText text(hpgl);
    auto out = std::make_unique<BufferedOutput>(writer);
    conversion.reading = ReadHpgl(text, *out, plotArea);
    out->Flush();
    return conversion;
}

bool WriteHpglAsPenCommands(const std::filesystem::path& from, const std::filesystem::path& to,
                            HpglReading& reading, std::string& problem,
                            std::optional<HpglPoint> plotArea) {
    HpglFile in;
    if (const SystemError failed = in.Open(from)) {
        problem = "cannot read " + from.string() + ": " + failed.Message();
        return false;
    }
    PenCommandsFile file;
    SystemError failed = file.Open(to);
    if (!failed) {
        auto out = std::make_unique<BufferedOutput>(file);
        reading = ReadHpgl(in, *out, plotArea);
        out->Flush();
        failed = out->error();
        const SystemError closed = file.Close();
        if (!failed) failed = closed;
    }
    if (in.error()) {
        problem = "cannot read " + from.string() + ": " + in.error().Message();
        return false;
    }
    if (failed) {
        problem = "cannot write " + to.string() + ": " + failed.Message();
        return false;
    }
    return true;
}
