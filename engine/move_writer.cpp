// The move writer's out-of-line paths: a line near the end of the output buffer, and the
// header and footer texts.
#include "engine/move_writer.h"

#include <cstring>

// Near the end of the buffer the line goes through Append, which flushes.
void MoveWriter::AppendLine(char letter, int32_t first, int32_t second) {
    char line[kLineRoom];
    out_.Append(line, FormatLine(line, letter, first, second));
}

void MoveWriter::WriteText(const char* text) {
    out_.Append(text, std::strlen(text));
}
