#include "move_writer.h"

#include <cstring>

#include "decimal_format.h"
#include "wrapping_math.h"

namespace {

// A line is at most 25 characters; the digit writing may touch a few more.
constexpr size_t kLineRoom = 32;

size_t FormatLine(char* line, char letter, int32_t first, int32_t second) {
    char* end = line;
    *end++ = letter;
#ifdef __SSE2__
    if (IsShortPositive(first) && IsShortPositive(second)) {
        end = WriteDecimalPair(end, first, ',', second);
        *end++ = ';';
        return static_cast<size_t>(end - line);
    }
#endif
    end = WriteDecimal(end, first);
    *end++ = ',';
    end = WriteDecimal(end, second);
    *end++ = ';';
    return static_cast<size_t>(end - line);
}

}  // namespace

void MoveWriter::WriteMove(char letter, Pos_xyz p) {
    int32_t first = p.y;
    int32_t second = p.x;
    if (toPort_) {
        first = Add32(first, kPortShiftFirst);
        second = Add32(second, kPortShiftSecond);
    }
    if (char* room = out_.Room(kLineRoom)) {
        out_.Commit(FormatLine(room, letter, first, second));
        return;
    }
    // Near the end of the buffer the line goes through Append, which flushes.
    char line[kLineRoom];
    out_.Append(line, FormatLine(line, letter, first, second));
}

void MoveWriter::WriteText(const char* text) {
    out_.Append(text, std::strlen(text));
}
