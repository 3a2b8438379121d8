// Fuzz target: the HPGL reader and its geometry on any bytes. Checks that the
// pen commands parse under the engine's grammar ("IN;" then "PU x,y;" or
// "PD x,y;" in 32-bit integers), that the output stays within the reader's
// budget per byte read, and that feeding the input in other block sizes
// changes nothing.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "hpgl/reader.h"
#include "job_test_doubles.h"
#include "stream_check.h"

namespace {

struct Run {
    std::string penCommands;
    HpglReading reading;
};

Run Read(std::string_view input, size_t block) {
    StringWriter writer;
    MemoryReader source(reinterpret_cast<const uint8_t*>(input.data()), input.size(), block);
    Run run;
    {
        auto out = std::make_unique<BufferedOutput>(writer);
        run.reading = ReadHpgl(source, *out, HpglPoint{10000, 7500});
        out->Flush();
    }
    run.penCommands = std::move(writer.text);
    return run;
}

// The refusal for a finding: its reason's number, then its instruction or sentence.
std::string Shown(const HpglRefusal& refusal) {
    return std::to_string(static_cast<int>(refusal.reason())) + " " + refusal.instruction() +
           refusal.why();
}

bool ReadInt32(std::string_view& text, char end) {
    size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    const size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == digits || i - digits > 10 || i >= text.size() || text[i] != end) return false;
    if (text[digits] == '0' && i - digits > 1) return false;
    const long long value = std::stoll(std::string(text.substr(0, i)));
    text.remove_prefix(i + 1);
    return value >= INT32_MIN && value <= INT32_MAX;
}

void CheckGrammar(std::string_view pen) {
    Check(pen.substr(0, 3) == "IN;", "pen commands do not begin with IN;");
    pen.remove_prefix(3);
    while (!pen.empty()) {
        Check(pen.size() > 2 && pen[0] == 'P' && (pen[1] == 'U' || pen[1] == 'D'), "not a PU or PD",
              std::string(pen.substr(0, 16)));
        pen.remove_prefix(2);
        Check(ReadInt32(pen, ',') && ReadInt32(pen, ';'), "not two 32-bit numbers");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const Run whole = Read(input, 64 * 1024);
    CheckGrammar(whole.penCommands);
    // The budget is checked before each point: one point beyond it at most.
    Check(whole.penCommands.size() <= kHpglOutputAllowance + kHpglOutputPerInputByte * size + 32,
          "output beyond the budget");
    const size_t block = size == 0 ? 1 : 1 + data[size - 1] % 7;
    const Run pieces = Read(input, block);
    Check(pieces.penCommands == whole.penCommands, "block size changed the pen commands");
    Check(pieces.reading.refused == whole.reading.refused, "block size changed the refusal",
          Shown(whole.reading.refused) + " / " + Shown(pieces.reading.refused));
    Check(pieces.reading.SkippedText() == whole.reading.SkippedText() &&
              pieces.reading.labels == whole.reading.labels &&
              pieces.reading.strayCharacters == whole.reading.strayCharacters &&
              pieces.reading.unpairedCoordinates == whole.reading.unpairedCoordinates,
          "block size changed the counts");
    return 0;
}
