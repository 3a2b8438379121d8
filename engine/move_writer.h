#pragma once
#include "engine/decimal_format.h"
#include "engine/output_sink.h"
#include "engine/pos_xyz.h"
#include "engine/wrapping_math.h"

// The cutter stream's fixed texts.
inline constexpr char kPortHeader[] = "CDR;";
inline constexpr char kFileHeader[] = "IN;";
inline constexpr char kFooter[] = "U0,0;@;@;@;";

// In port mode every coordinate line is shifted into the cutter's working area.
// cutter-sim's decoder keeps its own copy of these on purpose: it checks them.
constexpr int32_t kPortShiftFirst = 1832;   // added to y, written first
constexpr int32_t kPortShiftSecond = 1524;  // added to x, written second

// Formats the output lines "U%d,%d;" / "D%d,%d;" with y first, then x.
class MoveWriter {
public:
    MoveWriter(BufferedOutput& out, bool toPort) : out_(out), toPort_(toPort) {}

    // Inline: a conversion writes a line for nearly every point it reads.
    void WriteMove(char letter, Pos_xyz p) {
        int32_t first = p.y;
        int32_t second = p.x;
        if (toPort_) {
            first = Add32(first, kPortShiftFirst);
            second = Add32(second, kPortShiftSecond);
        }
        if (char* room = out_.Room(kLineRoom)) [[likely]] {
            out_.Commit(FormatLine(room, letter, first, second));
            return;
        }
        AppendLine(letter, first, second);
    }
    void WriteText(const char* text);  // header and footer, as they stand

private:
    // A line is at most 25 characters; the digit writing may touch a few more.
    static constexpr size_t kLineRoom = 32;

    static size_t FormatLine(char* line, char letter, int32_t first, int32_t second) {
        char* end = line;
        *end++ = letter;
        end = WriteDecimal(end, first);
        *end++ = ',';
        end = WriteDecimal(end, second);
        *end++ = ';';
        return static_cast<size_t>(end - line);
    }
    // Near the end of the buffer, rarely: out of line, like the long numbers.
    [[gnu::noinline]] void AppendLine(char letter, int32_t first, int32_t second);

    BufferedOutput& out_;
    bool toPort_;
};
