#include "move_writer.h"

#include <charconv>
#include <cstring>

#include "wrapping_math.h"

void MoveWriter::WriteMove(char letter, Pos_xyz p) {
    int32_t first = p.y;
    int32_t second = p.x;
    if (toPort_) {
        first = Add32(first, kPortShiftFirst);
        second = Add32(second, kPortShiftSecond);
    }
    // An int32 takes at most 11 characters; to_chars prints what "%d" prints.
    char line[1 + 11 + 1 + 11 + 1];
    line[0] = letter;
    char* end = std::to_chars(line + 1, line + 12, first).ptr;
    *end = ',';
    end = std::to_chars(end + 1, end + 12, second).ptr;
    *end++ = ';';
    out_.Append(line, static_cast<size_t>(end - line));
}

void MoveWriter::WriteText(const char* text) {
    out_.Append(text, std::strlen(text));
}
