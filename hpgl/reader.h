#pragma once
// General HPGL in: plot files from other programs put many points in one
// command (PD10,10,20,20;), write bare PU; or PA/PR, and carry instructions
// such as DF; that the engine's own reading would take for pen moves. This
// reader turns such a file into the engine's input: one pen command per
// point, in absolute plotter units. It reads as it goes, so a file of any
// size costs the same memory, and it writes no more than a budget per byte
// read, so a small file cannot expand to gigabytes.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/output_sink.h"
#include "engine/platform/byte_reader.h"
#include "hpgl/refusal.h"
#include "hpgl/scaling.h"

struct HpglReading {
    size_t points = 0;  // pen commands written
    // Instructions read past without effect, by name; polygons never edged
    // nor filled (so not cut) count as "PM".
    std::map<std::string, size_t> skipped;
    // Characters between instructions that begin none, and the first of them.
    size_t strayCharacters = 0;
    int firstStray = 0;
    uint64_t firstStrayAt = 0;
    size_t numbersOutside = 0;  // numbers after an instruction's end
    size_t labels = 0;          // LB: text is not cut
    size_t pointsOutOfRange = 0;
    size_t pointsTooFarApart = 0;
    size_t unpairedCoordinates = 0;  // an x without its y
    // Why reading stopped before the end and the file must not be cut.
    HpglRefusal refused;
    bool stopped = false;  // the stop was asked for: what was written is partial

    size_t SkippedCount() const;
    // The first stray character and where it was: "'#' at byte 17".
    std::string FirstStrayText() const;
    // "DF 1, VS 2", or "" when nothing was skipped.
    std::string SkippedText() const;
};

using HpglStopCheck = std::function<bool()>;
class HpglInterpreter;

// Reads the instructions of kHpglInstructions (hpgl/instruction_set.h) as
// their handling there says, and skips the others. PU, PD, PA and PR take
// any number of coordinate pairs, separated by commas or blanks, between any
// whitespace and line breaks; an instruction ends at ';' or where the next
// one begins.
// PU and PD without pairs only lift or lower the pen; PA and PR choose
// absolute or relative coordinates and move with the pen as it is.
// `plotArea` (plotter units) places drawings whose scaling depends on the
// device. `stopRequested` is asked between instructions and before each
// block of input; when it answers true, reading ends with `stopped`.
//
// The reading goes a step at a time, so that a caller can take the pen
// commands as they are made: each step reads one instruction, or a few
// dozen numbers of a long pen command line, and writes its points to `out`.
class HpglReader {
public:
    HpglReader(ByteReader& in, BufferedOutput& out,
               std::optional<HpglPoint> plotArea = std::nullopt, HpglStopCheck stopRequested = {});
    HpglReader(const HpglReader&) = delete;
    HpglReader& operator=(const HpglReader&) = delete;
    ~HpglReader();

    // False once the reading has ended: at the input's end, on a refusal, a
    // failed write or the stop. Then reading() is whole.
    bool Step();
    const HpglReading& reading() const;

private:
    std::unique_ptr<HpglInterpreter> interpreter_;
};

// All steps at once.
HpglReading ReadHpgl(ByteReader& in, BufferedOutput& out,
                     std::optional<HpglPoint> plotArea = std::nullopt,
                     HpglStopCheck stopRequested = {});

// The reader's budget: pen commands per byte read, beyond a first allowance,
// and in all (the engine reads no plot file of 4 GiB or more).
constexpr uint64_t kHpglOutputPerInputByte = 64;
constexpr uint64_t kHpglOutputAllowance = uint64_t{16} << 20;
constexpr uint64_t kHpglMostOutput = (uint64_t{4} << 30) - 1;

// The same in memory, for small texts and tests.
struct HpglConversion {
    std::string penCommands;
    HpglReading reading;
};
HpglConversion ConvertHpgl(std::string_view hpgl, std::optional<HpglPoint> plotArea = std::nullopt);
