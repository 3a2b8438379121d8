#include "hpgl_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "hpgl_lexer.h"
#include "hpgl_plotter.h"

namespace {

constexpr int kDefaultLabelEnd = 0x03;  // ETX

// Instructions that change what is cut or at what size, and are not read
// (yet): a file using one is refused rather than cut wrong. IP and IR change
// nothing without SC's user units.
constexpr std::string_view kGeometryNotRead[] = {"AA", "AR", "AT", "BR", "BZ", "CI", "EA",
                                                 "EP", "ER", "EW", "FP", "PE", "PM", "RA",
                                                 "RR", "RT", "WG", "XT", "YT"};

class HpglInterpreter {
public:
    HpglInterpreter(HpglSource& in, BufferedOutput& out)
        : lexer_(in), out_(out), pens_(out), plotter_(pens_) {}

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
        const HpglPointCounts& counts = pens_.counts();
        reading_.points = counts.written;
        reading_.pointsOutOfRange = counts.outOfRange;
        reading_.pointsTooFarApart = counts.tooFarApart;
        return std::move(reading_);
    }

private:
    void Instruction(const std::string& name) {
        if (name == "PU" || name == "PD") {
            plotter_.SetPenDown(name == "PD");
            Pairs();
        } else if (name == "PA" || name == "PR") {
            plotter_.SetRelative(name == "PR");
            Pairs();
        } else if (name == "IN") {
            plotter_.Initialize();
            labelEnd_ = kDefaultLabelEnd;
            SkipParameters();
        } else if (name == "SP") {
            SkipParameters();
        } else if (name == "DT") {
            LabelTerminator();
        } else if (name == "LB") {
            ++reading_.labels;
            lexer_.SkipPast(labelEnd_);
        } else if (name == "SC" || name == "IW" || name == "RO") {
            // Without parameters (RO: at 0) they keep plain plotter units, as
            // pstoedit's "SC;" does; with them, the geometry changes.
            if (SkipParameters(name == "RO")) {
                reading_.refused = name;
            } else {
                ++reading_.skipped[name];
            }
        } else if (std::find(std::begin(kGeometryNotRead), std::end(kGeometryNotRead), name) !=
                   std::end(kGeometryNotRead)) {
            reading_.refused = name;
        } else {
            ++reading_.skipped[name];
            SkipParameters();
        }
    }

    // Coordinate pairs up to the instruction's end; each moves the pen.
    void Pairs() {
        double x = 0;
        bool haveX = false;
        for (;;) {
            const HpglToken& token = lexer_.Peek();
            if (token.kind == HpglTokenKind::Number) {
                const double value = lexer_.Next().number;
                if (haveX) plotter_.Point(x, value);
                x = value;
                haveX = !haveX;
                continue;
            }
            if (token.kind == HpglTokenKind::Terminator) lexer_.Next();
            if (token.kind == HpglTokenKind::Stray) Stray();
            break;
        }
        if (haveX) ++reading_.unpairedCoordinates;
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

HpglReading ReadHpgl(HpglSource& in, BufferedOutput& out) {
    return HpglInterpreter(in, out).Run();
}

HpglConversion ConvertHpgl(std::string_view hpgl) {
    HpglConversion conversion;
    StringWriter writer(conversion.penCommands);
    HpglText text(hpgl);
    auto out = std::make_unique<BufferedOutput>(writer);
    conversion.reading = ReadHpgl(text, *out);
    out->Flush();
    return conversion;
}

bool WriteHpglAsPenCommands(const std::filesystem::path& from, const std::filesystem::path& to,
                            HpglReading& reading, std::string& problem) {
    HpglFile in;
    if (const SystemError failed = in.Open(from)) {
        problem = "cannot read " + from.string() + ": " + failed.Message();
        return false;
    }
    PenCommandsFile file;
    SystemError failed = file.Open(to);
    if (!failed) {
        auto out = std::make_unique<BufferedOutput>(file);
        reading = ReadHpgl(in, *out);
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
